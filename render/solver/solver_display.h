#pragma once

#include "display_mode.h"

#include <QColor>

class QImage;
struct PictureEncoding;
struct RenderTarget;
struct SolverImages;
struct SolverInput;
struct SolverPrograms;

// What a solver's images look like outside it: one image of one level drawn into the window,
// the colour of the picture at a canvas point, and a picture encoded for a file. The images
// hold colours of the drawing's colour space; here they are converted back to sRGB, clipped to
// the gamut and dithered (picture_output.frag). Every call needs the solver's GL context
// current.
class SolverDisplay {
public:
    // `levelsStale`: set by the solver whenever level 0 changes, so that the coarser levels are
    // made again before one of them is drawn.
    SolverDisplay(SolverImages& images, SolverPrograms& programs, const SolverInput& input,
                  bool& levelsStale)
        : images(images), programs(programs), input(input), levelsStale(levelsStale)
    {
    }

    // Draws one image of level `level()` over the whole window into `framebuffer` (the
    // window's framebuffer: defaultFramebufferObject() of a QOpenGLWidget), after clearing it to
    // grey (DisplayMode::Background draws nothing more). Pixels with alpha 0.1 or less show the
    // grey. The picture of a drawing with layers or translucent colours shows its transparent
    // parts over a checkerboard of 8-pixel squares fixed to the window (light greys 204 and
    // 153, the lighter where window pixel column / 8 + row / 8 is even, rows from the bottom),
    // opaque colours exactly as they are. Leaves `framebuffer` bound with the window viewport.
    // The image fills the viewport whose lower left corner is (viewportX, viewportY); the clear
    // covers it all.
    void draw(int windowWidth, int windowHeight, DisplayMode mode, unsigned int framebuffer,
              int viewportX = 0, int viewportY = 0);
    // Colour of the picture at fractions x, y of the canvas (origin bottom left), each channel
    // of the straight (not premultiplied) colour and the opacity the value times 255 truncated
    // (alpha 255 where the picture is opaque). Fractions outside 0..1 are clamped to the
    // canvas. Grey (127, 127, 127) before the images are made.
    QColor colorAt(double x, double y);
    // Level drawn: +1 unless already levels - 1 / -1 unless already 0.
    int coarserLevel();
    int finerLevel();
    int level() const { return displayLevel; }
    // `source` converted to sRGB and encoded as `encoding` asks: Format_RGBA8888 or
    // Format_RGBA64 (straight colour, alpha the opacity), top row first; null when the memory
    // cannot be had.
    QImage encodePicture(const RenderTarget& source, const PictureEncoding& encoding) const;

private:
    // The coarser levels of every displayed image, made from level 0.
    void buildDisplayPyramid();
    // Makes pictureOutputProgram current for 8-bit output; the caller draws and releases it.
    void usePictureOutputProgram(bool dither) const;

    SolverImages& images;
    SolverPrograms& programs;
    const SolverInput& input;
    bool& levelsStale; // the coarser display levels lag behind level 0
    int displayLevel = 0;
};
