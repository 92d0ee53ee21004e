#include "curve_set.h"
#include "test_curve_set_helpers.h"
#include "curve_set_edits.h"
#include "curve_set_selection.h"
#include "curve_sampling.h"

#include <gtest/gtest.h>

using namespace doc_test;

TEST(CurveSetLifeCycle, StartsWithTheDocumentedValues)
{
    CurveSet set;
    EXPECT_EQ(set.nb_curves, 0);
    EXPECT_TRUE(set.curves.isEmpty());
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_EQ(set.copied_blur, -1);
    EXPECT_EQ(set.current_left_color, QColor(255, 255, 255));
    EXPECT_EQ(set.current_right_color, QColor(130, 25, 25));
    EXPECT_EQ(set.current_blur, 0);
    EXPECT_TRUE(set.left_colors_active);
    EXPECT_TRUE(set.right_colors_active);
    EXPECT_FALSE(set.dragging);
    EXPECT_FALSE(set.show_attributes);
    EXPECT_EQ(set.image_width, 512);
    EXPECT_EQ(set.image_height, 512);
}

TEST(CurveSetLifeCycle, ClearKeepsClipboardSizeAndSelectionList)
{
    CurveSet set = ladder(3);
    addToSelection(set, 1);
    set.setCurrentCurve(2);
    set.copied_blur = 4;
    set.clipboard.append(unitSquare());
    set.image_width = 640;
    set.clear();
    EXPECT_EQ(set.nb_curves, 0);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_EQ(set.copied_blur, -1);
    EXPECT_EQ(set.clipboard.size(), 1);
    EXPECT_EQ(set.image_width, 640);
    EXPECT_EQ(set.selection, QVector<int>{1});
}

TEST(CurveSetAccess, NewCurveWaitsForTheUnfinishedCurve)
{
    CurveSet set;
    set.setLeftColor(QColor(1, 2, 3));
    set.setBlur(5);
    set.newCurve();
    ASSERT_EQ(set.nb_curves, 1);
    EXPECT_EQ(set.current_curve, 0);
    for (int k = 0; k < 3; ++k) {
        set.appendControlPoint(k * 0.1, 0.0);
        set.newCurve();
        EXPECT_EQ(set.nb_curves, 1) << "after " << k + 1 << " control points";
        EXPECT_EQ(set.current_curve, 0);
    }
    set.appendControlPoint(0.3, 0.0);
    set.setLeftColor(QColor(9, 8, 7));
    set.newCurve();
    ASSERT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.current_curve, 1);
    EXPECT_EQ(set.curve(1).default_left_color, QColor(9, 8, 7));
    EXPECT_EQ(set.curve(1).default_blur, 5);
    EXPECT_EQ(set.curve(1).nb_control_points, 0);
}

TEST(CurveSetAccess, SetCurrentCurveCopiesDefaultsOrDropsTheCurrentCurve)
{
    CurveSet set = ladder(2);
    set.curve(1).setDefaultLeftColor(QColor(11, 12, 13));
    set.curve(1).setDefaultRightColor(QColor(21, 22, 23));
    set.curve(1).setDefaultBlur(7);
    set.setCurrentCurve(1);
    EXPECT_EQ(set.current_curve, 1);
    EXPECT_EQ(set.current_left_color, QColor(11, 12, 13));
    EXPECT_EQ(set.current_right_color, QColor(21, 22, 23));
    EXPECT_EQ(set.current_blur, 7);

    set.setCurrentCurve(set.nb_curves);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_EQ(set.current_left_color, QColor(11, 12, 13));
    EXPECT_EQ(set.current_blur, 7);
}

TEST(CurveSetAccess, CurrentColoursWriteIntoTheCurrentCurve)
{
    CurveSet set = ladder(2);
    set.setLeftColor(QColor(1, 1, 1));
    EXPECT_EQ(set.curve(0).default_left_color, QColor(255, 255, 255));
    set.setCurrentCurve(0);
    set.setLeftColor(QColor(5, 6, 7));
    set.setRightColor(QColor(8, 9, 10));
    set.setBlur(3);
    EXPECT_EQ(set.curve(0).default_left_color, QColor(5, 6, 7));
    EXPECT_EQ(set.curve(0).default_right_color, QColor(8, 9, 10));
    EXPECT_EQ(set.curve(0).default_blur, 3);
    EXPECT_EQ(set.curve(1).default_blur, 0);
    EXPECT_EQ(set.current_left_color, QColor(5, 6, 7));
}

TEST(CurveSetAccess, ColourPointQueriesFallBackToTheCurrentColours)
{
    CurveSet set = ladder(1);
    EXPECT_EQ(set.currentCurveLeftColor(0), set.current_left_color);
    EXPECT_EQ(set.selectedControlPoint(), -1);
    set.setCurrentCurve(0);
    set.setLeftColor(QColor(70, 70, 70));
    EXPECT_EQ(set.currentCurveLeftColor(0), QColor(10, 20, 30));
    EXPECT_EQ(set.currentCurveRightColor(1), QColor(200, 100, 50));
    EXPECT_EQ(set.currentCurveLeftColor(2), QColor(70, 70, 70)) << "index past the list";
    EXPECT_EQ(set.currentCurveLeftColor(-1), QColor(70, 70, 70));
    set.selectControlPoint(2);
    EXPECT_EQ(set.selectedControlPoint(), 2);
}

TEST(CurveSetGuards, IgnoreGuardLeavesEveryCurveAloneWithoutACurrentCurve)
{
    CurveSet set = ladder(2);
    const QVector<Point> before = set.curve(1).control_points;
    set.insertControlPoint(0, 0, 2, 0.5);
    set.deleteControlPoint(0);
    set.insertAttribute(5, LeftColor);
    set.deleteAttribute(0, Blur);
    set.selectControlPoint(0);
    set.setLeftColorOf(QColor(1, 2, 3), 0);
    set.setBlurOf(9, 0);
    set.split(0, 0.1, 2, 0.5);
    EXPECT_FALSE(set.moveSelectedControlPoint(0.3, 0.3));
    EXPECT_EQ(set.blurValue(0), -1);
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.curve(1).control_points, before);
    EXPECT_EQ(set.curve(1).left_colors.first(), QColor(10, 20, 30));
    EXPECT_EQ(set.curve(1).blur_values.first(), 2);
    EXPECT_EQ(set.curve(1).selected_control_point, -1);
}

TEST(CurveSetGuards, ClampGuardFillsTheLastCurve)
{
    CurveSet set = ladder(2);
    ASSERT_EQ(set.current_curve, -1);
    set.appendControlPoint(0.9, 0.9);
    EXPECT_EQ(set.current_curve, 1);
    EXPECT_EQ(set.curve(1).nb_control_points, 5);
    EXPECT_EQ(set.curve(0).nb_control_points, 4);

    CurveSet empty;
    empty.appendControlPoint(0, 0);
    empty.appendBlur(0, true);
    EXPECT_FALSE(empty.isClosed());
    EXPECT_EQ(empty.nb_curves, 0);
    EXPECT_EQ(empty.current_curve, -1);
}

TEST(CurveSetGuards, AppendedColourPointsTakeTheDefaultsWhenAsked)
{
    CurveSet set;
    set.setLeftColor(QColor(40, 50, 60));
    set.setBlur(6);
    set.newCurve();
    set.appendLeftColor(0, true, QColor(1, 1, 1));
    set.appendLeftColor(10, false, QColor(1, 1, 1));
    set.appendBlur(0, true, 0);
    ASSERT_EQ(set.curve(0).nb_left_colors, 2);
    EXPECT_EQ(set.curve(0).left_colors[0], QColor(40, 50, 60));
    EXPECT_EQ(set.curve(0).left_colors[1], QColor(1, 1, 1));
    EXPECT_EQ(set.blurValue(0), 6);
    EXPECT_EQ(set.blurValue(1), -1);
}

TEST(CurveSetEditing, SplitOfAnOpenCurveAppendsTheSecondHalf)
{
    CurveSet set;
    set.addCurve(curveThrough({Point(-0.9, 0), Point(-0.8, 0.1), Point(-0.7, 0.1), Point(-0.6, 0),
                               Point(-0.5, -0.1), Point(-0.4, -0.1), Point(-0.3, 0),
                               Point(-0.2, 0.1), Point(-0.1, 0.1), Point(0, 0)}));
    set.setCurrentCurve(0);
    const Point onMiddle = set.curve(0).pointAt(0.5, 3);
    set.split(onMiddle.x, onMiddle.y, 5, 0.5);
    ASSERT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.curve(0).segmentCount() + set.curve(1).segmentCount(), 4);
}

TEST(CurveSetEditing, DeletingTheLastSegmentRemovesTheCurve)
{
    CurveSet set = ladder(3);
    set.setCurrentCurve(1);
    set.deleteControlPoint(0);
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_DOUBLE_EQ(set.curve(1).control_points.first().y, 0.2) << "curve 2 moved down to 1";
}

TEST(CurveSetEditing, RemoveCurveRenumbersSelectionAndCurrentCurve)
{
    CurveSet set = ladder(5);
    addToSelection(set, 1);
    addToSelection(set, 3);
    addToSelection(set, 4);
    set.current_curve = 4;
    set.removeCurve(3);
    EXPECT_EQ(set.nb_curves, 4);
    EXPECT_EQ(set.selection, (QVector<int>{1, 3}));
    EXPECT_EQ(set.current_curve, 3);
    EXPECT_DOUBLE_EQ(set.curve(3).control_points.first().y, 0.4);

    set.removeCurve(3);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_EQ(set.selection, QVector<int>{1});
    set.removeCurve(-1);
    set.removeCurve(set.nb_curves);
    EXPECT_EQ(set.nb_curves, 3);
}

TEST(CurveSetEditing, SetWideEditsVisitSelectionThenCurrentCurve)
{
    CurveSet set = ladder(3);
    addToSelection(set, 0);
    addToSelection(set, 1);
    set.current_curve = 1; // listed and current: shifted twice
    setGlobalBlur(set, 3);
    EXPECT_EQ(set.curve(0).blur_values, (QVector<int>{5, 5}));
    EXPECT_EQ(set.curve(1).blur_values, (QVector<int>{8, 8}));
    EXPECT_EQ(set.curve(2).blur_values, (QVector<int>{2, 2}));

    switchColors(set);
    EXPECT_EQ(set.curve(0).left_colors.first(), QColor(200, 100, 50));
    EXPECT_EQ(set.curve(1).left_colors.first(), QColor(10, 20, 30)) << "switched twice";

    stylizeSplines(set);
    EXPECT_TRUE(set.curve(0).stylized);
    EXPECT_FALSE(set.curve(1).stylized);
    EXPECT_FALSE(set.curve(2).stylized);
}

// The counts the status bar reports: each curve once, even one both listed and current.
TEST(CurveSetEditing, SetWideEditsCountTheCurvesTheyEdited)
{
    CurveSet set = ladder(4);
    EXPECT_EQ(smoothSplines(set), 0);
    set.setCurrentCurve(3);
    EXPECT_EQ(switchColors(set), 1);
    addToSelection(set, 0);
    addToSelection(set, 1);
    EXPECT_EQ(stylizeSplines(set), 3);
    set.current_curve = 1;
    for (int edited : {setGlobalBlur(set, 1), increaseContrast(set), decreaseContrast(set),
                       smoothSplines(set), switchColors(set), stylizeSplines(set)})
        EXPECT_EQ(edited, 2);

    QImage contour(512, 512, QImage::Format_RGB32);
    contour.fill(Qt::white);
    EXPECT_EQ(set.snakeStep(QImage()), 0) << "no bitmap";
    // Snapping and reading colours work on the selection and the current curve too.
    EXPECT_EQ(set.snakeStep(contour), 2);
    EXPECT_EQ(set.sampleFromExample(contour), 2);
    set.setCurrentCurve(-1);
    EXPECT_EQ(set.snakeStep(contour), 2) << "the selection alone";
    set.selection.clear();
    EXPECT_EQ(set.snakeStep(contour), 0) << "no current curve, no selection";
    EXPECT_EQ(set.sampleFromExample(contour), 0);
}

TEST(CurveSetEditing, SmoothingUpdatesTheSelectionBox)
{
    CurveSet set;
    set.addCurve(curveThrough({Point(0, 0), Point(0.2, 1), Point(0.4, -1), Point(0.6, 0)}));
    addToSelection(set, 0);
    EXPECT_DOUBLE_EQ(set.selection_max.y, 1.0);
    smoothSplines(set);
    EXPECT_LT(set.selection_max.y, 1.0);
    EXPECT_DOUBLE_EQ(set.selection_max.y, set.curve(0).bbox_max.y);
}

// The snap reach counts pixels of the 512-pixel contour bitmap, two pixel steps each, clamped to
// 2 .. 30; the default is the curve's own reach.
TEST(CurveSetEditing, SnapReachCountsBitmapPixelsWithinItsRange)
{
    QImage contour(512, 512, QImage::Format_RGB32);
    contour.fill(Qt::white);
    for (int row = 244; row <= 248; ++row) // a dark band 20 pixel steps above y = 0
        for (int col = 0; col < 512; ++col)
            contour.setPixel(col, row, qRgb(0, 0, 0));
    auto x = [](int i) { return -0.6 + 1.2 * i / 9; };
    const Curve line = curveThrough({Point(x(0), 0), Point(x(1), 0), Point(x(2), 0), Point(x(3), 0),
                                     Point(x(4), 0), Point(x(5), 0), Point(x(6), 0), Point(x(7), 0),
                                     Point(x(8), 0), Point(x(9), 0)});
    const std::pair<int, int> pixelsToSteps[] = {{kDefaultSnapReach, kSnakeReachSteps},
                                                 {kMinSnapReach - 1, 4},
                                                 {kMaxSnapReach + 50, 60}};
    QVector<QVector<Point>> snapped;
    for (const auto& [pixels, steps] : pixelsToSteps) {
        CurveSet set;
        set.addCurve(line);
        set.setCurrentCurve(0);
        set.snakeStep(contour, pixels);
        Curve alone = line;
        snakeStep(alone, contour, kCanvasPixel, steps);
        EXPECT_EQ(set.curve(0).control_points, alone.control_points) << pixels;
        snapped << set.curve(0).control_points;
    }
    EXPECT_EQ(kDefaultSnapReach, 3);
    EXPECT_NE(snapped.first(), snapped.last()) << "the widest reach gets nearer the band";
}
