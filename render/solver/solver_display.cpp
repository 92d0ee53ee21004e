// The solver's images hold colours of the drawing's colour space. Here they leave it: the
// picture converted back to sRGB, clipped to the gamut and dithered for the window and the
// exports (picture_output.frag), the images of coarser levels made for display, and single
// colours read back.
#include "solver_gl.h"

#include "canvas_rect.h"
#include "diffused_colour.h"
#include "image_pass.h"
#include "shader_constants.h"
#include "solver_display.h"
#include "solver_images.h"
#include "solver_input.h"
#include "solver_programs.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <utility>

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

// True when the picture of `input` can have transparent parts: its layers are composited, or
// its one layer has a colour point that is not fully opaque. An opaque drawing's picture has
// opacity 1 everywhere.
bool mayBeTranslucent(const SolverInput& input) { return input.layered() || input.translucent(); }

float spaceCode(ColourSpace space)
{
    switch (space) {
    case ColourSpace::Linear: return 1.0f;
    case ColourSpace::Oklab: return 2.0f;
    case ColourSpace::Srgb: break;
    }
    return 0.0f;
}

} // namespace

void SolverDisplay::draw(int windowWidth, int windowHeight, DisplayMode mode,
                         unsigned int framebuffer, int viewportX, int viewportY)
{
    const bool ready = images.ready();
    if (ready && displayLevel > 0 && levelsStale)
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
    const RenderTarget* shown = images.target(image, displayLevel);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, static_cast<GLfloat>(kConstraintAlphaThreshold));
    shown->texture.bind(0);
    // Colour images go back to sRGB; the picture is dithered to the window's 8 bits and, where
    // it can be translucent, shows its transparent parts over a checkerboard in the same pass.
    // An opaque picture is drawn as it is. A constraint image shows its opacity to the alpha
    // test: free texels (and fully transparent constraints) show the grey.
    const bool picture = image == SolverImage::ColorSolution;
    const bool colours = picture || image == SolverImage::ColorConstraints;
    if (colours && programs.pictureOutputProgram.isLinked()) {
        usePictureOutputProgram(input.settings.displayDither && picture);
        if (picture && mayBeTranslucent(input))
            programs.pictureOutputProgram.setFloat("checker", 1.0f);
    } else
        solvergl::enableRectTexturing();
    solvergl::drawTexturedQuad(shown->width(), shown->height());
    ShaderProgram::release();
    solvergl::disableRectTexturing();
    glDisable(GL_ALPHA_TEST);
}

QColor SolverDisplay::colorAt(double x, double y)
{
    if (!images.ready())
        return QColor(127, 127, 127);
    float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    images.picture().framebuffer.bind();
    glReadPixels(pixelAtFraction(x, images.width), pixelAtFraction(y, images.height), 1, 1, GL_RGBA,
                 GL_FLOAT, rgba);
    images.leavePasses();
    makeStraight(rgba);
    const ColourSpace space = input.colourSpace();
    if (space != ColourSpace::Srgb) {
        const ColourTriple srgb = toSrgb(space, {rgba[0], rgba[1], rgba[2]});
        for (int k = 0; k < 3; ++k)
            rgba[k] = float(srgb[k]);
    }
    return QColor(channel(rgba[0]), channel(rgba[1]), channel(rgba[2]), channel(rgba[3]));
}

int SolverDisplay::coarserLevel()
{
    if (displayLevel < images.levels - 1)
        ++displayLevel;
    return displayLevel;
}

int SolverDisplay::finerLevel()
{
    if (displayLevel > 0)
        --displayLevel;
    return displayLevel;
}

// Coarser display levels show each image averaged down from level 0 (constraint images keep
// only agreeing constrained texels, gradients are rescaled to the coarser pixel). Built by
// draw when a coarser level is shown and the images changed since.
void SolverDisplay::buildDisplayPyramid()
{
    levelsStale = false;
    solvergl::beginPasses();
    for (int L = 1; L <= displayLevel && L < images.levels; ++L) {
        SolverImages::Level& finer = images.pyramid[L - 1];
        SolverImages::Level& level = images.pyramid[L];
        const RenderTarget& finerPicture = L == 1 ? images.picture() : finer.colorSolution;
        runImagePass({programs.downsampleProgram, {&finerPicture.texture}, {}},
                     level.colorSolution);
        runImagePass({programs.downsampleProgram, {&finer.blurSolution.texture}, {}},
                     level.blurSolution);
        runImagePass({programs.restrictColorProgram, {&finer.colorConstraints.texture}, {}},
                     level.colorConstraints);
        runImagePass({programs.restrictColorProgram, {&finer.blurConstraints.texture}, {}},
                     level.blurConstraints);
        runImagePass({programs.restrictProgram, {&finer.gradientX.texture}, {}}, level.gradientX);
        runImagePass({programs.restrictProgram, {&finer.gradientY.texture}, {}}, level.gradientY);
    }
    images.leavePasses();
}

void SolverDisplay::usePictureOutputProgram(bool dither) const
{
    ShaderProgram& program = programs.pictureOutputProgram;
    program.use();
    program.setFloat("colourSpace", spaceCode(input.colourSpace()));
    program.setFloat("levels", 255.0f);
    program.setFloat("dither", dither ? 1.0f : 0.0f);
    program.setFloat("checker", 0.0f);
    program.setFloat("flatten", 0.0f);
}

QImage SolverDisplay::encodePicture(const RenderTarget& source,
                                    const PictureEncoding& encoding) const
{
    const bool deep = encoding.depth > 8;
    const int w = source.width(), h = source.height();
    QImage image(w, h, deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    // sRGB values undithered are read as they are, the GL rounding them.
    const RenderTarget* read = &source;
    RenderTarget converted;
    // (An opaque sRGB drawing of one opaque layer has nothing to flatten.)
    if (input.constraintPrecision() != ConstraintPrecision::Bytes || input.layered()
        || encoding.dither) {
        converted.create(w, h, deep ? rgba16Nearest() : rgba8Nearest());
        solvergl::beginPasses();
        converted.bindAsTarget();
        source.texture.bind(0);
        usePictureOutputProgram(encoding.dither);
        programs.pictureOutputProgram.setFloat("levels", deep ? 65535.0f : 255.0f);
        if (encoding.flatten) {
            const QColor& b = encoding.background;
            programs.pictureOutputProgram.setFloat("flatten", 1.0f);
            programs.pictureOutputProgram.setVec3("background", float(b.redF()), float(b.greenF()),
                                                  float(b.blueF()));
        }
        solvergl::drawTexturedQuad(w, h);
        ShaderProgram::release();
        read = &converted;
    }
    read->framebuffer.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, deep ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE, image.bits());
    images.leavePasses();
    return std::move(image).mirrored(false, true);
}
