#include "curve_rendering.h"

#include "shader_program.h"

#include <cmath>
#include <iostream>

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

    const bool ok = constraintsProgram.create(shaderPath("color_constraints.vert"),
                                              shaderPath("color_constraints.frag"));
    if (!ok)
        std::cerr << "Color constraints Shader : " << constraintsProgram.log().constData()
                  << std::endl;
    const bool gradientsOk =
        gradientsProgram.create(shaderPath("gradient_pair.vert"), shaderPath("gradient_pair.frag"));
    if (!gradientsOk)
        std::cerr << "Gradient pair Shader : " << gradientsProgram.log().constData() << std::endl;
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
