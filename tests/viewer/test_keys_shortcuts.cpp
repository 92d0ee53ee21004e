// Keyboard shortcuts and help pages of the real viewer.
#include "test_mouse_support.h"

#include "diffusion_solver.h"
#include "help_texts.h"
#include "help_window.h"
#include "curve_transforms.h"

class Keys : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        for (int i = 0; i < 3; ++i)
            addCurve(makeLine(Point(-0.6 + 0.5 * i, -0.5), Point(-0.6 + 0.5 * i, 0.5)));
    }
    QPoint onCurve(int i) { return pixelOf(Point(-0.6 + 0.5 * i, 0.1)); }
};

TEST_F(Keys, RClearsTheDrawingAndResetsTheView)
{
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(1));
    viewer->navigation().zoomIn();
    ASSERT_EQ(viewer->currentView().zoom, 2.0);
    ASSERT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.015);
    key(Qt::Key_R);
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(doc().curves.isEmpty());
    EXPECT_EQ(doc().current_curve, -1);
    EXPECT_EQ(viewer->currentView().zoom, 1.0);
    EXPECT_EQ(viewer->currentView().pan.x, 0.0);
    EXPECT_EQ(viewer->currentView().pan.y, 0.0);
    // Handles and scribble marks are back at their size for the whole canvas.
    EXPECT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.03);
    EXPECT_DOUBLE_EQ(viewer->tools().selection.markerSize(), 0.06);
}

TEST_F(Keys, RAlsoForgetsTheSelection)
{
    viewer->changeManipMode(ModeSelectMulti);
    click(onCurve(2), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(doc().selection.size(), 1);
    key(Qt::Key_R);
    EXPECT_TRUE(doc().selection.isEmpty());
    // A new curve drawn at the old index is not selected behind the user's back.
    addCurve(makeLine(Point(0, 0), Point(0.1, 0.1)));
    addCurve(makeLine(Point(0, 0), Point(0.1, 0.2)));
    addCurve(makeLine(Point(0, 0), Point(0.1, 0.3)));
    key(Qt::Key_Delete);
    EXPECT_EQ(doc().nb_curves, 3);
}

TEST_F(Keys, DeleteRemovesTheCurrentCurve)
{
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(1));
    ASSERT_EQ(doc().current_curve, 1);
    key(Qt::Key_Delete);
    ASSERT_EQ(doc().nb_curves, 2);
    EXPECT_EQ(doc().current_curve, -1);
    // The former curves 0 and 2 remain.
    EXPECT_NEAR(doc().curve(0).controlPoint(0).x, -0.6, 1e-12);
    EXPECT_NEAR(doc().curve(1).controlPoint(0).x, 0.4, 1e-12);
    key(Qt::Key_Delete); // no current curve: nothing happens
    EXPECT_EQ(doc().nb_curves, 2);
}

TEST_F(Keys, DeleteRemovesTheMultiSelection)
{
    viewer->changeManipMode(ModeSelectMulti);
    click(onCurve(0), Qt::LeftButton, Qt::ShiftModifier);
    click(onCurve(2), Qt::LeftButton, Qt::ShiftModifier);
    key(Qt::Key_Delete);
    ASSERT_EQ(doc().nb_curves, 1);
    EXPECT_NEAR(doc().curve(0).controlPoint(0).x, -0.1, 1e-12);
    EXPECT_TRUE(doc().selection.isEmpty());
}

TEST_F(Keys, DeleteDoesNothingInDrawingMode)
{
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(1));
    viewer->changeManipMode(ModeDrawCatmull);
    key(Qt::Key_Delete);
    EXPECT_EQ(doc().nb_curves, 3);
}

TEST_F(Keys, FunctionKeysChooseTheDisplayedImage)
{
    const std::pair<int, int> keysAndModes[] = {
        {Qt::Key_F2, 1}, {Qt::Key_F3, 2}, {Qt::Key_F4, 3}, {Qt::Key_F5, 5},
        {Qt::Key_F6, 6}, {Qt::Key_F7, 4}, {Qt::Key_F1, 0},
    };
    for (const auto& [code, mode] : keysAndModes) {
        key(code);
        EXPECT_EQ(static_cast<int>(viewer->settings().display.mode), mode)
            << "key F" << (code - Qt::Key_F1 + 1);
    }
}

TEST_F(Keys, ClipboardShortcutsCopyCutAndPaste)
{
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(0));
    key(Qt::Key_C, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().nb_curves, 4);
    EXPECT_EQ(doc().current_curve, 3);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(doc().nb_curves, 3);
    EXPECT_EQ(doc().current_curve, -1);
    // Ctrl+Shift+C is not Ctrl+C: the clipboard keeps the cut curve.
    click(onCurve(2));
    key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().nb_curves, 4);
    // A paste lands 30 % of the box centre further out: the cut copy was at 1.3 * -0.6.
    EXPECT_NEAR(doc().curve(3).controlPoint(0).x, -0.6 * 1.3 * 1.3, 1e-9);
}

TEST_F(Keys, BlurShortcutsCopyTheMeanAndPasteIt)
{
    setUniformBlur(doc().curve(0), 6);
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(0));
    key(Qt::Key_D, Qt::ControlModifier);
    // A click on another curve first drops the current one, the next one chooses it.
    click(onCurve(2));
    EXPECT_EQ(doc().current_curve, -1);
    click(onCurve(2));
    ASSERT_EQ(doc().current_curve, 2);
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(doc().curve(2).blur_values, QVector<int>({6, 6}));
}

TEST(HelpPages, TitlePageWithGettingStarted)
{
    const QString page = helpPageText();
    EXPECT_TRUE(
        page.startsWith(QString("<h2>T i n t w e a v e</h2>Spline drawing with color diffusion.")));
    const int start = page.indexOf("<h3>Getting started</h3><ol>");
    ASSERT_GE(start, 0);
    // One step each, in the order a new user takes them.
    int previous = start;
    for (const char* step : {"Draw", "Color", "Edit", "Save", "Export", "Trace"}) {
        const int at = page.indexOf(QString("<li><b>%1</b>: ").arg(step));
        EXPECT_GT(at, previous) << step;
        previous = at;
    }
    EXPECT_TRUE(page.contains("File &gt; Trace Bitmap..."));
    EXPECT_TRUE(page.contains("File &gt; Save as Png"));
}

namespace {

// The first cells of a help table's data rows, in order (the header row left out).
QStringList firstCells(const QString& page)
{
    const QString cell = "<td style=\"vertical-align: top;\">";
    QStringList cells;
    for (const QString& row : page.split("<tr>").mid(2)) {
        if (!row.startsWith(cell)) {
            cells << "(row without the data cell markup)";
            continue;
        }
        const int end = row.indexOf("<br></td>");
        cells << row.mid(cell.size(), end - cell.size());
    }
    return cells;
}

QString tableOpening(const QString& headerCell, const char* left)
{
    return QString("<table style=\"width: 100%; text-align: left;\" border=\"1\" cellpadding=\"2\" "
                   "cellspacing=\"2\"><tbody><tr>")
           + headerCell + "<center><b>" + left + "</b></center></td>";
}

} // namespace

TEST(HelpPages, MousePageNamesEveryGestureOnce)
{
    const QString page = mousePageText();
    EXPECT_TRUE(page.startsWith(tableOpening("<td style=\"vertical-align: top; \">", "Mouse")));
    EXPECT_TRUE(page.endsWith("</tbody></table>"));
    const QString cell = "<td style=\"vertical-align: top;\">";
    EXPECT_TRUE(page.contains("<tr>" + cell + "Left Button - Drawing<br></td>" + cell
                              + "Draw a spline</td></tr>"));
    // Every tool's buttons, the Ctrl scribble and the wheel; the pan row only once.
    EXPECT_EQ(firstCells(page), QStringList({"Left Button - Drawing",
                                             "Left Button - Control point selection",
                                             "Right Button - Control point selection",
                                             "Left Button - Color selection",
                                             "Right Button - Color selection",
                                             "Left Button - Multiple selection",
                                             "Shift + Left Button - Multiple selection",
                                             "Ctrl + Mouse move - Multiple selection",
                                             "Right Button - Multiple selection",
                                             "Left Button - Pan",
                                             "Left Button - Paint bucket",
                                             "Right Button - Paint bucket",
                                             "Left Button - Pick a color in the drawing",
                                             "Wheel",
                                             "Panel - Snap to bitmap contours",
                                             "Panel - Read colors in the bitmap",
                                             "Panel - Switch colors",
                                             "Panel - Increase or decrease contrast",
                                             "Panel - Stylization",
                                             "Panel - Smoothing"}));
}

TEST(HelpPages, KeyboardPageNamesEveryKeyOnceAndPAndLAsTheyBehave)
{
    const QString page = keyboardPageText();
    const QString cell = "<td style=\"vertical-align: top;\">";
    EXPECT_TRUE(page.startsWith(tableOpening(cell, "Key")));
    EXPECT_TRUE(page.contains("<tr>" + cell + "Ctrl+V<br></td>" + cell
                              + "Paste a spline or a set of splines</td></tr>"));
    EXPECT_TRUE(page.contains("<tr>" + cell + "P<br></td>" + cell
                              + "Debug: display a coarser multigrid level<br></td></tr>"));
    EXPECT_TRUE(page.contains("<tr>" + cell + "L<br></td>" + cell
                              + "Debug: display a finer multigrid level<br></td></tr>"));
    // The keys of the viewer's key handler and of the help window, each once.
    const QStringList keys = firstCells(page);
    EXPECT_EQ(keys, QStringList({"Ctrl+C",
                                 "Ctrl+X",
                                 "Ctrl+V",
                                 "Ctrl+D",
                                 "Ctrl+F",
                                 "Delete",
                                 "Ctrl+A",
                                 "Ctrl+Shift+A",
                                 "Return",
                                 "Ctrl+Z",
                                 "Ctrl+Y, Ctrl+Shift+Z",
                                 "Ctrl+N",
                                 "Ctrl+O",
                                 "Ctrl+S",
                                 "Ctrl+Shift+S",
                                 "Ctrl+Q",
                                 "R",
                                 "+",
                                 "-",
                                 "Ctrl+0, Home",
                                 "P",
                                 "L",
                                 "F1",
                                 "F2",
                                 "F3",
                                 "F4",
                                 "F5",
                                 "F6",
                                 "F7",
                                 "H",
                                 "Escape"}));
}

TEST(HelpPages, AboutPageIsTintweaves)
{
    const QString about = aboutPageText();
    EXPECT_TRUE(about.startsWith(QString("<h2>Tintweave ") + kTintweaveVersion + "</h2>"));
    EXPECT_TRUE(about.contains("diffusion"));
    EXPECT_TRUE(about.contains("licence"));
    EXPECT_FALSE(about.contains("QGLViewer library"));
}

TEST_F(Keys, HOpensTheHelpAndEscapeOrHCloseIt)
{
    ASSERT_EQ(commands->help.helpWindow(), nullptr);
    QTest::keyClick(viewer.get(), Qt::Key_H);
    HelpWindow* help = commands->help.helpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    ASSERT_EQ(help->count(), 4);
    EXPECT_EQ(help->tabText(0), "Help");
    EXPECT_EQ(help->tabText(1), "Keyboard");
    EXPECT_EQ(help->tabText(2), "Mouse");
    EXPECT_EQ(help->tabText(3), "About");
    EXPECT_TRUE(help->pageText("About").startsWith(QString("Tintweave ") + kTintweaveVersion));
    EXPECT_TRUE(help->pageText("Keyboard").contains("Ctrl+0, Home"));

    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help->currentWidget(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    QTest::keyClick(viewer.get(), Qt::Key_H);
    ASSERT_TRUE(help->isVisible());
    help->setCurrentIndex(2);
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help->currentWidget(), Qt::Key_H);
    EXPECT_FALSE(help->isVisible());
    // The viewer itself stays open.
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(Keys, PShowsCoarserLevelsAndLFinerOnesWithinThePyramid)
{
    const DiffusionSolver& solver = viewer->solver();
    const int levels = solver.images().levelCount();
    ASSERT_GT(levels, 1);
    ASSERT_EQ(solver.display().level(), 0);
    key(Qt::Key_L);
    EXPECT_EQ(solver.display().level(), 0) << "L at the finest level changes nothing";
    key(Qt::Key_P);
    EXPECT_EQ(solver.display().level(), 1);
    for (int i = 0; i < levels + 2; ++i)
        key(Qt::Key_P);
    EXPECT_EQ(solver.display().level(), levels - 1) << "P stops at the coarsest level";
    key(Qt::Key_L);
    EXPECT_EQ(solver.display().level(), levels - 2);
}
