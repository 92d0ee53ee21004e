#include "curve_set.h"
#include "test_curve_set_helpers.h"
#include "clipboard.h"
#include "curve_set_selection.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace doc_test;

namespace {

Point boxCentre(const Curve& c) { return c.bbox_min + (c.bbox_max - c.bbox_min) * 0.5; }

// A one-segment curve whose box is centred at (cx, cy).
Curve centredAt(double cx, double cy) { return segment(cx - 0.1, cy - 0.05, cx + 0.1, cy + 0.05); }

} // namespace

TEST(Clipboard, SinglePasteIsDisplacedByThirtyPercentOfItsCentre)
{
    CurveSet set;
    set.addCurve(centredAt(0.5, -0.2));
    set.setCurrentCurve(0);
    copySplines(set);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    ASSERT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.current_curve, 1);
    EXPECT_FALSE(set.dragging);
    for (int k = 0; k < 4; ++k) {
        const Point moved = set.curve(1).control_points[k] - set.curve(0).control_points[k];
        EXPECT_NEAR(moved.x, 0.15, 1e-12);
        EXPECT_NEAR(moved.y, -0.06, 1e-12);
    }
    EXPECT_TRUE(near(boxCentre(set.curve(1)), Point(0.65, -0.26), 1e-12));
}

TEST(Clipboard, PasteDisplacementIsDividedByTheZoomAndIgnoresThePan)
{
    CurveSet set;
    set.addCurve(centredAt(0.4, 0.2));
    set.setCurrentCurve(0);
    copySplines(set);
    pasteSplines(set, View{2.0, Point(0.3, -0.7)});
    const Point moved = set.curve(1).control_points[0] - set.curve(0).control_points[0];
    EXPECT_NEAR(moved.x, 0.06, 1e-12);
    EXPECT_NEAR(moved.y, 0.03, 1e-12);
}

TEST(Clipboard, CurvesCentredOnTheOriginPasteInPlace)
{
    CurveSet set;
    set.addCurve(centredAt(0.0, 0.0));
    set.setCurrentCurve(0);
    copySplines(set);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    EXPECT_EQ(set.curve(1).control_points, set.curve(0).control_points);
}

TEST(Clipboard, ZeroZoomDoesNotSendThePasteToInfinity)
{
    CurveSet set;
    set.addCurve(centredAt(0.5, 0.5));
    set.setCurrentCurve(0);
    copySplines(set);
    pasteSplines(set, View{0.0, Point(0.0, 0.0)});
    for (const Point& p : set.curve(1).control_points) {
        EXPECT_TRUE(std::isfinite(p.x));
        EXPECT_TRUE(std::isfinite(p.y));
    }
}

TEST(Clipboard, MultiplePasteSelectsExactlyTheCopies)
{
    CurveSet set = ladder(4);
    addToSelection(set, 0);
    addToSelection(set, 1);
    addToSelection(set, 3);
    copySplines(set);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    ASSERT_EQ(set.nb_curves, 7);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_EQ(set.selection, (QVector<int>{4, 5, 6}));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(set.curve(i).selected) << i;
    for (int i = 4; i < 7; ++i)
        EXPECT_TRUE(set.curve(i).selected) << i;
    Point lo = set.curve(4).bbox_min, hi = set.curve(4).bbox_max;
    for (int i = 5; i < 7; ++i) {
        lo =
            Point(std::min(lo.x, set.curve(i).bbox_min.x), std::min(lo.y, set.curve(i).bbox_min.y));
        hi =
            Point(std::max(hi.x, set.curve(i).bbox_max.x), std::max(hi.y, set.curve(i).bbox_max.y));
    }
    EXPECT_TRUE(near(set.selection_min, lo, 1e-12));
    EXPECT_TRUE(near(set.selection_max, hi, 1e-12));
    // The copies of curves 0, 1, 3 keep their order and shape.
    EXPECT_NEAR(set.curve(6).control_points[0].y - set.curve(4).control_points[0].y, 0.3, 1e-12);
}

TEST(Clipboard, CopyWithNothingChosenKeepsThePreviousClipboard)
{
    CurveSet set = ladder(2);
    set.setCurrentCurve(1);
    copySplines(set);
    set.setCurrentCurve(-1);
    copySplines(set);
    ASSERT_EQ(set.clipboard.size(), 1);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    ASSERT_EQ(set.nb_curves, 3);
    EXPECT_NEAR(set.curve(2).control_points[0].x, set.curve(1).control_points[0].x, 1e-12);
}

TEST(Clipboard, TwoPastesAreIndependentCopies)
{
    CurveSet set = ladder(1);
    set.setCurrentCurve(0);
    copySplines(set);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    ASSERT_EQ(set.nb_curves, 3);
    set.curve(1).control_points[0] = Point(0.9, 0.9);
    EXPECT_NE(set.curve(2).control_points[0], Point(0.9, 0.9));
    EXPECT_NE(set.clipboard[0].control_points[0], Point(0.9, 0.9));
    set.curve(0).control_points[0] = Point(-0.9, -0.9);
    EXPECT_NE(set.clipboard[0].control_points[0], Point(-0.9, -0.9));
}

TEST(Clipboard, CutOfTheCurrentCurveCanBePastedBack)
{
    CurveSet set = ladder(3);
    const QVector<Point> cutPoints = set.curve(1).control_points;
    set.setCurrentCurve(1);
    cutSplines(set);
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.current_curve, -1);
    ASSERT_EQ(set.clipboard.size(), 1);
    EXPECT_EQ(set.clipboard[0].control_points, cutPoints);
    pasteSplines(set, View{1.0, Point(0.0, 0.0)});
    EXPECT_EQ(set.nb_curves, 3);
    EXPECT_EQ(set.current_curve, 2);
}

TEST(Clipboard, CutOfTheSelectionDeletesIt)
{
    CurveSet set = ladder(4);
    addToSelection(set, 0);
    addToSelection(set, 2);
    cutSplines(set);
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_TRUE(set.selection.isEmpty());
    EXPECT_EQ(set.clipboard.size(), 2);
    for (const Curve& c : set.clipboard)
        EXPECT_FALSE(c.selected);
}

TEST(ClipboardBlur, MeanOfTheSelectionIsTruncatedAndPastedUniformly)
{
    CurveSet set;
    set.addCurve(curveThrough({Point(0, 0), Point(0.1, 0), Point(0.2, 0), Point(0.3, 0)}, Qt::white,
                              Qt::black, 3));
    Curve four = curveThrough({Point(0, 0.5), Point(0.1, 0.5), Point(0.2, 0.5), Point(0.3, 0.5),
                               Point(0.4, 0.5), Point(0.5, 0.5), Point(0.6, 0.5)},
                              Qt::white, Qt::black, 4);
    four.insertAttribute(10, Blur);
    set.addCurve(four);
    addToSelection(set, 0);
    addToSelection(set, 1);
    copyBlur(set);
    EXPECT_EQ(set.copied_blur, 3);
    setUniformBlur(set.curve(0), 9);
    pasteBlur(set);
    EXPECT_EQ(set.curve(0).blur_values, (QVector<int>{3, 3}));
    EXPECT_EQ(set.curve(0).blur_ids, (QVector<int>{0, 10}));
    EXPECT_EQ(set.curve(1).blur_values, (QVector<int>{3, 3}));
    EXPECT_EQ(set.curve(1).blur_ids, (QVector<int>{0, 20}));
}

TEST(ClipboardBlur, SelectionTakesPrecedenceOverTheCurrentCurve)
{
    CurveSet set;
    set.addCurve(segment(0, 0, 0.5, 0));
    set.addCurve(segment(0, 0.5, 0.5, 0.5));
    setUniformBlur(set.curve(0), 8);
    setUniformBlur(set.curve(1), 1);
    addToSelection(set, 1);
    set.current_curve = 0;
    copyBlur(set);
    EXPECT_EQ(set.copied_blur, 1);
    pasteBlur(set);
    EXPECT_EQ(set.curve(0).blur_values, (QVector<int>{8, 8}));
}

TEST(ClipboardBlur, NothingCopiedMeansNothingPasted)
{
    CurveSet set = ladder(2);
    set.copied_blur = 5;
    copyBlur(set); // neither selection nor current curve
    EXPECT_EQ(set.copied_blur, -1);
    set.setCurrentCurve(0);
    pasteBlur(set);
    EXPECT_EQ(set.curve(0).blur_values, (QVector<int>{2, 2}));

    set.setCurrentCurve(1);
    copyBlur(set);
    EXPECT_EQ(set.copied_blur, 2);
}

TEST(ClipboardBlur, SelectionOfVanishedCurvesCopiesNothing)
{
    CurveSet set = ladder(2);
    set.selection = {5, 9};
    copyBlur(set);
    EXPECT_EQ(set.copied_blur, -1);
}
