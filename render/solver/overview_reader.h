#pragma once

#include "colour_space.h"
#include "pixel_reader.h"

class DiffusionSolver;

// The curve model's PixelReader over the solver's full-canvas overview image (the unblurred
// picture renderOverview keeps), so that colours can be sampled from the rendered picture.
// readPixel makes GL calls: use it only with the solver's context current. It restores the
// framebuffer binding it found. Before the solver is initialised every pixel reads grey.
class OverviewReader : public PixelReader {
public:
    // Reads framebuffer `framebuffer` of size width x height (the overview framebuffer name that
    // the curve-rendering settings hold), whose colours are of `space`.
    OverviewReader(unsigned int framebuffer, int width, int height,
                   ColourSpace space = ColourSpace::Srgb);
    explicit OverviewReader(const DiffusionSolver& solver);

    int width() const override { return w; }
    int height() const override { return h; }
    // RGBA in 0..1 of the pixel at column, row (rows from the bottom), clamped to the image; the
    // colour as sRGB, clipped to the gamut when the picture is solved in another space, straight
    // (not premultiplied), alpha the opacity.
    std::array<float, 4> readPixel(int column, int row) const override;

private:
    unsigned int framebuffer;
    int w;
    int h;
    ColourSpace space;
};
