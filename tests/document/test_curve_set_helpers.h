#pragma once

#include "curve_set.h"
#include "test_curves.h"

#include <QColor>
#include <QVector>
#include <initializer_list>

// Named drawings shared by the document tests.
namespace doc_test {

using ::curveThrough;

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
