// The solves of the solver: the colours and the blur map of the rasterised problem (see
// solver_rasteriser.cpp), the quick and the full update, and the full-canvas overview.
#include "solver_gl.h"

#include "blur_pass.h"
#include "diffusion_solver.h"
#include "picture_export.h"

#include <algorithm>

namespace {

// Cycles the Iterations setting adds above its default.
int extraCycles(int iterations) { return std::max(0, iterations - kDefaultIterations); }

// Cycles of a fresh solve or of a re-solve from the previous answer at that setting.
int cycleCount(bool fresh, int iterations)
{
    return (fresh ? DiffusionSolver::kBaseCycles : DiffusionSolver::kReSolveCycles)
           + extraCycles(iterations);
}

// Both solves go on until the picture settles: a fresh one to the resting picture's accuracy, a
// re-solve to the drag's.
MultigridStopRule settleRule(bool fresh)
{
    if (!fresh)
        return {DiffusionSolver::kReSolveSettleCycles, DiffusionSolver::kReSolveSettledChange};
    return {DiffusionSolver::kSettleCycles, DiffusionSolver::kSettledChange};
}

} // namespace

DiffusionSolver::Problem DiffusionSolver::colorProblem(RenderTarget& solution)
{
    SolverImages::Level& level0 = solverImages.pyramid[0];
    // An opaque drawing's pictures have alpha 1: only a translucent one diffuses its opacity.
    return {&solution, &level0.divergence.texture, &level0.colorConstraints.texture,
            input.translucent() ? DiffusedChannels::ColourAndOpacity : DiffusedChannels::Colour};
}

void DiffusionSolver::solveColors(bool fromPrevious)
{
    if (!ready)
        return;
    const bool warm = fromPrevious && colorView.matches(view);
    solveProblem(colorProblem(solverImages.pyramid[0].colorSolution),
                 cycleCount(!warm, input.settings.iterations), !warm, 0.5f, settleRule(!warm));
    colorView = {true, view};
    solverImages.pictureBlurred = false;
}

void DiffusionSolver::solveBlur()
{
    if (ready)
        solveBlurMap(kBlurMapCycles + extraCycles(input.settings.iterations));
}

void DiffusionSolver::solveBlurMap(int cycles)
{
    SolverImages::Level& level0 = solverImages.pyramid[0];
    solverImages.blurMapStale = false;
    if (largestBlur(input.curves, input.run()) == 0.0f) {
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
    if (input.layered()) {
        for (int layer : staleLayers())
            solveLayer(layer);
        progressiveLayer = -1;
        colorView = {true, view};
        compositeLayers();
        return;
    }
    const bool zoomedIn = view.zoom > 1.0;
    if (zoomedIn)
        renderOverview(true);
    problemRasteriser.buildDivergencePyramid(view);
    problemRasteriser.buildColorConstraints(view, zoomedIn);
    solveColors(true);
}

void DiffusionSolver::fullUpdate()
{
    if (!ready)
        return;
    if (input.layered()) {
        layeredFullUpdate();
        return;
    }
    const bool wholeCanvas = isWholeCanvasView();
    if (!wholeCanvas)
        renderOverview(false);
    problemRasteriser.buildDivergencePyramid(view);
    problemRasteriser.buildColorConstraints(view, view.zoom > 1.0);
    solveColors(false);
    if (wholeCanvas)
        copyIntoOverview(); // the overview is the picture itself
    blurConstraintsStale = true;
    applyBlur(input.settings.blurEnabled);
}

void DiffusionSolver::beginProgressiveSolve(bool fresh)
{
    if (!ready)
        return;
    if (input.layered()) {
        beginLayeredSolve(fresh);
        return;
    }
    const bool zoomedIn = view.zoom > 1.0;
    if (zoomedIn)
        renderOverview(!fresh);
    problemRasteriser.buildDivergencePyramid(view);
    problemRasteriser.buildColorConstraints(view, zoomedIn);
    blurConstraintsStale = true;
    solverImages.blurMapStale = true;
    progressiveOperators = false;
    if (fresh || !colorView.matches(view)) {
        solvergl::beginPasses();
        multigrid.estimateFromConstraints(colorProblem(solverImages.pyramid[0].colorSolution),
                                          0.5f);
        leavePasses();
    }
    colorView = {true, view};
    solverImages.pictureBlurred = false;
    displayPyramidStale = true;
}

bool DiffusionSolver::progressiveStep(bool checkSettled, int cycles)
{
    if (!ready)
        return true;
    if (input.layered())
        return layeredStep(checkSettled, cycles);
    const Problem problem = colorProblem(solverImages.pyramid[0].colorSolution);
    solvergl::beginPasses();
    if (!progressiveOperators) {
        const SolverRasteriser::ConstraintChange change = problemRasteriser.takeConstraintChange();
        const bool inBlock = colourOperatorsKept && !change.whole;
        multigrid.buildOperatorsFor(problem, inBlock ? &change.pixels : nullptr);
        progressiveOperators = true;
        colourOperatorsKept = true;
    }
    const float change = multigrid.step(problem, cycles, checkSettled);
    displayPyramidStale = true;
    solverImages.pictureBlurred = false;
    leavePasses();
    return checkSettled && change <= kSettledChange;
}

void DiffusionSolver::finishProgressiveSolve()
{
    if (!ready)
        return;
    if (isWholeCanvasView())
        copyIntoOverview();
    else if (input.layered())
        compositeOverview(); // only the edited layers' whole canvases are solved
    else if (view.zoom <= 1.0)
        renderOverview(true); // zoomed in, beginProgressiveSolve solved it
    applyBlur(input.settings.blurEnabled);
}

void DiffusionSolver::prepareDisplay(DisplayMode mode)
{
    if (!ready || (mode != DisplayMode::BlurMap && mode != DisplayMode::BlurConstraints))
        return;
    if (input.layered())
        input.layer = -1; // the drawing's blur strips and map: every layer's curves
    solvePendingBlur();
}

void DiffusionSolver::solvePendingBlur()
{
    if (blurConstraintsStale) {
        problemRasteriser.buildBlurConstraints(view);
        blurConstraintsStale = false;
    }
    if (solverImages.blurMapStale)
        solveBlur();
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
    if (input.layered()) {
        compositeOverview(); // each layer's kept whole canvas, solved where its curves changed
        return;
    }
    problemRasteriser.buildDivergencePyramid(View());
    problemRasteriser.buildColorConstraints(View(), false);
    const bool warm = fromPrevious && overviewValid;
    solveProblem(colorProblem(solverImages.overview), cycleCount(!warm, input.settings.iterations),
                 !warm, 0.5f, settleRule(!warm));
    overviewValid = true;
}

void DiffusionSolver::copyIntoOverview()
{
    solvergl::beginPasses();
    solvergl::copyImage(solverImages.pyramid[0].colorSolution.texture, solverImages.overview);
    leavePasses();
    overviewValid = true;
}
