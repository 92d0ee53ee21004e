#pragma once

#include "curve_set.h"

#include <random>

// A drawing of `count` open curves of two or three segments, each a random walk over the canvas
// (canvas units), with two colour points per side and blur values 0 to 4, from a fixed seed so
// that every run measures the same drawing.
inline CurveSet makeRandomDrawing(int count, unsigned seed = 12345u)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> position(-0.9, 0.9);
    std::uniform_real_distribution<double> step(-0.15, 0.15);
    std::uniform_int_distribution<int> channel(0, 255);
    std::uniform_int_distribution<int> blur(0, 4);
    std::uniform_int_distribution<int> segments(2, 3);
    const auto randomColor = [&] {
        return QColor(channel(random), channel(random), channel(random));
    };
    CurveSet set;
    for (int c = 0; c < count; ++c) {
        Curve curve;
        const int n = segments(random);
        double x = position(random), y = position(random);
        for (int i = 0; i <= 3 * n; ++i) {
            curve.appendControlPoint(x, y);
            x += step(random);
            y += step(random);
        }
        for (int id : {0, 10 * n}) {
            curve.appendLeftColor(id, false, randomColor());
            curve.appendRightColor(id, false, randomColor());
            curve.appendBlur(id, false, blur(random));
        }
        set.addCurve(curve);
    }
    return set;
}
