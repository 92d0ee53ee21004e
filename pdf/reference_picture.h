#pragma once

#include "point.h"

#include <array>
#include <cstddef>
#include <vector>

class QImage;

// A solved picture of the whole canvas held as floating-point sRGB values (0 .. 255 per
// channel), to read the colours of the drawing between and at its pixels.
class ReferencePicture {
public:
    ReferencePicture() = default;
    // `picture`: square, any QImage format (16-bit formats keep their fractions of a level).
    explicit ReferencePicture(const QImage& picture);

    int size() const { return side; }
    bool isNull() const { return side == 0; }
    // The value of pixel (x, row), row 0 at the top; no bounds check.
    const float* pixel(int x, int row) const { return &values[(std::size_t(row) * side + x) * 3]; }
    // Bilinear between the pixel centres at canvas point p, clamped to the edge pixels outside.
    std::array<float, 3> at(const Point& p) const;

    // Canvas point to continuous pixel coordinates (pixel (x, row) spans [x, x + 1] x
    // [row, row + 1]) and back.
    Point toPixels(const Point& p) const;
    Point toCanvas(double x, double row) const;

private:
    int side = 0;
    std::vector<float> values; // rows top first, three channels each
};
