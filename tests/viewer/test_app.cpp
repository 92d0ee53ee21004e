// The editor as a whole: its two windows as the entry point builds them, a few of the 40
// connections that the viewer tests do not drive, and the real executable started from outside
// the repository.

#include "child_program.h"
#include "test_viewer_core_support.h"

#include "program_catalogue.h"

#include "editor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class EditorWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLifetimeThreshold(0);
        editor = std::make_unique<Editor>();
        editor->panel.setColorChooser([this](const QColor&) { return chosenColor; });
        editor->show();
        ASSERT_TRUE(showAndInitialise(editor->viewer));
    }
    void TearDown() override { editor.reset(); }

    // One two-segment curve, current, with two colour points per side.
    void addCurrentCurve()
    {
        CurveSet& set = editor->viewer.curves();
        set.newCurve();
        for (int i = 0; i < 7; ++i)
            set.appendControlPoint(-0.6 + 0.2 * i, 0.1 * (i % 2));
        set.appendLeftColor(0, true);
        set.appendLeftColor(20, true);
        set.appendRightColor(0, true);
        set.appendRightColor(20, true);
        set.appendBlur(0, true);
        set.appendBlur(20, true);
        set.setCurrentCurve(set.nb_curves - 1);
    }

    std::unique_ptr<Editor> editor;
    QColor chosenColor;
};

TEST_F(EditorWindows, BothWindowsAreShownWithTheirTitles)
{
    EXPECT_TRUE(editor->viewer.isVisible());
    EXPECT_TRUE(editor->panel.isVisible());
    EXPECT_EQ(editor->viewer.windowTitle(), QString("Hueflow"));
    EXPECT_EQ(editor->panel.windowTitle(), QString("MainWindow"));
    EXPECT_EQ(editor->viewer.size(), QSize(512, 512));
}

TEST_F(EditorWindows, ViewerContextHasAStencilBuffer)
{
    ASSERT_NE(editor->viewer.context(), nullptr);
    EXPECT_GE(editor->viewer.context()->format().stencilBufferSize(), 8);
}

TEST_F(EditorWindows, EditMenuCopiesPastesAndCutsTheCurrentCurve)
{
    addCurrentCurve();
    editor->panel.action_Copy->trigger();
    editor->panel.action_Paste->trigger();
    EXPECT_EQ(editor->viewer.curves().nb_curves, 2);
    editor->panel.action_Cut->trigger();
    EXPECT_EQ(editor->viewer.curves().nb_curves, 1);
}

TEST_F(EditorWindows, EditMenuCopiesAndPastesBlur)
{
    addCurrentCurve();
    CurveSet& set = editor->viewer.curves();
    set.setBlurOf(12, 0);
    set.setBlurOf(12, 1);
    editor->panel.action_Copy_Blur->trigger();
    set.setBlurOf(0, 0);
    set.setBlurOf(0, 1);
    editor->panel.action_Paste_Blur->trigger();
    EXPECT_EQ(set.blurValue(0), 12);
    EXPECT_EQ(set.blurValue(1), 12);
}

TEST_F(EditorWindows, ColourPointRequestIsAnsweredByThePanel)
{
    addCurrentCurve();
    chosenColor = QColor(5, 150, 250);
    emit editor->viewer.settings().changeControlPointLeftColor(QColor(255, 255, 255));
    EXPECT_EQ(editor->viewer.curves().curve(0).leftColorAt(0.0, 0), chosenColor);

    // A cancelled dialog answers with the colour the viewer sent.
    chosenColor = QColor();
    const QColor seed(40, 41, 42);
    emit editor->viewer.settings().changeControlPointRightColor(seed);
    EXPECT_EQ(editor->viewer.curves().curve(0).rightColorAt(0.0, 0), seed);
}

TEST_F(EditorWindows, ViewerBlurReportMovesThePanelSliderAndComesBack)
{
    emit editor->viewer.settings().blurChanged(9);
    EXPECT_EQ(editor->panel.sliderBlur->value(), 9);
    EXPECT_EQ(editor->viewer.curves().current_blur, 9);
}

// The executable, started from an empty directory: it must find its shaders and icons, stay up
// with both windows, and report nothing missing.
TEST(EditorExecutable, StartsFromAnyDirectoryWithoutMissingFiles)
{
    const QString program =
        QFileInfo(QCoreApplication::applicationDirPath() + "/../../app/tintweave")
            .absoluteFilePath();
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "tintweave is not built beside this test: " << program.toStdString();

    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const test_support::ChildHome home; // no settings or recovery copy of the user's
    ASSERT_TRUE(home.isValid());
    QProcess editor;
    editor.setProcessEnvironment(home.environment());
    editor.setWorkingDirectory(elsewhere.path());
    editor.start(program, QStringList());
    ASSERT_TRUE(editor.waitForStarted(10000));
    EXPECT_FALSE(editor.waitForFinished(6000)) << "the editor stopped on its own";
    editor.terminate();
    if (!editor.waitForFinished(5000)) {
        editor.kill();
        editor.waitForFinished(5000);
    }
    const QString errors = QString::fromLocal8Bit(editor.readAllStandardError());
    EXPECT_FALSE(errors.contains("Cannot open file")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("compilation failure")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("Missing or unreadable button icons")) << errors.toStdString();
}

// Shader sources that do not compile (a "shaders" folder in the working directory is searched
// first): the messages go to stderr and the editor keeps a working window.
TEST(EditorWithBrokenShaders, KeepsAWorkingWindow)
{
    QTemporaryDir workingDir;
    ASSERT_TRUE(workingDir.isValid());
    ASSERT_TRUE(QDir(workingDir.path()).mkpath("shaders/gl"));
    QFile broken(workingDir.filePath(QStringLiteral("shaders/") + kImagePassVertex));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a shader\n");
    broken.close();

    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    {
        Editor editor;
        auto answers = std::make_unique<AnsweringDialogs>();
        answers->openName = testDataPath("vertical_split.xml");
        editor.viewer.setDialogs(std::move(answers));
        editor.show();
        EXPECT_TRUE(showAndInitialise(editor.viewer));
        editor.panel.actionLoad->trigger();
        QTest::mouseClick(editor.panel.buttonZoomIn, Qt::LeftButton);
        EXPECT_EQ(editor.viewer.curves().nb_curves, 1);
        const QImage frame = editor.viewer.grabFramebuffer();
        EXPECT_EQ(frame.size(), QSize(512, 512));
        EXPECT_TRUE(editor.viewer.isVisible());
    }
    QDir::setCurrent(previousDir);
}

} // namespace
