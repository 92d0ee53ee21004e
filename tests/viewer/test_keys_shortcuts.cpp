// Keyboard shortcuts and help pages of the real viewer.
#include "test_mouse_support.h"

#include "diffusion_solver.h"
#include "help_texts.h"

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
    viewer->zoomIn();
    ASSERT_EQ(viewer->zoomFactor(), 2.0);
    key(Qt::Key_R);
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(doc().curves.isEmpty());
    EXPECT_EQ(doc().current_curve, -1);
    EXPECT_EQ(viewer->zoomFactor(), 1.0);
    EXPECT_EQ(viewer->panOffsetX(), 0.0);
    EXPECT_EQ(viewer->panOffsetY(), 0.0);
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
        EXPECT_EQ(viewer->currentDisplayMode(), mode) << "key F" << (code - Qt::Key_F1 + 1);
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
    doc().curve(0).setUniformBlur(6);
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

TEST(HelpPages, TitlePage)
{
    EXPECT_EQ(helpPageText(),
              QString("<h2>T i n t w e a v e</h2>Spline drawing with color diffusion."));
}

TEST(HelpPages, MousePage)
{
    const QString cell = "<td style=\"vertical-align: top;\">";
    const QString expected =
        "<table style=\"width: 100%; text-align: left;\" border=\"1\" cellpadding=\"2\" "
        "cellspacing=\"2\"><tbody>"
        "<tr><td style=\"vertical-align: top; \"><center><b>Mouse</b></center></td>"
        "<td style=\"vertical-align: top; \"><center><b>Action</b></center></tr>"
        "<tr>" + cell + "Left Button - Drawing mode<br></td>" + cell + "Draw a spline</td></tr>"
        "<tr>" + cell + "Left Button - Manipulation mode<br></td>" + cell
        + "Move a control point, move a tangent point</td></tr>"
        "<tr>" + cell + "Left Button - Color and blur mode<br></td>" + cell
        + "Change the color or the blur of an attribute point<br></td></tr>"
        "<tr>" + cell + "Left Button - Pan mode<br></td>" + cell + "Pan the viewport<br></td></tr>"
        "<tr>" + cell + "Shift + Left Button - Multiselection mode<br></td>" + cell
        + "Add or remove a spline from the set of selected splines<br></td></tr>"
        "<tr>" + cell + "Ctrl + Left Button - Multiselection mode<br></td>" + cell
        + "Scribble to select splines<br></td></tr>"
        "<tr>" + cell + "Left Button - Pan mode<br></td>" + cell + "Pan the viewport<br></td></tr>"
        "<tr>" + cell + "Right Button - Manipulation mode<br></td>" + cell
        + "Insert or delete a control point<br></td></tr>"
        "<tr>" + cell + "Right Button - Color and blur mode<br></td>" + cell
        + "Insert or delete an attribute point<br></td></tr>"
        "</tbody></table>";
    EXPECT_EQ(mousePageText(), expected);
}

TEST(HelpPages, KeyboardPageDescribesPAndLAsTheKeysBehave)
{
    const QString cell = "<td style=\"vertical-align: top;\">";
    const QString expected =
        "<table style=\"width: 100%; text-align: left;\" border=\"1\" cellpadding=\"2\" "
        "cellspacing=\"2\"><tbody>"
        "<tr>" + cell + "<center><b>Key</b></center></td>" + cell
        + "<center><b>Action</b></center></tr>"
        "<tr>" + cell + "Ctrl+C<br></td>" + cell + "Copy a spline or a set of splines<br></td></tr>"
        "<tr>" + cell + "Ctrl+V<br></td>" + cell + "Paste a spline or a set of splines</td></tr>"
        "<tr>" + cell + "Ctrl+D<br></td>" + cell
        + "Copy the mean blur of a spline or a set of splines<br></td></tr>"
        "<tr>" + cell + "Ctrl+F<br></td>" + cell
        + "Paste a blur on a spline or a set of splines<br></td></tr>"
        "<tr>" + cell + "P<br></td>" + cell + "Debug: display a coarser multigrid level<br></td></tr>"
        "<tr>" + cell + "L<br></td>" + cell + "Debug: display a finer multigrid level<br></td></tr>"
        "</tbody></table>";
    EXPECT_EQ(keyboardPageText(), expected);
}

TEST_F(Keys, PShowsCoarserLevelsAndLFinerOnesWithinThePyramid)
{
    const DiffusionSolver& solver = viewer->solver();
    const int levels = solver.levelCount();
    ASSERT_GT(levels, 1);
    ASSERT_EQ(solver.currentDisplayLevel(), 0);
    key(Qt::Key_L);
    EXPECT_EQ(solver.currentDisplayLevel(), 0) << "L at the finest level changes nothing";
    key(Qt::Key_P);
    EXPECT_EQ(solver.currentDisplayLevel(), 1);
    for (int i = 0; i < levels + 2; ++i)
        key(Qt::Key_P);
    EXPECT_EQ(solver.currentDisplayLevel(), levels - 1) << "P stops at the coarsest level";
    key(Qt::Key_L);
    EXPECT_EQ(solver.currentDisplayLevel(), levels - 2);
}
