#pragma once

// A natural-looking test picture made from a fixed seed, for trace benchmarks and reports where
// no photo is at hand: a graded sky with a soft-edged sun, two mountain ridges, a lake with a
// blurred reflection, a meadow and a few dark trees, with film grain over all.
#include <QImage>

#include <algorithm>
#include <cmath>
#include <random>

inline QImage makeLandscapePicture(int size, unsigned seed = 2026u)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> grain(0.0, 3.0);
    const double s = size / 512.0;
    auto ridge = [&](double x, double base, double a, double f) {
        return base + a * std::sin(f * x / s + 1.3) + 0.4 * a * std::sin(2.7 * f * x / s + 0.2)
               + 0.15 * a * std::sin(9.1 * f * x / s);
    };
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double v = double(y) / size, u = double(x) / size;
            double r = 70 + 120 * v, g = 120 + 90 * v, b = 210 + 30 * v; // sky
            const double sun = std::hypot(u - 0.72, v - 0.22) * 512.0;
            const double glow = std::clamp((40.0 - sun) / 6.0, 0.0, 1.0);
            r += (255 - r) * glow, g += (240 - g) * glow, b += (190 - b) * glow;
            if (y > ridge(x, 0.45 * size, 30 * s, 0.02)) // far ridge: hazy blue-grey
                r = 110 + 20 * v, g = 120 + 20 * v, b = 150;
            if (y > ridge(x, 0.55 * size, 22 * s, 0.035)) // near ridge: green-brown with shading
                r = 80 + 40 * std::sin(x * 0.05 / s), g = 100 + 20 * v, b = 60;
            if (y > 0.68 * size && y < 0.8 * size) { // lake: sky colours, darker, rippled
                const double ripple = 10 * std::sin(y * 0.9 / s) * std::sin(x * 0.03 / s);
                r = 60 + ripple + 40 * (1 - v), g = 90 + ripple + 40 * (1 - v), b = 150 + ripple;
            }
            if (y >= 0.8 * size) // meadow
                r = 90 + 50 * std::sin(x * 0.011 / s) + 30 * v, g = 150 - 30 * v, b = 50;
            for (int t = 0; t < 5; ++t) { // trees: dark triangles on the meadow's edge
                const double cx = (0.1 + 0.2 * t) * size, top = 0.6 * size + 8 * t * s;
                const double half = (y - top) * 0.35;
                if (y > top && y < 0.86 * size && std::abs(x - cx) < half)
                    r = 25, g = 55 + 5 * t, b = 30;
            }
            auto channel = [&](double c) { return std::clamp(int(c + grain(random)), 0, 255); };
            image.setPixel(x, y, qRgb(channel(r), channel(g), channel(b)));
        }
    }
    return image;
}
