#pragma once

#include "curve_set.h"

#include <QColor>
#include <QVector>
#include <initializer_list>

// Named drawings shared by the document tests.
namespace doc_test {

// A curve through the given control points with one left, right and blur point at each end.
inline Curve curveThrough(std::initializer_list<Point> points,
                          const QColor& left = QColor(10, 20, 30),
                          const QColor& right = QColor(200, 100, 50), int blur = 2)
{
    Curve c;
    for (const Point& p : points)
        c.appendControlPoint(p.x, p.y);
    const int end = c.segmentCount() * kSamplesPerSegment;
    c.appendLeftColor(0, false, left);
    c.appendLeftColor(end, false, left);
    c.appendRightColor(0, false, right);
    c.appendRightColor(end, false, right);
    c.appendBlur(0, false, blur);
    c.appendBlur(end, false, blur);
    return c;
}

// A straight one-segment curve from (x0, y0) to (x1, y1), tangent points at the thirds.
inline Curve segment(double x0, double y0, double x1, double y1)
{
    const Point a(x0, y0), b(x1, y1);
    return curveThrough({a, a + (b - a) * (1.0 / 3), a + (b - a) * (2.0 / 3), b});
}

// The unit square walked (0,0) (1,0) (1,1) (0,1): one segment whose control polygon is a square.
inline Curve unitSquare()
{
    return curveThrough({Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)});
}

// Index-named set of `n` short horizontal curves, curve i at height i / 10.
inline CurveSet ladder(int n)
{
    CurveSet set;
    for (int i = 0; i < n; ++i)
        set.addCurve(segment(-0.5, i * 0.1, 0.5, i * 0.1));
    return set;
}

} // namespace doc_test
