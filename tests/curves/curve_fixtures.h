#pragma once

// Named curves shared by the curve-model tests, and small helpers to compare geometry.

#include "curve.h"
#include "test_curves.h"

#include <QColor>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace fixtures {

inline const QColor kBlack(0, 0, 0);
inline const QColor kWhite(255, 255, 255);
inline const QColor kRed(200, 30, 30);
inline const QColor kBlue(20, 40, 220);

using ::addEndAttributes;

// A horizontal line along y = 0 from x = -0.6 to 0.6, `segments` segments, all control points
// evenly spaced (so the parameter is proportional to the length).
inline Curve straightCurve(int segments = 3)
{
    Curve c;
    const int n = 3 * segments + 1;
    for (int i = 0; i < n; ++i)
        c.appendControlPoint(-0.6 + 1.2 * i / (n - 1), 0.0);
    addEndAttributes(c, kRed, kBlue, 2);
    return c;
}

// Two segments forming an arch above the x axis, with a smooth (collinear) joint at (0, 0.4).
inline Curve humpCurve()
{
    Curve c;
    const double pts[][2] = {{-0.6, -0.2}, {-0.5, 0.3}, {-0.2, 0.4}, {0.0, 0.4},
                             {0.2, 0.4},   {0.5, 0.3},  {0.6, -0.2}};
    for (const auto& p : pts)
        c.appendControlPoint(p[0], p[1]);
    addEndAttributes(c, kRed, kBlue, 3);
    return c;
}

// A counter-clockwise circle of radius 0.5 around the origin in four segments, closed.
inline Curve closedLoop()
{
    Curve c;
    const double r = 0.5;
    const double h = 0.5522847 * r; // tangent length of the usual four-arc circle
    const Point keys[] = {{r, 0}, {0, r}, {-r, 0}, {0, -r}};
    const Point dirs[] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}}; // direction of travel at each key
    for (int s = 0; s < 4; ++s) {
        const Point a = keys[s];
        const Point b = keys[(s + 1) % 4];
        const Point p1 = a + dirs[s] * h;
        const Point p2 = b - dirs[(s + 1) % 4] * h;
        c.appendControlPoint(a.x, a.y);
        c.appendControlPoint(p1.x, p1.y);
        c.appendControlPoint(p2.x, p2.y);
    }
    c.appendControlPoint(r, 0.0);
    addEndAttributes(c, kRed, kBlue, 1);
    c.setClosed(true);
    return c;
}

// Points of the curve at `perSegment` + 1 evenly spaced parameters of every segment.
inline QVector<Point> densePoints(const Curve& c, int perSegment = 50)
{
    QVector<Point> out;
    for (int b = 0; b + 3 < c.control_points.size(); b += 3)
        for (int i = 0; i <= perSegment; ++i)
            out.append(c.pointAt(double(i) / perSegment, b));
    return out;
}

// Distance from p to the segment [a, b].
inline double distanceToSegment(const Point& p, const Point& a, const Point& b)
{
    const Point ab = b - a;
    const double len2 = dot(ab, ab);
    const double s = len2 > 0 ? std::clamp(dot(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return (p - (a + ab * s)).norm();
}

// Largest distance from a point of `a` to the polyline through `b` (one-sided Hausdorff).
inline double farthestDistance(const QVector<Point>& a, const QVector<Point>& b)
{
    double worst = 0.0;
    for (const Point& p : a) {
        double best = b.isEmpty() ? INFINITY : (p - b[0]).norm();
        for (int i = 1; i < b.size(); ++i)
            best = std::min(best, distanceToSegment(p, b[i - 1], b[i]));
        worst = std::max(worst, best);
    }
    return worst;
}

inline bool allFinite(const Curve& c)
{
    for (const Point& p : c.control_points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    return true;
}

// Every list has as many values as positions, the counts match, and positions ascend.
inline void expectListsConsistent(const Curve& c)
{
    EXPECT_EQ(c.nb_control_points, c.control_points.size());
    EXPECT_EQ(c.nb_left_colors, c.left_colors.size());
    EXPECT_EQ(c.nb_left_colors, c.left_color_ids.size());
    EXPECT_EQ(c.nb_right_colors, c.right_colors.size());
    EXPECT_EQ(c.nb_right_colors, c.right_color_ids.size());
    EXPECT_EQ(c.nb_blur_points, c.blur_values.size());
    EXPECT_EQ(c.nb_blur_points, c.blur_ids.size());
    for (const QVector<int>* ids : {&c.left_color_ids, &c.right_color_ids, &c.blur_ids})
        EXPECT_TRUE(std::is_sorted(ids->begin(), ids->end())) << "positions out of order";
}

inline QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

} // namespace fixtures
