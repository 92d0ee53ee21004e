#pragma once

#include "curve.h" // kSamplesPerSegment, sampleStep

class ShaderProgram;

// Side of the handles and attribute points at zoom 1, in canvas units (about 8 canvas pixels);
// the viewer scales it with its zoom so that handles keep their size on screen.
constexpr double kDefaultHandleSize = 0.03;

// Program-wide settings read by every curve-drawing routine (curve_drawing.h). One instance
// lives for the whole run; the viewer changes handleSize on zoom and lifetimeThreshold from its
// slider. All lengths are canvas units (the canvas spans -1 .. 1).
struct CurveRenderingSettings {
    double pixelSize = 1.0 / kCanvasSize; // one canvas pixel; scales strip half-widths
    int canvasWidth = kCanvasSize;        // picture size used by colour sampling
    int canvasHeight = kCanvasSize;
    unsigned int overviewFramebuffer = 0;   // GL name of the solver's overview framebuffer
    int lineWidth = 1;                      // curves and outlines, in pixels
    double handleSize = kDefaultHandleSize; // handles and attribute points
    int lifetimeThreshold = 0;              // curves with a smaller lifetime are left out
};

// The one program-wide settings instance, for reading and writing.
CurveRenderingSettings& curveRenderingSettings();

// The program-wide colour-constraints program (created by initCurveRendering). Before that it
// is an uncreated ShaderProgram whose use() does nothing.
ShaderProgram& colorConstraintsProgram();
// Likewise the program that draws both gradient images at once (drawGradientPairs).
ShaderProgram& gradientPairProgram();

// Needs a current GL context with GLEW initialised. Creates the colour-constraints and the
// gradient-pair programs (ProgramId::ColorConstraints and GradientPair, program_catalogue.h),
// and stores the other values. On failure prints "Color constraints Shader : " (or "Gradient
// pair Shader : ") + log + "\n" on stderr and returns false; the settings are stored in every
// case and drawing goes on. A pixelSize that is not positive and finite, or a canvas size below
// 1, keeps the previous value.
bool initCurveRendering(double pixelSize, int canvasWidth, int canvasHeight,
                        unsigned int overviewFramebuffer);

// Stores the lifetime threshold: curves whose lifetime is below it are neither rasterised, nor
// drawn, nor picked.
void setLifetimeThreshold(int threshold);
// Stores the handle size (canvas units); values that are not positive and finite are ignored.
void setHandleSize(double size);

// Half-widths of the rasterised strips in canvas units: colour-constraint strips (and their
// stencil footprints) 5 pixelSize, blur strips 2 pixelSize.
double colorStripHalfWidth();
double blurStripHalfWidth();

// True when the curve is old enough to be drawn: lifetime >= lifetimeThreshold.
bool isAboveLifetimeThreshold(const Curve& curve);
