#pragma once

// Curves the suites build their drawings from: a curve through given control points, a straight
// one-segment curve, a circle. Each carries one left colour, right colour and blur point at each
// end (not flagged as the curve's defaults), so its sides are coloured along its whole length.
#include "curve.h"

#include <QColor>

#include <initializer_list>

// One left, right and blur point at each end of `c`.
inline void addEndAttributes(Curve& c, const QColor& left, const QColor& right, int blur)
{
    const int end = c.segmentCount() * kSamplesPerSegment;
    c.appendLeftColor(0, false, left);
    c.appendLeftColor(end, false, left);
    c.appendRightColor(0, false, right);
    c.appendRightColor(end, false, right);
    c.appendBlur(0, false, blur);
    c.appendBlur(end, false, blur);
}

// A curve through `points` (3k + 1 control points for k segments) with the end attributes.
inline Curve curveThrough(std::initializer_list<Point> points,
                          const QColor& left = QColor(10, 20, 30),
                          const QColor& right = QColor(200, 100, 50), int blur = 2)
{
    Curve c;
    for (const Point& p : points)
        c.appendControlPoint(p.x, p.y);
    addEndAttributes(c, left, right, blur);
    return c;
}

// A straight one-segment curve from `from` to `to`, its tangent points at the thirds; its left
// side is the one the left normal of to - from points to (left of the direction of travel).
inline Curve straightCurve(const Point& from, const Point& to, const QColor& left,
                           const QColor& right, int blur = 0)
{
    const Point d = to - from;
    return curveThrough({from, from + d * (1.0 / 3.0), from + d * (2.0 / 3.0), to}, left, right,
                        blur);
}

// A circle of four cubic segments run counter-clockwise from (centre.x + radius, centre.y), so
// that its left side is inside; not flagged closed.
inline Curve circleCurve(const Point& centre, double radius, const QColor& inside,
                         const QColor& outside)
{
    const double k = 0.5522847498 * radius;
    const double r = radius;
    const double pts[13][2] = {{r, 0},   {r, k},   {k, r},  {0, r},  {-k, r}, {-r, k}, {-r, 0},
                               {-r, -k}, {-k, -r}, {0, -r}, {k, -r}, {r, -k}, {r, 0}};
    Curve curve;
    for (const auto& p : pts)
        curve.appendControlPoint(centre.x + p[0], centre.y + p[1]);
    addEndAttributes(curve, inside, outside, 0);
    return curve;
}
