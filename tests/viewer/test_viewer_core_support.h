#pragma once

// Shared set-up of the viewer and application tests: the real control panel wired to the real
// viewer by the editor's own connectWindows, both shown under Xvfb, with the modal dialogs of
// both windows answered without a modal loop.

#include "curve_rendering.h"
#include "editor_commands.h"
#include "interface.h"
#include "mouse_tools.h"
#include "view_navigator.h"
#include "viewer.h"
#include "viewer_settings.h"
#include "viewer_dialogs.h"
#include "wiring.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <QTest>

#include <cstdlib>
#include <memory>

// Answers every file question of the viewer with fixed names; menus are dismissed.
class AnsweringDialogs : public ViewerDialogs {
public:
    QString openName;
    QStringList openNames;
    QString saveName;
    QStringList messages; // "title: text" of every warning shown
    QStringList news;     // "title: text" of every piece of information shown
    UnsavedChanges unsavedAnswer = UnsavedChanges::Discard;
    int unsavedAsked = 0; // questions about unsaved changes

    QString openFileName(QWidget*, const QString&, const QString&) override { return openName; }
    void showMessage(QWidget*, const QString& title, const QString& text) override
    {
        messages << title + ": " + text;
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override
    {
        news << title + ": " + text;
    }
    // The keyframe options are accepted as they are offered.
    bool askKeyframeOptions(QWidget*, KeyframeOptions&) override { return true; }
    // The picture size offered (512 unless changed) is accepted.
    bool askPictureSize(QWidget*, int&, int, int) override { return true; }
    QStringList openFileNames(QWidget*, const QString&, const QString&) override
    {
        return openNames;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return saveName; }
    // An existing file may be replaced.
    bool askReplaceFile(QWidget*, const QString&) override { return true; }
    UnsavedChanges askSaveChanges(QWidget*, const QString&) override
    {
        ++unsavedAsked;
        return unsavedAnswer;
    }
    QAction* runMenu(QMenu&, const QPoint&) override { return nullptr; }
};

inline QString testDataPath(const char* name)
{
    return QString::fromUtf8(TINTWEAVE_TEST_DATA_DIR) + "/" + QString::fromUtf8(name);
}

// True when every channel of a is within tolerance of b.
inline bool colorNear(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Shows the viewer and waits until its GL initialisation has run.
inline ::testing::AssertionResult showAndInitialise(Viewer& viewer)
{
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        return ::testing::AssertionFailure() << "the viewer window was never exposed";
    for (int i = 0; i < 100 && !viewer.isGLReady(); ++i)
        QTest::qWait(20);
    if (!viewer.isGLReady())
        return ::testing::AssertionFailure() << "the viewer's GL initialisation never ran";
    return ::testing::AssertionSuccess();
}

// The editor's two windows, wired as the editor wires them, both shown. The handle and marker
// sizes and the lifetime threshold are process-wide: each test starts from their start-up values.
class WiredWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLifetimeThreshold(0);
        viewer = std::make_unique<Viewer>();
        commands = std::make_unique<EditorCommands>(*viewer);
        panel = std::make_unique<Interface>();
        connectWindows(*panel, *viewer, *commands);
        viewer->setWindowTitle("Hueflow");
        auto answers = std::make_unique<AnsweringDialogs>();
        dialogs = answers.get();
        viewer->setDialogs(std::move(answers));
        // Colour dialogs of the panel: the test decides the answer (invalid = cancelled).
        panel->setColorChooser([this](const QColor&) { return chosenColor; });
        panel->show();
        ASSERT_TRUE(showAndInitialise(*viewer));
    }

    void TearDown() override
    {
        panel.reset();
        commands.reset();
        viewer.reset();
        setLifetimeThreshold(0);
    }

    // Loads a drawing through the File menu's action, answering the file dialog with `path`.
    void loadDrawing(const QString& path)
    {
        dialogs->openName = path;
        panel->actionLoad->trigger();
        dialogs->openName.clear();
    }

    // The viewer's next frame, read back from its framebuffer.
    QImage grabFrame() { return viewer->grabFramebuffer(); }

    std::unique_ptr<Viewer> viewer;
    std::unique_ptr<EditorCommands> commands; // on the viewer's drawing, as the editor wires them
    std::unique_ptr<Interface> panel;
    AnsweringDialogs* dialogs = nullptr;
    QColor chosenColor; // invalid: every colour dialog is cancelled
};
