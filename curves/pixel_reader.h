#pragma once

#include <array>

// Read access to one pixel of a rendered picture. The renderer implements it over its offscreen
// image so that the model can sample rendered colours without making a GL call itself.
class PixelReader {
public:
    virtual ~PixelReader() = default;

    // Size of the picture in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;

    // RGBA of the pixel at `column`, `row` (rows counted from the bottom), each channel 0 to 1.
    // Positions outside the picture are clamped to its border.
    virtual std::array<float, 4> readPixel(int column, int row) const = 0;
};
