#pragma once

#include "test_mouse_support.h"

#include "editor.h"

#include <QColor>
#include <QImage>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

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

    QTemporaryDir folder;
    std::unique_ptr<Editor> editor;
    ScriptedDialogs* dialogs = nullptr;
};
