#include "curve_rendering.h"

#include "program_catalogue.h"
#include "shader_program.h"

#include <cmath>

namespace {

CurveRenderingSettings settings;
ShaderProgram constraintsProgram;
ShaderProgram gradientsProgram;

// Colour strips and footprints are 10 pixels wide, blur strips 4.
constexpr double kColorStripHalfWidthPixels = 5.0;
constexpr double kBlurStripHalfWidthPixels = 2.0;

bool positiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

} // namespace

CurveRenderingSettings& curveRenderingSettings() { return settings; }

ShaderProgram& colorConstraintsProgram() { return constraintsProgram; }

ShaderProgram& gradientPairProgram() { return gradientsProgram; }

bool initCurveRendering(double pixelSize, int canvasWidth, int canvasHeight,
                        unsigned int overviewFramebuffer)
{
    if (positiveFinite(pixelSize))
        settings.pixelSize = pixelSize;
    if (canvasWidth >= 1)
        settings.canvasWidth = canvasWidth;
    if (canvasHeight >= 1)
        settings.canvasHeight = canvasHeight;
    settings.overviewFramebuffer = overviewFramebuffer;

    const bool ok = createProgram(constraintsProgram, ProgramId::ColorConstraints);
    const bool gradientsOk = createProgram(gradientsProgram, ProgramId::GradientPair);
    return ok && gradientsOk;
}

void setLifetimeThreshold(int threshold) { settings.lifetimeThreshold = threshold; }

void setHandleSize(double size)
{
    if (positiveFinite(size))
        settings.handleSize = size;
}

double colorStripHalfWidth() { return kColorStripHalfWidthPixels * settings.pixelSize; }

double blurStripHalfWidth() { return kBlurStripHalfWidthPixels * settings.pixelSize; }

bool isAboveLifetimeThreshold(const Curve& curve)
{
    return curve.lifetime >= settings.lifetimeThreshold;
}
