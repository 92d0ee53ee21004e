// What the rest of the program sees of the solver: on-screen display, colour read-back, the
// full-canvas overview and the PNG export.
#include "solver_gl.h"

#include "diffusion_solver.h"
#include "picture_export.h"
#include "picture_file.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

// The image each display mode shows; false for the background alone and unknown values.
bool imageOfMode(DisplayMode mode, SolverImage* image)
{
    switch (mode) {
    case DisplayMode::Picture: *image = SolverImage::ColorSolution; return true;
    case DisplayMode::ColorConstraints: *image = SolverImage::ColorConstraints; return true;
    case DisplayMode::BlurConstraints: *image = SolverImage::BlurConstraints; return true;
    case DisplayMode::BlurMap: *image = SolverImage::BlurSolution; return true;
    case DisplayMode::GradientX: *image = SolverImage::GradientX; return true;
    case DisplayMode::GradientY: *image = SolverImage::GradientY; return true;
    case DisplayMode::Background: return false;
    }
    return false;
}

int channel(float value)
{
    if (!(value > 0.0f))
        return 0;
    return std::min(255, int(value * 255.0f));
}

// Pixel index of a canvas fraction, clamped to 0 .. size - 1 (NaN gives 0).
int pixelOf(double fraction, int size)
{
    if (!(fraction > 0.0))
        return 0;
    return int(std::min(std::floor(size * fraction), double(size - 1)));
}

} // namespace

void DiffusionSolver::display(int windowWidth, int windowHeight, DisplayMode mode,
                              unsigned int framebuffer, int viewportX, int viewportY)
{
    if (ready && mode == DisplayMode::BlurMap && blurMapStale)
        solveBlur();
    if (ready && displayLevel > 0 && displayPyramidStale)
        buildDisplayPyramid();
    bindFramebuffer(framebuffer);
    glViewport(viewportX, viewportY, std::max(1, windowWidth), std::max(1, windowHeight));
    if (ready)
        solvergl::beginPasses();
    else
        solvergl::loadIdentityMatrices();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    SolverImage image;
    if (!ready || !imageOfMode(mode, &image))
        return;
    const RenderTarget* shown = target(image, displayLevel);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    shown->texture.bind(0);
    // Colour images go back to sRGB; the picture is dithered to the window's 8 bits.
    const bool colours =
        image == SolverImage::ColorSolution || image == SolverImage::ColorConstraints;
    if (colours && pictureOutputProgram.isLinked())
        usePictureOutputProgram(userSettings.displayDither && image == SolverImage::ColorSolution);
    else
        solvergl::enableRectTexturing();
    solvergl::drawTexturedQuad(shown->width(), shown->height());
    ShaderProgram::release();
    solvergl::disableRectTexturing();
    glDisable(GL_ALPHA_TEST);
}

QColor DiffusionSolver::colorAt(double x, double y)
{
    if (!ready)
        return QColor(127, 127, 127);
    float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    picture().framebuffer.bind();
    glReadPixels(pixelOf(x, width), pixelOf(y, height), 1, 1, GL_RGBA, GL_FLOAT, rgba);
    leavePasses();
    if (colourSpace() != ColourSpace::Srgb) {
        const ColourTriple srgb = toSrgb(colourSpace(), {rgba[0], rgba[1], rgba[2]});
        for (int k = 0; k < 3; ++k)
            rgba[k] = float(srgb[k]);
    }
    return QColor(channel(rgba[0]), channel(rgba[1]), channel(rgba[2]), 255);
}

bool DiffusionSolver::savePicture(const QString& path, QString* error)
{
    if (!ready) {
        if (error)
            *error = QStringLiteral("the renderer has no usable OpenGL");
        return false;
    }
    return writePngFile(encodePicture(picture(), userSettings.exportEncoding), path, error);
}

bool DiffusionSolver::saveImage(const QString& path, QString* error)
{
    if (!ready)
        return savePicture(path, error); // reports why nothing can be rendered
    renderFinalPicture();
    const bool saved = savePicture(path, error);

    PictureExport(*this).restoreViewAfterExport();
    return saved;
}
