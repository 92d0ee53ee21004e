// The rasterising passes of the solver: the curves drawn into the gradient and constraint
// images of level 0, and the divergence made from the gradients.
#include "solver_gl.h"

#include "curve_drawing.h"
#include "image_pass.h"
#include "solver_images.h"
#include "solver_input.h"
#include "solver_programs.h"
#include "solver_rasteriser.h"

namespace {

// A ring of constraints one level-0 pixel wide along the edges of the visible window, carrying
// the colours of the full-canvas solution (the overview, solved at zoom 1 just before), so
// that a zoomed-in solve agrees with the whole picture at the window's edges. Drawn with the
// canvas model-view set.
void drawBorderRing(const View& view, int width, int height, const Texture& overview)
{
    const Point low = view.ndcToCanvas({-1.0, -1.0});
    const Point high = view.ndcToCanvas({1.0, 1.0});
    const double x0 = low.x, y0 = low.y, x1 = high.x, y1 = high.y;
    const double px = 2.0 / (width * view.zoom); // one window pixel in canvas units
    const double py = 2.0 / (height * view.zoom);
    // Canvas point -> texel of the full-canvas solution.
    auto tx = [width](double x) { return (x + 1.0) * 0.5 * width; };
    auto ty = [height](double y) { return (y + 1.0) * 0.5 * height; };
    auto quad = [&](double left, double bottom, double right, double top) {
        glTexCoord2d(tx(left), ty(bottom));
        glVertex2d(left, bottom);
        glTexCoord2d(tx(right), ty(bottom));
        glVertex2d(right, bottom);
        glTexCoord2d(tx(right), ty(top));
        glVertex2d(right, top);
        glTexCoord2d(tx(left), ty(top));
        glVertex2d(left, top);
    };

    glDisable(GL_STENCIL_TEST);
    overview.bind(0);
    solvergl::enableRectTexturing();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    quad(x0, y0, x0 + px, y1); // left
    quad(x1 - px, y0, x1, y1); // right
    quad(x0, y0, x1, y0 + py); // bottom
    quad(x0, y1 - py, x1, y1); // top
    glEnd();
    solvergl::disableRectTexturing();
}

} // namespace

void SolverRasteriser::drawGradients(const View& v)
{
    if (!images.ready())
        return;
    solvergl::beginPasses();
    const SolverImages::Level& level0 = images.pyramid[0];
    level0.gradients.bind();
    glViewport(0, 0, level0.gradientX.width(), level0.gradientX.height());
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f); // 0.5 encodes a zero gradient
    glClear(GL_COLOR_BUFFER_BIT);
    if (input.curves) {
        solvergl::loadCanvasModelView(v);
        drawGradientPairs(*input.curves);
    }
    images.leavePasses();
}

// Only level 0 carries the colour jumps: the coarser levels of the multigrid solve for
// corrections, whose right-hand side is the restricted residual.
void SolverRasteriser::buildDivergencePyramid(const View& v)
{
    if (!images.ready())
        return;
    drawGradients(v);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    SolverImages::Level& level0 = images.pyramid[0];
    runImagePass({programs.divProgram, {&level0.gradientX.texture, &level0.gradientY.texture}, {}},
                 level0.divergence);
    images.leavePasses();
}

void SolverRasteriser::buildColorConstraints(const View& v, bool border)
{
    if (!images.ready())
        return;
    matchConstraintPrecision();
    solvergl::beginPasses();
    images.pyramid[0].colorConstraints.bindAsTarget();
    solvergl::loadCanvasModelView(v);
    if (input.curves) {
        drawColorConstraints(*input.curves); // clears colour and stencil itself
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (border)
        drawBorderRing(v, images.width, images.height, images.overview.texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    images.leavePasses();
}

void SolverRasteriser::buildBlurConstraints(const View& v)
{
    if (!images.ready())
        return;
    solvergl::beginPasses();
    images.pyramid[0].blurConstraints.bindAsTarget();
    if (input.curves) {
        solvergl::loadCanvasModelView(v);
        drawBlurStrips(*input.curves); // clears to (0, 0, 0, 0) first: alpha 1 marks a constraint
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    images.leavePasses();
    images.blurMapStale = true;
}

void SolverRasteriser::matchConstraintPrecision()
{
    const bool precise = input.colourSpace() != ColourSpace::Srgb;
    if (images.storage == SolverStorage::Export || precise == images.preciseConstraints)
        return; // an export makes its constraint image with the precision it needs
    images.preciseConstraints = precise;
    for (int L = 0; L < images.levels; ++L)
        images.pyramid[L].colorConstraints.create(images.levelWidth[L], images.levelHeight[L],
                                                  precise ? halfFloatNearest() : rgba8Nearest());
    images.pyramid[0].colorConstraints.framebuffer.attachDepthStencil(images.depthStencil);
    images.leavePasses();
}
