// The passes of the multigrid solver: rasterising the curves into gradient and constraint
// images, building their pyramids, and the coarse-to-fine colour and blur cascades.
#include "solver_gl.h"

#include "blur_pass.h"
#include "curve_drawing.h"
#include "diffusion_solver.h"
#include "picture_export.h"

#include <algorithm>

namespace {

// Cycles the Iterations setting adds above its default.
int extraCycles(int iterations)
{
    return std::max(0, iterations - DiffusionSolver::kDefaultCycles);
}

// Cycles of a fresh solve or of a re-solve from the previous answer at that setting.
int cycleCount(bool fresh, int iterations)
{
    return (fresh ? DiffusionSolver::kBaseCycles : DiffusionSolver::kReSolveCycles)
           + extraCycles(iterations);
}

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

void DiffusionSolver::drawGradients() { drawGradients(view); }

void DiffusionSolver::drawGradients(const View& v)
{
    if (!ready)
        return;
    solvergl::beginPasses();
    auto drawInto = [this, &v](const RenderTarget& target, void (*draw)(const CurveSet&)) {
        target.bindAsTarget();
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f); // 0.5 encodes a zero gradient
        glClear(GL_COLOR_BUFFER_BIT);
        if (curveSet) {
            solvergl::loadCanvasModelView(v);
            draw(*curveSet);
        }
    };
    drawInto(pyramid[0].gradientX, drawGradientsX);
    drawInto(pyramid[0].gradientY, drawGradientsY);
    leavePasses();
}

// Only level 0 carries the colour jumps: the coarser levels of the multigrid solve for
// corrections, whose right-hand side is the restricted residual.
void DiffusionSolver::buildDivergencePyramid() { buildDivergencePyramid(view); }

void DiffusionSolver::buildDivergencePyramid(const View& v)
{
    if (!ready)
        return;
    drawGradients(v);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    runImagePass({divProgram, {&pyramid[0].gradientX.texture, &pyramid[0].gradientY.texture}, {}},
                 pyramid[0].divergence);
    leavePasses();
}

void DiffusionSolver::buildColorConstraints(bool border) { buildColorConstraints(view, border); }

void DiffusionSolver::buildColorConstraints(const View& v, bool border)
{
    if (!ready)
        return;
    matchConstraintPrecision();
    solvergl::beginPasses();
    pyramid[0].colorConstraints.bindAsTarget();
    solvergl::loadCanvasModelView(v);
    if (curveSet) {
        drawColorConstraints(*curveSet); // clears colour and stencil itself
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (border)
        drawBorderRing(view, width, height, overview.texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    leavePasses();
}

void DiffusionSolver::buildBlurConstraints() { buildBlurConstraints(view); }

void DiffusionSolver::buildBlurConstraints(const View& v)
{
    if (!ready)
        return;
    solvergl::beginPasses();
    pyramid[0].blurConstraints.bindAsTarget();
    if (curveSet) {
        solvergl::loadCanvasModelView(v);
        drawBlurStrips(*curveSet); // clears to (0, 0, 0, 0) first: alpha 1 marks a constraint
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    leavePasses();
    blurMapStale = true;
}

DiffusionSolver::Problem DiffusionSolver::colorProblem(RenderTarget& solution)
{
    Level& level0 = pyramid[0];
    return {&solution, &level0.divergence.texture, &level0.colorConstraints.texture};
}

void DiffusionSolver::solveColors(bool fromPrevious)
{
    if (!ready)
        return;
    const bool warm = fromPrevious && colorView.matches(view);
    solveProblem(colorProblem(pyramid[0].colorSolution), cycleCount(!warm, userSettings.iterations),
                 !warm, 0.5f);
    colorView = {true, view};
    pictureBlurred = false;
}

void DiffusionSolver::solveBlur()
{
    if (ready)
        solveBlurMap(kBlurMapCycles + extraCycles(userSettings.iterations));
}

void DiffusionSolver::solveBlurMap(int cycles)
{
    Level& level0 = pyramid[0];
    blurMapStale = false;
    if (largestBlur(curveSet) == 0.0f) {
        // Every constraint is 0: so is the solution, exactly.
        level0.blurSolution.bindAsTarget();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        displayPyramidStale = true;
        leavePasses();
        return;
    }
    solveProblem({&level0.blurSolution, nullptr, &level0.blurConstraints.texture}, cycles, true,
                 0.0f);
}

// The picture changes little between two mouse moves, so the solve starts from the previous
// one; the blur strips are left for the full update.
void DiffusionSolver::update()
{
    if (!ready)
        return;
    const bool zoomedIn = view.zoom > 1.0;
    if (zoomedIn)
        renderOverview(true);
    buildDivergencePyramid();
    buildColorConstraints(zoomedIn);
    solveColors(true);
}

void DiffusionSolver::fullUpdate()
{
    if (!ready)
        return;
    const bool wholeCanvas = isWholeCanvasView();
    if (!wholeCanvas)
        renderOverview(false);
    buildDivergencePyramid();
    buildBlurConstraints();
    buildColorConstraints(view.zoom > 1.0);
    solveColors(false);
    if (wholeCanvas)
        copyIntoOverview(); // the overview is the picture itself
    applyBlur(userSettings.blurEnabled);
}

void DiffusionSolver::renderFinalPicture()
{
    if (ready)
        PictureExport(*this).renderWholeCanvas(kExportCycles, true);
}

void DiffusionSolver::renderOverview(bool fromPrevious)
{
    if (!ready)
        return;
    buildDivergencePyramid(View());
    buildColorConstraints(View(), false);
    const bool warm = fromPrevious && overviewValid;
    solveProblem(colorProblem(overview), cycleCount(!warm, userSettings.iterations), !warm, 0.5f);
    overviewValid = true;
}

void DiffusionSolver::copyIntoOverview()
{
    solvergl::beginPasses();
    solvergl::copyImage(pyramid[0].colorSolution.texture, overview);
    leavePasses();
    overviewValid = true;
}

// Coarser display levels show each image averaged down from level 0 (constraint images keep
// only agreeing constrained texels, gradients are rescaled to the coarser pixel). Built by
// display when a coarser level is shown and the images changed since.
void DiffusionSolver::buildDisplayPyramid()
{
    displayPyramidStale = false;
    solvergl::beginPasses();
    for (int L = 1; L <= displayLevel && L < levels; ++L) {
        Level& finer = pyramid[L - 1];
        Level& level = pyramid[L];
        const RenderTarget& finerPicture = L == 1 ? picture() : finer.colorSolution;
        runImagePass({downsampleProgram, {&finerPicture.texture}, {}}, level.colorSolution);
        runImagePass({downsampleProgram, {&finer.blurSolution.texture}, {}}, level.blurSolution);
        runImagePass({restrictColorProgram, {&finer.colorConstraints.texture}, {}},
                     level.colorConstraints);
        runImagePass({restrictColorProgram, {&finer.blurConstraints.texture}, {}},
                     level.blurConstraints);
        runImagePass({restrictProgram, {&finer.gradientX.texture}, {}}, level.gradientX);
        runImagePass({restrictProgram, {&finer.gradientY.texture}, {}}, level.gradientY);
    }
    leavePasses();
}
