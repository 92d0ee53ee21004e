// Mouse editing on the real viewer: drawing, picking and dragging points, multi-selection,
// panning, the paint bucket and the colour picker.
#include "test_mouse_support.h"

#include "diffusion_solver.h"
#include "interface.h"
#include "wiring.h"

#include <QSignalSpy>

#include <algorithm>
#include <cmath>

namespace {

// A gentle S across the canvas, one position per mouse event.
QVector<QPoint> wavyStroke(int positions)
{
    QVector<QPoint> points;
    for (int i = 0; i < positions; ++i) {
        const double s = i / double(positions - 1);
        points << QPoint(100 + qRound(300 * s), 256 + qRound(60 * std::sin(6.28 * s)));
    }
    return points;
}

} // namespace

class DrawingMode : public EditingViewer {
protected:
    void drawStroke(const QVector<QPoint>& points)
    {
        press(points.front());
        for (int i = 1; i < points.size(); ++i)
            moveTo(points[i]);
        release(points.back());
    }
};

TEST_F(DrawingMode, StrokeBecomesOneCurveOfWholeSegments)
{
    viewer->changeManipMode(ModeDrawCatmull);
    drawStroke(wavyStroke(40));

    ASSERT_EQ(doc().nb_curves, 1);
    const Curve& curve = doc().curve(0);
    EXPECT_GE(curve.nb_control_points, 4);
    EXPECT_EQ(curve.nb_control_points % 3, 1);
    EXPECT_EQ(doc().current_curve, -1);
    EXPECT_TRUE(viewer->tools().stroke.strokePoints().isEmpty());
    // The curve runs from the first to the last mouse position (one pixel is 1/256 canvas unit).
    const Point first = viewer->placement().modelPosition(100, 256);
    EXPECT_TRUE(near(curve.controlPoint(0), first, 2.0 / 256));
}

TEST_F(DrawingMode, StrokeOfThreePositionsAddsNothing)
{
    viewer->changeManipMode(ModeDrawCatmull);
    drawStroke({QPoint(100, 100), QPoint(150, 120), QPoint(200, 140)});
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(viewer->tools().stroke.strokePoints().isEmpty());
}

TEST_F(DrawingMode, StrokeThatNeverLeavesOnePixelMakesNoBrokenCurve)
{
    viewer->changeManipMode(ModeDrawCatmull);
    drawStroke(QVector<QPoint>(6, QPoint(300, 200)));
    EXPECT_TRUE(viewer->tools().stroke.strokePoints().isEmpty());
    // Either nothing or a curve of whole segments with finite points.
    for (int c = 0; c < doc().nb_curves; ++c) {
        const Curve& curve = doc().curve(c);
        EXPECT_EQ(curve.nb_control_points % 3, 1);
        for (int i = 0; i < curve.nb_control_points; ++i) {
            EXPECT_TRUE(std::isfinite(curve.controlPoint(i).x));
            EXPECT_TRUE(std::isfinite(curve.controlPoint(i).y));
        }
    }
}

TEST_F(DrawingMode, StrokeCollectsEveryMovePosition)
{
    viewer->changeManipMode(ModeDrawCatmull);
    press(QPoint(50, 50));
    moveTo(QPoint(60, 50));
    moveTo(QPoint(60, 50)); // no minimum spacing
    ASSERT_EQ(viewer->tools().stroke.strokePoints().size(), 3);
    EXPECT_TRUE(near(viewer->tools().stroke.strokePoints()[1],
                     viewer->placement().modelPosition(60, 50), 1e-12));
    release(QPoint(60, 50));
}

class PointMode : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        // An arch across the middle (its tangent lines stay off the curve, so a click on the
        // curve hits its body) and a straight curve higher up.
        line = addCurve(
            makeCurve({Point(-0.5, 0.0), Point(-0.2, 0.3), Point(0.2, 0.3), Point(0.5, 0.0)}));
        other = addCurve(makeLine(Point(-0.5, 0.6), Point(0.5, 0.6)));
        viewer->changeManipMode(ModeMovePoint);
    }
    // Point of the arch at parameter t.
    Point onArch(double t) { return doc().curve(line).pointAt(t, 0); }
    int line = -1;
    int other = -1;
};

TEST_F(PointMode, FirstClickMakesCurrentSecondPicksPointAndDragMovesIt)
{
    click(pixelOf(onArch(0.5)));
    ASSERT_EQ(doc().current_curve, line);
    EXPECT_EQ(doc().selectedControlPoint(), -1) << "the first click only chooses the curve";

    const QPoint endPoint = pixelOf(Point(0.5, 0.0));
    press(endPoint);
    ASSERT_EQ(doc().selectedControlPoint(), 3);
    const QPoint target(endPoint.x() + 30, endPoint.y() - 40);
    moveTo(QPoint(endPoint.x() + 10, endPoint.y() - 10));
    moveTo(target);
    EXPECT_TRUE(near(doc().curve(line).controlPoint(3),
                     viewer->placement().modelPosition(target.x(), target.y()), 1e-9));
    release(target);
    EXPECT_EQ(doc().selectedControlPoint(), -1);
    EXPECT_TRUE(near(doc().curve(line).controlPoint(0), Point(-0.5, 0.0), 1e-12));
}

// Moves that arrive before the next frame are merged: they are left to the frame, which solves
// once for the newest position and shows its picture, within the bound of a moving picture
// (1/255 root-mean-square, 4/255 at the 99.9th percentile of the channels); the frames that
// follow while the pointer rests bring it to the solution (1/255 everywhere).
TEST_F(PointMode, MovesBetweenFramesAreSolvedOnceForTheNewestPosition)
{
    resolve();
    click(pixelOf(onArch(0.5)));
    const QPoint endPoint = pixelOf(Point(0.5, 0.0));
    press(endPoint);
    ASSERT_EQ(doc().selectedControlPoint(), 3);
    auto picture = [this] {
        viewer->makeCurrent();
        return viewer->solver().images().readImage(SolverImage::ColorSolution, 0);
    };
    const std::vector<float> beforeMoves = picture();
    for (int step = 1; step <= 4; ++step)
        moveTo(endPoint + QPoint(12 * step, -15 * step));
    const std::vector<float> beforeFrame = picture();
    EXPECT_EQ(beforeFrame, beforeMoves) << "a move solved before the frame";
    viewer->repaint();
    const std::vector<float> atFrame = picture();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !viewer->isPictureSettling(); }, 5000));
    const std::vector<float> rested = picture();
    resolve(); // a fresh solve of the drawing as it is now
    const std::vector<float> solved = picture();
    ASSERT_EQ(atFrame.size(), solved.size());
    std::vector<float> frameErrors;
    double frameSquares = 0.0;
    float restError = 0.0f, beforeError = 0.0f;
    for (size_t i = 0; i < solved.size(); ++i) {
        if (i % 4 == 3)
            continue; // alpha
        frameErrors.push_back(std::abs(atFrame[i] - solved[i]));
        frameSquares += double(frameErrors.back()) * frameErrors.back();
        restError = std::max(restError, std::abs(rested[i] - solved[i]));
        beforeError = std::max(beforeError, std::abs(beforeFrame[i] - solved[i]));
    }
    const size_t k = size_t(0.999 * frameErrors.size());
    std::nth_element(frameErrors.begin(), frameErrors.begin() + k, frameErrors.end());
    EXPECT_LE(std::sqrt(frameSquares / frameErrors.size()), 1.0 / 255.0);
    EXPECT_LE(frameErrors[k], 4.0f / 255.0f);
    EXPECT_LE(restError, 1.0f / 255.0f);
    EXPECT_GT(beforeError, 0.1f) << "the later moves wait for the frame";
    release(endPoint + QPoint(48, -60));
}

// A tool's edit reaches the picture only through the document's report of it: the drag reports
// the moved curve (its geometry, within the gesture, then the gesture's end), and the picture
// re-solves from that report alone; with the reports blocked it stays as it was.
TEST_F(PointMode, ToolEditReSolvesThroughTheDocumentReport)
{
    resolve();
    click(pixelOf(onArch(0.5)));
    const QPoint endPoint = pixelOf(Point(0.5, 0.0));
    auto picture = [this] {
        viewer->makeCurrent();
        return viewer->solver().images().readImage(SolverImage::ColorSolution, 0);
    };
    auto rest = [this] {
        viewer->repaint();
        return QTest::qWaitFor([this] { return !viewer->isPictureSettling(); }, 5000);
    };
    const std::vector<float> before = picture();
    {
        const QSignalBlocker silent(&viewer->document());
        press(endPoint);
        moveTo(endPoint + QPoint(30, -40));
        ASSERT_TRUE(rest());
        EXPECT_EQ(picture(), before) << "the picture changed without the document's report";
        release(endPoint + QPoint(30, -40));
    }
    viewer->document().undo();
    ASSERT_TRUE(rest());

    QSignalSpy reports(&viewer->document(), &Document::drawingEdited);
    click(pixelOf(onArch(0.5)));
    press(endPoint);
    moveTo(endPoint + QPoint(30, -40));
    release(endPoint + QPoint(30, -40));
    ASSERT_GE(reports.count(), 2);
    const DrawingEdit moved = reports.first().at(0).value<DrawingEdit>();
    EXPECT_FALSE(moved.everything);
    EXPECT_TRUE(moved.inGesture);
    EXPECT_EQ(moved.change.firstCurve(), line);
    EXPECT_EQ(moved.change.curvesAfter().size(), 1);
    EXPECT_EQ(moved.aspects, int(DrawingEdit::Geometry));
    EXPECT_FALSE(reports.last().at(0).value<DrawingEdit>().inGesture) << "the gesture's end";
    ASSERT_TRUE(rest());
    const std::vector<float> shown = picture();
    resolve();
    const std::vector<float> solved = picture();
    float error = 0.0f;
    for (size_t i = 0; i < solved.size(); ++i)
        error = std::max(error, std::abs(shown[i] - solved[i]));
    EXPECT_LE(error, 1.0f / 255.0f);
    EXPECT_NE(shown, before);
}

TEST_F(PointMode, DragOfTheBodyMovesTheWholeCurve)
{
    click(pixelOf(onArch(0.5)));
    ASSERT_EQ(doc().current_curve, line);
    const QPoint grab = pixelOf(onArch(0.3));
    press(grab);
    moveTo(grab + QPoint(0, -64)); // 64 pixels up is 0.25 canvas units
    release(grab + QPoint(0, -64));
    // Every point moves by the mouse's model displacement.
    const Point shift = viewer->placement().modelPosition(grab.x(), grab.y() - 64)
                        - viewer->placement().modelPosition(grab.x(), grab.y());
    EXPECT_NEAR(shift.y, 0.25, 1e-12);
    EXPECT_TRUE(near(doc().curve(line).controlPoint(0), Point(-0.5, 0.25), 1e-9));
    EXPECT_TRUE(near(doc().curve(line).controlPoint(1), Point(-0.2, 0.55), 1e-9));
    EXPECT_TRUE(near(doc().curve(line).controlPoint(3), Point(0.5, 0.25), 1e-9));
    EXPECT_TRUE(near(doc().curve(other).controlPoint(0), Point(-0.5, 0.6), 1e-12));
    EXPECT_FALSE(doc().dragging);
}

TEST_F(PointMode, ClickOnEmptyCanvasDropsTheCurrentCurve)
{
    click(pixelOf(Point(0.0, 0.6)));
    ASSERT_EQ(doc().current_curve, other);
    click(pixelOf(Point(0.0, -0.7)));
    EXPECT_EQ(doc().current_curve, -1);
}

TEST_F(PointMode, SelectCurveModeOnlyPicksCurves)
{
    viewer->changeManipMode(ModeSelectCurve);
    click(pixelOf(onArch(0.5)));
    ASSERT_EQ(doc().current_curve, line);
    press(pixelOf(Point(0.5, 0.0)));
    EXPECT_EQ(doc().selectedControlPoint(), -1);
    moveTo(pixelOf(Point(0.7, 0.2)));
    release(pixelOf(Point(0.7, 0.2)));
    EXPECT_TRUE(near(doc().curve(line).controlPoint(3), Point(0.5, 0.0), 1e-12));
}

TEST_F(PointMode, PickingIgnoresAViewportLeftSetByAnEarlierPass)
{
    viewer->makeCurrent();
    glViewport(0, 0, 16, 16);
    viewer->doneCurrent();
    click(pixelOf(onArch(0.6)));
    EXPECT_EQ(doc().current_curve, line);
}

TEST_F(PointMode, InertAndCameraModesLeaveTheDrawingAlone)
{
    for (ManipulationMode mode : {ModeInert, ModeCamera}) {
        viewer->changeManipMode(mode);
        const QPoint at = pixelOf(Point(0.5, 0.0));
        press(at);
        moveTo(at + QPoint(40, 40));
        release(at + QPoint(40, 40));
        EXPECT_EQ(doc().current_curve, -1);
        EXPECT_TRUE(near(doc().curve(line).controlPoint(3), Point(0.5, 0.0), 1e-12));
    }
}

class MultiSelection : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        for (int i = 0; i < 3; ++i)
            addCurve(makeLine(Point(-0.6 + 0.5 * i, -0.5), Point(-0.6 + 0.5 * i, 0.5)));
        viewer->changeManipMode(ModeSelectMulti);
    }
    QPoint onCurve(int i, double y = 0.0) { return pixelOf(Point(-0.6 + 0.5 * i, y)); }
};

TEST_F(MultiSelection, ShiftClickTwiceTogglesACurveBackOut)
{
    click(onCurve(1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(doc().selection, QVector<int>({1}));
    EXPECT_TRUE(doc().curve(1).isSelected());
    click(onCurve(1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(doc().selection.isEmpty());
    EXPECT_FALSE(doc().curve(1).isSelected());
}

TEST_F(MultiSelection, CtrlScribbleOnlyAdds)
{
    click(onCurve(0), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(doc().selection, QVector<int>({0}));
    // Scribble across curves 2 and 0 again, without a button held.
    moveTo(onCurve(2, 0.2), Qt::NoButton, Qt::ControlModifier);
    moveTo(onCurve(0, 0.2), Qt::NoButton, Qt::ControlModifier);
    EXPECT_EQ(doc().selection, QVector<int>({0, 2}));
    EXPECT_EQ(viewer->tools().selection.scribblePoints().size(), 2);
    release(onCurve(0, 0.2), Qt::LeftButton);
    EXPECT_TRUE(viewer->tools().selection.scribblePoints().isEmpty());
    EXPECT_EQ(doc().selection, QVector<int>({0, 2}));
}

TEST_F(MultiSelection, DragMovesEverySelectedCurve)
{
    click(onCurve(0), Qt::LeftButton, Qt::ShiftModifier);
    click(onCurve(2), Qt::LeftButton, Qt::ShiftModifier);
    const QPoint grab = onCurve(2, 0.1);
    press(grab);
    moveTo(grab + QPoint(32, 0)); // 0.125 canvas units to the right
    release(grab + QPoint(32, 0));
    EXPECT_TRUE(near(doc().curve(0).controlPoint(0), Point(-0.475, -0.5), 1e-9));
    EXPECT_TRUE(near(doc().curve(2).controlPoint(0), Point(0.525, -0.5), 1e-9));
    EXPECT_TRUE(near(doc().curve(1).controlPoint(0), Point(-0.1, -0.5), 1e-12));
}

TEST_F(MultiSelection, ClickOnNothingClearsAndLeavingTheModeEmptiesTheSelection)
{
    click(onCurve(0), Qt::LeftButton, Qt::ShiftModifier);
    click(pixelOf(Point(0.9, 0.9)));
    EXPECT_TRUE(doc().selection.isEmpty());
    click(onCurve(1), Qt::LeftButton, Qt::ShiftModifier);
    viewer->changeManipMode(ModeMovePoint);
    EXPECT_TRUE(doc().selection.isEmpty());
    EXPECT_FALSE(doc().curve(1).isSelected());
}

TEST_F(MultiSelection, EnteringTheModeMovesTheCurrentCurveIntoTheSelection)
{
    viewer->changeManipMode(ModeMovePoint);
    click(onCurve(2));
    ASSERT_EQ(doc().current_curve, 2);
    viewer->changeManipMode(ModeSelectMulti);
    EXPECT_EQ(doc().current_curve, -1);
    EXPECT_EQ(doc().selection, QVector<int>({2}));
}

TEST_F(MultiSelection, ShiftClickWhereMoreCurvesMeetThanThePickBufferHoldsTogglesThemAll)
{
    // 20 more curves through one point: more hit records than the 64-entry buffer holds.
    for (int i = 0; i < 20; ++i) {
        const double angle = 3.14159 * i / 20;
        const Point d(0.4 * std::cos(angle), 0.4 * std::sin(angle));
        addCurve(makeLine(Point(0.3, 0.3) - d, Point(0.3, 0.3) + d));
    }
    click(pixelOf(Point(0.3, 0.3)), Qt::LeftButton, Qt::ShiftModifier);
    QVector<int> expected;
    for (int i = 3; i < 23; ++i)
        expected << i;
    EXPECT_EQ(doc().selection, expected);
}

class PanMode : public EditingViewer {};

TEST_F(PanMode, DragKeepsTheGrabbedPointUnderTheCursor)
{
    viewer->navigation().zoomIn();
    viewer->changeManipMode(ModePan);
    const QPoint grab(200, 300);
    const Point grabbed = viewer->placement().modelPosition(grab.x(), grab.y());
    press(grab);
    EXPECT_TRUE(viewer->tools().pan.isPanning());
    for (const QPoint& at : {QPoint(220, 310), QPoint(260, 250), QPoint(330, 200)}) {
        moveTo(at);
        EXPECT_TRUE(near(viewer->placement().modelPosition(at.x(), at.y()), grabbed, 1e-12));
    }
    release(QPoint(330, 200));
    EXPECT_FALSE(viewer->tools().pan.isPanning());
    // 130 pixels right and 100 up at zoom 2 is a pan of (130, 100) / 256 / 2.
    EXPECT_NEAR(viewer->currentView().pan.x, 130.0 / 512, 1e-12);
    EXPECT_NEAR(viewer->currentView().pan.y, 100.0 / 512, 1e-12);
}

class BucketAndPicker : public EditingViewer {};

TEST_F(BucketAndPicker, BucketRecoloursTheClickedColourPoint)
{
    const int curve = addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.0)));
    viewer->settings().setBucketColor(QColor(10, 200, 30));
    viewer->changeManipMode(ModeBucket);
    click(pixelOf(Point(0.0, 0.0)));
    ASSERT_EQ(doc().current_curve, curve);

    // Left colour points are drawn 4 r beside the curve along its left normal, r = handleSize/2.
    const Curve& c = doc().curve(curve);
    const double offset = 4 * curveRenderingSettings().handleSize * 0.5;
    const Point leftEnd = c.pointAt(0.0, 3) + c.normalAt(0.0, 3) * offset;
    click(pixelOf(leftEnd));
    EXPECT_EQ(viewer->settings().currentAttribute(), 1);
    EXPECT_EQ(doc().curve(curve).left_colors[1], QColor(10, 200, 30));
    EXPECT_EQ(doc().curve(curve).left_colors[0], QColor(255, 255, 255));
    EXPECT_EQ(doc().curve(curve).right_colors[1], QColor(130, 25, 25));
}

TEST_F(BucketAndPicker, PickerReportsThePicturesColourOnEachSide)
{
    // Beside a curve, within its constraint strip, the picture is the curve's colour exactly.
    addCurve(
        makeLine(Point(0.0, -0.8), Point(0.0, 0.8), QColor(200, 40, 90), QColor(20, 160, 220)));
    resolve();
    viewer->changeManipMode(ModePicker);
    QSignalSpy picked(&viewer->settings(), &ViewerSettings::bucketColorChanged);

    // The curve runs upwards: its left side is at negative x.
    click(QPoint(256 - 3, 256));
    ASSERT_EQ(picked.count(), 1);
    // Half-float images and truncation to 8 bits allow a few units of difference.
    const QColor left = picked.at(0).at(0).value<QColor>();
    EXPECT_NEAR(left.red(), 200, 4);
    EXPECT_NEAR(left.green(), 40, 4);
    EXPECT_NEAR(left.blue(), 90, 4);
    EXPECT_EQ(viewer->settings().bucketColor(), left);

    click(QPoint(256 + 3, 256));
    ASSERT_EQ(picked.count(), 2);
    const QColor right = picked.at(1).at(0).value<QColor>();
    EXPECT_NEAR(right.red(), 20, 4);
    EXPECT_NEAR(right.green(), 160, 4);
    EXPECT_NEAR(right.blue(), 220, 4);
}

// Colour and blur points in mode 2, answered by the real control panel.
class AttributeMode : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        curve = addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.0), QColor(255, 255, 255),
                                  QColor(130, 25, 25), 4));
        viewer->changeManipMode(ModeModifAttrib);
        click(pixelOf(Point(0.0, 0.0)));
        ASSERT_EQ(doc().current_curve, curve);
    }
    Point attributePosition(double side) const
    {
        const Curve& c = viewer->curves().curve(curve);
        const double r = curveRenderingSettings().handleSize * 0.5;
        return c.pointAt(0.0, 3) + c.normalAt(0.0, 3) * (4 * r * side);
    }
    int curve = -1;
};

TEST_F(AttributeMode, ColourPointTakesThePanelsAnswer)
{
    Interface panel;
    connectWindows(panel, *viewer, *commands);
    QColor seed;
    panel.setColorChooser([&seed](const QColor& initial) {
        seed = initial;
        return QColor(0, 0, 255);
    });
    click(pixelOf(attributePosition(-1.0))); // the right colour point at the end
    EXPECT_EQ(seed, QColor(130, 25, 25));
    EXPECT_EQ(doc().curve(curve).right_colors[1], QColor(0, 0, 255));
    EXPECT_EQ(doc().curve(curve).right_colors[0], QColor(130, 25, 25));
}

TEST_F(AttributeMode, BlurPointTakesTheSliderValue)
{
    Interface panel;
    connectWindows(panel, *viewer, *commands);
    click(pixelOf(attributePosition(0.0))); // the blur point at the end, on the curve
    ASSERT_TRUE(panel.isEditingBlur());
    EXPECT_EQ(panel.sliderBlur->minimum(), 0);
    EXPECT_EQ(panel.sliderBlur->maximum(), 16);
    EXPECT_EQ(panel.sliderBlur->value(), 4);
    panel.sliderBlur->setValue(11);
    panel.commitBlurEdit();
    EXPECT_EQ(doc().curve(curve).blur_values[1], 11);
    EXPECT_EQ(doc().curve(curve).blur_values[0], 4);
}

TEST_F(PointMode, EachModeHasItsCursor)
{
    const std::pair<ManipulationMode, Qt::CursorShape> cursors[] = {
        {ModePan, Qt::SizeAllCursor},       {ModeBucket, Qt::PointingHandCursor},
        {ModePicker, Qt::WhatsThisCursor},  {ModeDrawCatmull, Qt::ArrowCursor},
        {ModeSelectMulti, Qt::ArrowCursor}, {ModeMovePoint, Qt::ArrowCursor},
    };
    for (const auto& [mode, shape] : cursors) {
        viewer->changeManipMode(mode);
        EXPECT_EQ(viewer->mode(), mode);
        EXPECT_EQ(viewer->cursor().shape(), shape) << "mode " << mode;
    }
}
