#include "curve_set.h"
#include "test_curve_set_helpers.h"
#include "curve_set_selection.h"

#include <gtest/gtest.h>

using namespace doc_test;

namespace {

QVector<Point> points(std::initializer_list<Point> list) { return QVector<Point>(list); }

} // namespace

TEST(CurveSetSelection, ToggleTwiceRestoresTheSelection)
{
    CurveSet set = ladder(3);
    addToSelection(set, 2);
    toggleSelection(set, 0);
    EXPECT_EQ(set.selection, (QVector<int>{2, 0}));
    EXPECT_TRUE(set.curve(0).selected);
    toggleSelection(set, 0);
    EXPECT_EQ(set.selection, QVector<int>{2});
    EXPECT_FALSE(set.curve(0).selected);
}

TEST(CurveSetSelection, AddingTwiceListsTheCurveOnce)
{
    CurveSet set = ladder(2);
    addToSelection(set, 1);
    addToSelection(set, 1);
    EXPECT_EQ(set.selection, QVector<int>{1});
    addToSelection(set, 7);
    toggleSelection(set, -1);
    EXPECT_EQ(set.selection, QVector<int>{1});
}

TEST(CurveSetSelection, AnAddedCopyOfASelectedCurveIsNotSelected)
{
    CurveSet set = ladder(2);
    addToSelection(set, 1);
    set.addCurve(set.curve(1));
    EXPECT_FALSE(set.curve(2).selected);
    deleteSelected(set);
    EXPECT_EQ(set.nb_curves, 2) << "only the listed curve is deleted";
}

TEST(CurveSetSelection, ClearSelectionReturnsTheFormerCurrentCurve)
{
    CurveSet set = ladder(3);
    addToSelection(set, 0);
    addToSelection(set, 2);
    set.setCurrentCurve(1);
    EXPECT_EQ(clearSelection(set), 1);
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_TRUE(set.selection.isEmpty());
    for (const Curve& c : set.curves)
        EXPECT_FALSE(c.selected);
    EXPECT_EQ(clearSelection(set), -1);
}

TEST(CurveSetSelection, SelectAllListsEveryCurveOnceAndDropsTheCurrentCurve)
{
    CurveSet set = ladder(3);
    addToSelection(set, 1);
    set.setCurrentCurve(0);
    EXPECT_EQ(selectAll(set), 3);
    EXPECT_EQ(set.selection, (QVector<int>{1, 0, 2}));
    EXPECT_EQ(set.current_curve, -1);
    for (const Curve& c : set.curves)
        EXPECT_TRUE(c.selected);
    EXPECT_DOUBLE_EQ(set.selection_min.y, 0.0);
    EXPECT_DOUBLE_EQ(set.selection_max.y, 0.2);
    EXPECT_EQ(set.selection_hull.size(), 5) << "the ladder's four corners, the first repeated";
    clearSelection(set);
    EXPECT_TRUE(set.selection.isEmpty());
    CurveSet empty;
    EXPECT_EQ(selectAll(empty), 0);
}

TEST(CurveSetSelection, DeleteSelectedKeepsTheOthersInOrder)
{
    CurveSet set = ladder(4);
    addToSelection(set, 1);
    addToSelection(set, 2);
    deleteSelected(set);
    ASSERT_EQ(set.nb_curves, 2);
    EXPECT_DOUBLE_EQ(set.curve(0).control_points.first().y, 0.0);
    EXPECT_DOUBLE_EQ(set.curve(1).control_points.first().y, 0.3);
    EXPECT_TRUE(set.selection.isEmpty());
}

TEST(CurveSetSelection, DeleteSelectedKeepsTheCurrentCurveOnItsCurve)
{
    CurveSet set = ladder(4);
    addToSelection(set, 0);
    set.current_curve = 2;
    deleteSelected(set);
    EXPECT_EQ(set.current_curve, 1);
    EXPECT_DOUBLE_EQ(set.curve(set.current_curve).control_points.first().y, 0.2);
}

TEST(CurveSetSelection, BoxIsTheUnionOfTheSelectedBoxesOrTheCurrentBox)
{
    CurveSet set;
    set.addCurve(segment(-0.5, 0.2, 0.1, 0.4));
    set.addCurve(segment(0.3, -0.7, 0.6, -0.1));
    set.addCurve(segment(0.9, 0.9, 0.95, 0.95));
    addToSelection(set, 0);
    addToSelection(set, 1);
    EXPECT_EQ(set.selection_min, Point(-0.5, -0.7));
    EXPECT_EQ(set.selection_max, Point(0.6, 0.4));

    set.setCurrentCurve(2);
    selectionBox(set);
    EXPECT_EQ(set.selection_min, Point(0.9, 0.9));
    EXPECT_EQ(set.selection_max, Point(0.95, 0.95));
}

TEST(CurveSetHull, SquareControlPolygon)
{
    CurveSet set;
    set.addCurve(unitSquare());
    addToSelection(set, 0);
    EXPECT_EQ(set.selection_hull,
              points({Point(0, 1), Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)}));

    // A second selected curve inside the square does not change the hull.
    set.addCurve(
        curveThrough({Point(0.2, 0.2), Point(0.8, 0.3), Point(0.7, 0.8), Point(0.3, 0.6)}));
    addToSelection(set, 1);
    EXPECT_EQ(set.selection_hull,
              points({Point(0, 1), Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)}));
}

TEST(CurveSetHull, EveryControlPointLiesInsideTheHull)
{
    CurveSet set;
    set.addCurve(
        curveThrough({Point(-0.8, -0.2), Point(-0.3, 0.6), Point(0.1, -0.9), Point(0.4, 0.3),
                      Point(0.5, 0.7), Point(0.9, -0.4), Point(0.2, 0.95)}));
    set.addCurve(segment(-0.6, -0.6, 0.7, 0.8));
    addToSelection(set, 0);
    addToSelection(set, 1);
    const QVector<Point>& hull = set.selection_hull;
    ASSERT_GE(hull.size(), 4);
    EXPECT_EQ(hull.first(), hull.last());
    for (int c : set.selection) {
        for (const Point& p : set.curve(c).control_points) {
            for (int k = 0; k + 1 < hull.size(); ++k) {
                const Point e = hull[k + 1] - hull[k];
                const Point d = p - hull[k];
                EXPECT_GE(e.x * d.y - e.y * d.x, -1e-12)
                    << "point (" << p.x << ", " << p.y << ") outside edge " << k;
            }
        }
    }
}

TEST(CurveSetHull, DegeneratePointSetsStayInsideTheDeque)
{
    // Coincident and collinear points make the plain deque walk run past its ends.
    CurveSet set;
    set.addCurve(curveThrough({Point(0.5, 0.5), Point(0.5, 0.5), Point(0.5, 0.5), Point(0.5, 0.5),
                               Point(0.5, 0.5), Point(0.5, 0.5), Point(0.5, 0.5)}));
    set.addCurve(curveThrough({Point(0, 0), Point(0.1, 0.1), Point(0.2, 0.2), Point(0.3, 0.3),
                               Point(0.4, 0.4), Point(0.5, 0.5), Point(0.6, 0.6)}));
    addToSelection(set, 0);
    EXPECT_FALSE(set.selection_hull.isEmpty());
    for (const Point& p : set.selection_hull)
        EXPECT_EQ(p, Point(0.5, 0.5));
    clearSelection(set);
    addToSelection(set, 1);
    for (const Point& p : set.selection_hull) {
        EXPECT_DOUBLE_EQ(p.x, p.y);
        EXPECT_GE(p.x, 0.0);
        EXPECT_LE(p.x, 0.6);
    }
}

TEST(CurveSetHull, FewerThanThreePointsGiveNoHull)
{
    CurveSet set;
    addToSelection(set, 0);
    EXPECT_TRUE(set.selection_hull.isEmpty());
    Curve two;
    two.appendControlPoint(0, 0);
    two.appendControlPoint(1, 1);
    set.addCurve(two);
    addToSelection(set, 0);
    EXPECT_TRUE(set.selection_hull.isEmpty());
}

TEST(CurveSetDrag, CurrentCurveMovesAloneEvenWithASelection)
{
    CurveSet set = ladder(3);
    addToSelection(set, 0);
    addToSelection(set, 2);
    set.setCurrentCurve(1);
    set.beginDrag(0.0, 0.0, true);
    EXPECT_TRUE(set.dragging);
    set.dragTo(0.25, -0.5);
    set.beginDrag(0, 0, false);
    EXPECT_FALSE(set.dragging);
    EXPECT_EQ(set.curve(1).control_points.first(), Point(-0.25, 0.1 - 0.5));
    EXPECT_EQ(set.curve(0).control_points.first(), Point(-0.5, 0.0));
    EXPECT_EQ(set.curve(2).control_points.first(), Point(-0.5, 0.2));
}

TEST(CurveSetDrag, SelectionMovesTogetherWithItsBoxAndHull)
{
    CurveSet set = ladder(3);
    addToSelection(set, 0);
    addToSelection(set, 2);
    const Point minBefore = set.selection_min;
    set.beginDrag(0.1, 0.1, true);
    set.dragTo(0.2, 0.3);
    set.dragTo(0.3, 0.5);
    EXPECT_TRUE(near(set.curve(0).control_points.first(), Point(-0.3, 0.4), 1e-12));
    EXPECT_TRUE(near(set.curve(2).control_points.last(), Point(0.7, 0.6), 1e-12));
    EXPECT_EQ(set.curve(1).control_points.first(), Point(-0.5, 0.1));
    EXPECT_TRUE(near(set.selection_min, minBefore + Point(0.2, 0.4), 1e-12));
    for (const Point& p : set.selection_hull)
        EXPECT_GE(p.y, 0.4 - 1e-12);
}
