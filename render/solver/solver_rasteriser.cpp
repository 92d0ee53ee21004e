// The rasterising passes of the solver: the curves drawn into the gradient and constraint
// images of level 0, and the divergence made from the gradients.
#include "solver_gl.h"

#include "curve_drawing.h"
#include "image_pass.h"
#include "solver_images.h"
#include "solver_input.h"
#include "solver_programs.h"
#include "solver_rasteriser.h"
#include "scissor_box.h"

#include <algorithm>
#include <utility>

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

void SolverRasteriser::setRegionRedraws(bool on)
{
    regionMode = on;
    forgetImages();
}

void SolverRasteriser::forgetImages()
{
    for (Held& h : held)
        h = Held();
    noteConstraintChange(nullptr);
}

SolverRasteriser::ConstraintChange SolverRasteriser::takeConstraintChange()
{
    return std::exchange(constraintChange, ConstraintChange{false, PixelRect()});
}

void SolverRasteriser::noteConstraintChange(const PixelRect* pixels)
{
    ConstraintChange& c = constraintChange;
    if (!pixels) {
        c = ConstraintChange();
    } else if (!c.whole && !pixels->isEmpty()) {
        c.pixels = c.pixels.isEmpty() ? *pixels : boundingBlock(c.pixels, *pixels);
    }
}

void SolverRasteriser::syncGeometry()
{
    if (!input.curves) {
        forgetImages();
        return;
    }
    const CurveGeometryCache::Change change = cache.sync(*input.curves);
    for (Held& h : held)
        h.pending.unite(change.extent);
}

const CanvasRect* SolverRasteriser::regionFor(Group group, const View& v, bool border,
                                              const CanvasRect* dirty)
{
    Held& h = held[group];
    const int layer = input.layer;
    const CanvasRect* region = nullptr;
    if (dirty) {
        region = dirty;
    } else if (regionMode && images.storage == SolverStorage::Interactive && input.curves && h.valid
               && h.view == v && h.layer == layer && !border && !h.border) {
        regionBuffer[group] = h.pending;
        region = &regionBuffer[group];
    }
    h.valid = input.curves != nullptr;
    h.view = v;
    h.layer = layer;
    h.border = border;
    h.pending = CanvasRect();
    return region;
}

PixelRect SolverRasteriser::pixelsOf(const CanvasRect& region, const View& v,
                                     int marginPixels) const
{
    return pixelsCovering(region, v, images.width, images.height, marginPixels);
}

bool SolverRasteriser::regionPixels(const CanvasRect* region, const View& v, int marginPixels,
                                    PixelRect* pixels) const
{
    if (!region)
        return true;
    *pixels = pixelsOf(*region, v, marginPixels);
    if (!pixels->isEmpty())
        return true;
    images.leavePasses();
    return false;
}

CanvasRect SolverRasteriser::cullRectOf(const PixelRect& pixels, const View& v) const
{
    // A curve can reach a pixel only if some vertex lies within a pixel of it (half a pixel
    // for the lines' diamonds; triangles only cover pixels whose centre they hold).
    const double onePixel = 2.0 / (std::min(images.width, images.height) * v.zoom);
    return canvasOfPixels(pixels, v, images.width, images.height).grown(onePixel);
}

void SolverRasteriser::drawGradientsInto(const View& v, const CanvasRect* region)
{
    PixelRect pixels;
    if (!regionPixels(region, v, 1, &pixels))
        return;
    solvergl::beginPasses();
    const SolverImages::Level& level0 = images.pyramid[0];
    level0.gradients.bind();
    glViewport(0, 0, level0.gradientX.width(), level0.gradientX.height());
    {
        const ScissorBox scissor(region ? &pixels : nullptr);
        glClearColor(0.5f, 0.5f, 0.5f, 0.5f); // 0.5 encodes a zero gradient
        glClear(GL_COLOR_BUFFER_BIT);
        if (input.curves) {
            solvergl::loadCanvasModelView(v);
            const CanvasRect cull = region ? cullRectOf(pixels, v) : CanvasRect();
            const CurveRange run = input.run();
            drawCachedGradientPairs(cache, region ? &cull : nullptr, &run);
        }
    }
    images.leavePasses();
}

void SolverRasteriser::drawGradients(const View& v, const CanvasRect* dirty)
{
    if (!images.ready())
        return;
    syncGeometry();
    drawGradientsInto(v, regionFor(Gradients, v, false, dirty));
    // The divergence was not made from these gradients: its next pass is whole.
    held[Gradients].valid = false;
}

// Only level 0 carries the colour jumps: the coarser levels of the multigrid solve for
// corrections, whose right-hand side is the restricted residual.
void SolverRasteriser::buildDivergencePyramid(const View& v, const CanvasRect* dirty)
{
    if (!images.ready())
        return;
    syncGeometry();
    const CanvasRect* region = regionFor(Gradients, v, false, dirty);
    drawGradientsInto(v, region);
    // The divergence reads the gradients one pixel around: it changes a pixel further out.
    PixelRect pixels;
    if (!regionPixels(region, v, 2, &pixels))
        return;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    SolverImages::Level& level0 = images.pyramid[0];
    {
        const ScissorBox scissor(region ? &pixels : nullptr);
        runImagePass({programs.divProgram,
                      {&level0.gradientX.texture, &level0.gradientY.texture},
                      {}},
                     level0.divergence);
    }
    images.leavePasses();
}

void SolverRasteriser::buildColorConstraints(const View& v, bool border, const CanvasRect* dirty,
                                             const Texture* ring)
{
    if (!images.ready())
        return;
    if (matchConstraintPrecision()) {
        held[ColorConstraints].valid = false; // the image was made afresh
        noteConstraintChange(nullptr);
    }
    syncGeometry();
    const CanvasRect* region = regionFor(ColorConstraints, v, border, dirty);
    PixelRect pixels;
    if (!regionPixels(region, v, 1, &pixels))
        return;
    noteConstraintChange(region ? &pixels : nullptr);
    solvergl::beginPasses();
    images.pyramid[0].colorConstraints.bindAsTarget();
    solvergl::loadCanvasModelView(v);
    {
        const ScissorBox scissor(region ? &pixels : nullptr);
        if (input.curves) {
            const CanvasRect cull = region ? cullRectOf(pixels, v) : CanvasRect();
            // Clears colour and stencil itself.
            const CurveRange run = input.run();
            drawCachedColorConstraints(cache, region ? &cull : nullptr, &run);
        } else {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        if (border)
            drawBorderRing(v, images.width, images.height, ring ? *ring : images.overview.texture);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    images.leavePasses();
}

void SolverRasteriser::buildBlurConstraints(const View& v, const CanvasRect* dirty)
{
    if (!images.ready())
        return;
    syncGeometry();
    const CanvasRect* region = regionFor(BlurConstraints, v, false, dirty);
    PixelRect pixels;
    if (!regionPixels(region, v, 1, &pixels))
        return;
    solvergl::beginPasses();
    images.pyramid[0].blurConstraints.bindAsTarget();
    {
        const ScissorBox scissor(region ? &pixels : nullptr);
        if (input.curves) {
            solvergl::loadCanvasModelView(v);
            const CanvasRect cull = region ? cullRectOf(pixels, v) : CanvasRect();
            // Clears to (0, 0, 0, 0) first: alpha 1 marks a constraint.
            const CurveRange run = input.run();
            drawCachedBlurStrips(cache, region ? &cull : nullptr, &run);
        } else {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    images.leavePasses();
    images.blurMapStale = true;
}

bool SolverRasteriser::matchConstraintPrecision()
{
    const ConstraintPrecision precision = input.constraintPrecision();
    if (images.storage == SolverStorage::Export || precision == images.constraintPrecision)
        return false; // an export makes its constraint image with the precision it needs
    images.constraintPrecision = precision;
    for (int L = 0; L < images.levels; ++L)
        images.pyramid[L].colorConstraints.create(images.levelWidth[L], images.levelHeight[L],
                                                  constraintFormat(precision));
    images.pyramid[0].colorConstraints.framebuffer.attachDepthStencil(images.depthStencil);
    images.leavePasses();
    return true;
}
