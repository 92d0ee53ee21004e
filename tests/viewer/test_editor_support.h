#pragma once

#include "test_mouse_support.h"

#include "editor.h"

#include <QColor>
#include <QImage>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

// Makes and shows both windows of a fresh editor whose viewer asks its questions of a
// ScriptedDialogs (`dialogs`, owned by the viewer), and waits until its GL is ready.
inline void startScriptedEditor(std::unique_ptr<Editor>& editor, ScriptedDialogs*& dialogs)
{
    setLifetimeThreshold(0);
    editor = std::make_unique<Editor>();
    auto script = std::make_unique<ScriptedDialogs>();
    dialogs = script.get();
    editor->viewer.setDialogs(std::move(script));
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor->viewer));
    for (int i = 0; i < 200 && !editor->viewer.isGLReady(); ++i)
        QTest::qWait(20);
    ASSERT_TRUE(editor->viewer.isGLReady());
}

// The colour of a panel swatch: the middle pixel of its button's icon.
inline QColor swatchColor(const QPushButton* button)
{
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// A fresh scripted editor per test, with a temporary folder for its files and the settings
// cleared before and after.
class ScriptedEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        ASSERT_TRUE(folder.isValid());
        startScriptedEditor(editor, dialogs);
    }
    void TearDown() override
    {
        editor.reset();
        QSettings().clear();
    }

    Viewer& viewer() { return editor->viewer; }
    Interface& panel() { return editor->panel; }
    CurveSet& doc() { return viewer().curves(); }
    QString path(const char* name) const { return folder.filePath(name); }
    // Widget pixel at which canvas point p appears in the viewer.
    QPoint pixel(const Point& p) { return viewer().placement().widgetPosition(p).toPoint(); }
    // A stroke with the drawing tool, left to right at canvas height y.
    void drawStroke(double y)
    {
        QTest::mouseClick(panel().buttonDrawCatmull, Qt::LeftButton);
        const QPoint from = pixel(Point(-0.6, y));
        QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= 30; ++i) {
            const double s = i / 30.0;
            QMouseEvent move(QEvent::MouseMove,
                             pixel(Point(-0.6 + 1.2 * s, y + 0.1 * std::sin(6 * s))), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&viewer(), &move);
        }
        QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier,
                            pixel(Point(0.6, y + 0.1 * std::sin(6.0))));
    }
    void undo() { panel().actionUndo->trigger(); }
    void redo() { panel().actionRedo->trigger(); }
    // The viewer's frame once its picture has come to rest.
    QImage frame()
    {
        viewer().settlePicture();
        QTest::qWait(40);
        return viewer().grabFramebuffer();
    }

    QTemporaryDir folder;
    std::unique_ptr<Editor> editor;
    ScriptedDialogs* dialogs = nullptr;
};
