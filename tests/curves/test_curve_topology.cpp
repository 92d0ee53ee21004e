// Inserting and deleting key points, and splitting curves.
#include "curve.h"
#include "curve_fixtures.h"
#include "curve_topology.h"

#include <gtest/gtest.h>

using namespace fixtures;

// ---- inserting a key point

TEST(KeyPointInsertion, ShapeStaysInPlace)
{
    for (double t : {0.2, 0.5, 0.75}) {
        Curve c = humpCurve();
        const QVector<Point> before = densePoints(c, 200);
        const Point at = c.pointAt(t, 3);
        insertControlPoint(c, at.x, at.y, 5, t);
        ASSERT_EQ(c.nb_control_points, 10);
        EXPECT_EQ(c.control_points[6], at);
        const QVector<Point> after = densePoints(c, 200);
        // Both ways, so that neither a bulge nor a missing piece goes unnoticed.
        EXPECT_LT(farthestDistance(after, before), 1e-4) << "t = " << t;
        EXPECT_LT(farthestDistance(before, after), 1e-4) << "t = " << t;
        expectListsConsistent(c);
    }
}

TEST(KeyPointInsertion, LaterAttributePointsMoveUpOneSegment)
{
    Curve c = straightCurve(3);
    c.insertAttribute(5, LeftColor);
    c.insertAttribute(10, LeftColor);
    c.insertAttribute(14, LeftColor);
    const Point at = c.pointAt(0.5, 3);
    insertControlPoint(c, at.x, at.y, 5, 0.5); // segment 1, ends at globalID 20
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 5, 10, 14, 40}));
    EXPECT_EQ(c.blur_ids, (QVector<int>{0, 40}));
    EXPECT_EQ(c.segmentCount(), 4);
}

TEST(KeyPointInsertion, InvalidIndexDoesNothing)
{
    for (int index : {-1, 0, 1, 3, 4, 7, 8, 100}) {
        Curve c = humpCurve();
        insertControlPoint(c, 0.0, 0.0, index, 0.5);
        EXPECT_EQ(c.nb_control_points, 7) << index;
    }
}

TEST(KeyPointInsertion, CoincidentPointsGiveAFiniteDegenerateSegment)
{
    Curve c = humpCurve();
    const Point key = c.control_points[3];
    insertControlPoint(c, key.x, key.y, 5, 0.0); // every point of the first half is the key point
    EXPECT_EQ(c.nb_control_points, 10);
    EXPECT_TRUE(allFinite(c));
    EXPECT_EQ(c.control_points[6], key);
}

// ---- deleting a key point

TEST(KeyPointDeletion, MiddleKeyMergesItsSegmentsAndKeepsListsSorted)
{
    Curve c = straightCurve(3);
    c.left_color_ids = {0, 8, 12, 19, 30};
    c.left_colors = {kRed, kBlue, kWhite, kBlack, kRed};
    c.nb_left_colors = 5;
    deleteControlPoint(c, 3);
    EXPECT_EQ(c.nb_control_points, 7);
    EXPECT_EQ(c.control_points.first(), Point(-0.6, 0));
    EXPECT_EQ(c.control_points.last(), Point(0.6, 0));
    EXPECT_EQ(c.left_color_ids.first(), 0);
    EXPECT_EQ(c.left_color_ids.last(), 20);
    EXPECT_EQ(c.left_colors.last(), kRed);
    expectListsConsistent(c);
    for (int i = 1; i < c.left_color_ids.size(); ++i)
        EXPECT_LT(c.left_color_ids[i - 1], c.left_color_ids[i]);
}

TEST(KeyPointDeletion, FirstKeyOrItsTangentDropsTheFirstSegment)
{
    for (int index : {0, 1}) {
        Curve c = straightCurve(3);
        c.left_colors = {kBlack, rgb(200, 100, 30)};
        deleteControlPoint(c, index);
        EXPECT_EQ(c.nb_control_points, 7) << index;
        EXPECT_TRUE(near(c.control_points.first(), Point(-0.2, 0), 1e-12));
        EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 20}));
        EXPECT_EQ(c.left_colors.first(), rgb(67, 33, 10)); // the value a third of the way along
        EXPECT_EQ(c.blur_ids, (QVector<int>{0, 20}));
    }
}

TEST(KeyPointDeletion, LastKeyOrItsTangentDropsTheLastSegment)
{
    for (int index : {9, 8}) {
        Curve c = straightCurve(3);
        c.left_colors = {kBlack, rgb(30, 60, 90)};
        deleteControlPoint(c, index);
        EXPECT_EQ(c.nb_control_points, 7) << index;
        EXPECT_TRUE(near(c.control_points.last(), Point(0.2, 0), 1e-12));
        EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 20}));
        EXPECT_EQ(c.left_colors.last(), rgb(20, 40, 60));
        expectListsConsistent(c);
    }
}

TEST(KeyPointDeletion, ClosedCurveStaysClosedAfterLosingAnEnd)
{
    Curve loop = closedLoop();
    loop.setLeftColorOf(kWhite, 0);
    loop.insertAttribute(15, LeftColor);
    loop.setLeftColorOf(kBlack, 1);
    deleteControlPoint(loop, 0);
    EXPECT_EQ(loop.nb_control_points, 10);
    EXPECT_EQ(loop.control_points.first(), loop.control_points.last());
    EXPECT_EQ(loop.left_colors.first(), loop.left_colors.last());
    expectListsConsistent(loop);
}

TEST(KeyPointDeletion, OneSegmentCurveIsLeftWithoutSegmentThenIgnoresDeletes)
{
    Curve c = straightCurve(1);
    deleteControlPoint(c, 0);
    EXPECT_EQ(c.nb_control_points, 1);
    EXPECT_EQ(c.segmentCount(), 0);
    expectListsConsistent(c);
    deleteControlPoint(c, 0);
    EXPECT_EQ(c.nb_control_points, 1);
    deleteControlPoint(c, -3);
    EXPECT_EQ(c.nb_control_points, 1);
}

// ---- splitting

TEST(Splitting, OpenCurveGivesTwoCurvesMeetingAtTheCut)
{
    Curve c = straightCurve(3);
    c.setLeftColorOf(kBlack, 0);
    c.setLeftColorOf(kWhite, 1);
    c.lifetime = 20;
    const QVector<Point> before = densePoints(c, 100);
    const Point at = c.pointAt(0.5, 3);
    Curve tail = humpCurve(); // overwritten
    ASSERT_TRUE(split(c, at.x, at.y, 5, 0.5, tail));
    EXPECT_EQ(c.segmentCount() + tail.segmentCount(), 4);
    EXPECT_EQ(c.control_points.last(), tail.control_points.first());
    EXPECT_EQ(c.control_points.last(), at);
    EXPECT_EQ(tail.lifetime, 20);
    EXPECT_EQ(c.left_color_ids.last(), 20);
    EXPECT_EQ(tail.left_color_ids.first(), 0);
    EXPECT_EQ(tail.left_color_ids.last(), tail.segmentCount() * 10);
    EXPECT_EQ(c.left_colors.last(), tail.left_colors.first());
    EXPECT_EQ(tail.defaultRightColor(), rgb(130, 25, 25));
    expectListsConsistent(c);
    expectListsConsistent(tail);
    QVector<Point> after = densePoints(c, 100);
    after += densePoints(tail, 100);
    EXPECT_LT(farthestDistance(after, before), 1e-9);
}

TEST(Splitting, ClosedCurveOpensAtTheCutAndStartsThere)
{
    Curve loop = closedLoop();
    loop.insertAttribute(25, LeftColor);
    loop.setLeftColorOf(kBlack, 1);
    const Point at = loop.pointAt(0.5, 3);
    Curve unused;
    EXPECT_FALSE(split(loop, at.x, at.y, 5, 0.5, unused));
    EXPECT_EQ(unused.nb_control_points, 0);
    EXPECT_FALSE(loop.isClosed());
    EXPECT_EQ(loop.segmentCount(), 5);
    EXPECT_EQ(loop.control_points.last(), at);
    // The start moved off the end by 0.07 along the start normal, which points inwards.
    EXPECT_NEAR((loop.control_points.first() - at).norm(), 0.07, 1e-3);
    EXPECT_LT(loop.control_points.first().norm(), at.norm());
    for (const QVector<int>* ids : {&loop.left_color_ids, &loop.right_color_ids, &loop.blur_ids}) {
        EXPECT_EQ(ids->first(), 0);
        EXPECT_EQ(ids->last(), 50);
    }
    // The black point at 25 lay one segment after the cut (15); the cut segment's second half
    // now counts as a whole segment, so the point sits a segment and a half after the start.
    EXPECT_EQ(loop.left_color_ids.indexOf(15), 1);
    EXPECT_EQ(loop.left_colors[1], kBlack);
    expectListsConsistent(loop);
}

TEST(Splitting, InvalidIndexDoesNothing)
{
    Curve c = straightCurve(2);
    Curve other;
    EXPECT_FALSE(split(c, 0, 0, 1, 0.5, other));
    EXPECT_FALSE(split(c, 0, 0, 9, 0.5, other));
    EXPECT_EQ(c.nb_control_points, 7);
    EXPECT_EQ(other.nb_control_points, 0);
}
