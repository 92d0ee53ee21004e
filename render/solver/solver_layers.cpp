// The layers of a layered drawing (see DiffusionSolver's Layers): each visible layer solved alone
// into a picture of its own, kept while its curves and the view stay the same, blurred alone,
// and the pictures composited into colorSolution[0] (blurred: into blurredPicture); each
// layer's whole canvas kept while its curves stay the same, and those composited into the
// overview.
#include "solver_gl.h"

#include "blur_pass.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "drawing_change.h"
#include "image_pass.h"
#include "shader_constants.h"

#include <algorithm>

namespace {

// The curves of `run` in `set`.
QVector<Curve> curvesOf(const CurveSet& set, CurveRange run)
{
    return set.curves.mid(run.first, run.size());
}

bool sameCurves(const QVector<Curve>& a, const CurveSet& set, CurveRange run)
{
    if (a.size() != run.size())
        return false;
    for (int i = 0; i < run.size(); ++i) {
        if (!sameDrawnCurve(a[i], set.curves[run.first + i]))
            return false;
    }
    return true;
}

// A picture with nothing in it: no colour, opacity 0 (encoded).
void clearToTransparent(const RenderTarget& target)
{
    target.bindAsTarget();
    glClearColor(0.0f, 0.0f, 0.0f, float(kOpacityFloor));
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

bool DiffusionSolver::layerPictureCurrent(int layer) const
{
    const LayerPicture& p = layerPictures[layer];
    return p.valid && p.view == view
           && sameCurves(p.curves, *input.curves, input.curves->layerRange(layer));
}

std::vector<int> DiffusionSolver::staleLayers()
{
    layerPictures.resize(input.curves->layers.size());
    std::vector<int> stale;
    for (int k = 0; k < int(layerPictures.size()); ++k) {
        if (input.curves->layers[k].visible
            && (!layerPictureCurrent(k) || !layerPictures[k].settled))
            stale.push_back(k);
    }
    return stale;
}

bool DiffusionSolver::rasteriseLayer(int layer)
{
    const bool zoomedIn = view.zoom > 1.0;
    // The ring's colours come from the layer's own whole canvas (made before the picture
    // changes: it may be copied from it).
    if (zoomedIn)
        solveLayerOverview(layer);
    input.layer = layer;
    if (layer < int(belowComposite.layers.size()))
        belowComposite.valid = false;
    LayerPicture& p = layerPictures[layer];
    if (p.picture.width() != solverImages.width || p.picture.height() != solverImages.height)
        p.picture.create(solverImages.width, solverImages.height, floatNearest());
    const CurveRange run = input.run();
    p.curves = curvesOf(*input.curves, run);
    p.view = view;
    p.valid = true;
    p.settled = false;
    p.blurredValid = false;
    problemRasteriser.buildDivergencePyramid(view);
    problemRasteriser.buildColorConstraints(view, zoomedIn, nullptr,
                                            zoomedIn ? &p.overview.texture : nullptr);
    if (!problemRasteriser.geometry().curvesMeeting(nullptr, &run).empty())
        return true;
    solvergl::beginPasses();
    clearToTransparent(p.picture);
    leavePasses();
    p.settled = true;
    return false;
}

void DiffusionSolver::solveLayerOverview(int layer)
{
    LayerPicture& p = layerPictures[layer];
    input.layer = layer;
    const CurveRange run = input.run();
    if (p.overviewValid && sameCurves(p.overviewCurves, *input.curves, run))
        return;
    if (p.overview.width() != solverImages.width || p.overview.height() != solverImages.height) {
        p.overview.create(solverImages.width, solverImages.height, floatLinear());
        p.overviewValid = false;
    }
    const bool warm = p.overviewValid;
    p.overviewCurves = curvesOf(*input.curves, run);
    p.overviewValid = true;
    p.overviewSettled = true;
    // (A fresh solve at another view marks the picture invalid but leaves it as it was.)
    if (p.settled && p.view == View() && p.picture.width() == solverImages.width
        && p.picture.height() == solverImages.height && sameCurves(p.curves, *input.curves, run)) {
        solvergl::beginPasses();
        solvergl::copyImage(p.picture.texture, p.overview);
        leavePasses();
        return;
    }
    problemRasteriser.buildDivergencePyramid(View());
    problemRasteriser.buildColorConstraints(View(), false);
    if (problemRasteriser.geometry().curvesMeeting(nullptr, &run).empty()) {
        solvergl::beginPasses();
        clearToTransparent(p.overview);
        leavePasses();
        return;
    }
    // As the overview of a drawing of one layer: afresh, or from the previous curves' one.
    const int extra = std::max(0, input.settings.iterations - kDefaultIterations);
    const MultigridStopRule stop =
        warm ? MultigridStopRule{kReSolveSettleCycles, kReSolveSettledChange}
             : MultigridStopRule{kSettleCycles, kSettledChange};
    solveProblem(colorProblem(p.overview), (warm ? kReSolveCycles : kBaseCycles) + extra, !warm,
                 0.5f, stop);
    p.overviewSettled = !warm;
}

void DiffusionSolver::compositeOverview()
{
    layerPictures.resize(input.curves->layers.size());
    for (int k = 0; k < int(layerPictures.size()); ++k) {
        if (input.curves->layers[k].visible)
            solveLayerOverview(k);
    }
    compositeRange(0, int(layerPictures.size()), nullptr, solverImages.overview,
                   LayerImage::Overview);
    overviewValid = true;
}

float DiffusionSolver::layerBlur(int layer) const
{
    return largestBlur(input.curves, input.curves->layerRange(layer));
}

void DiffusionSolver::blurLayer(int layer, int mapCycles)
{
    LayerPicture& p = layerPictures[layer];
    input.layer = layer;
    problemRasteriser.buildBlurConstraints(view);
    solveBlurMap(mapCycles);
    if (p.blurred.width() != solverImages.width || p.blurred.height() != solverImages.height) {
        p.blurred.create(solverImages.width, solverImages.height, floatLinear());
        p.blurred.framebuffer.attachDepthStencil(solverImages.depthStencil);
    }
    runBlurPass(p.picture.texture, layerBlur(layer), p.blurred);
    p.blurredValid = true;
    // The blur strips and map now hold this layer's: the display makes the drawing's again.
    blurConstraintsStale = true;
    solverImages.blurMapStale = true;
}

void DiffusionSolver::blurLayers(bool enabled, int mapCycles)
{
    solverImages.pictureBlurred = false;
    if (!enabled)
        return;
    layerPictures.resize(input.curves->layers.size());
    bool anyBlurred = false;
    for (int k = 0; k < int(layerPictures.size()); ++k) {
        if (!input.curves->layers[k].visible || !blurPassChanges(layerBlur(k)))
            continue;
        anyBlurred = true;
        if (!layerPictures[k].blurredValid)
            blurLayer(k, mapCycles);
    }
    if (!anyBlurred)
        return;
    compositeRange(0, int(layerPictures.size()), nullptr, solverImages.blurredPicture,
                   LayerImage::Blurred);
    solverImages.pictureBlurred = true;
    displayPyramidStale = true;
}

void DiffusionSolver::solveLayer(int layer)
{
    LayerPicture& p = layerPictures[layer];
    const bool warm = p.valid && p.view == view;
    if (!rasteriseLayer(layer))
        return;
    const int extra = std::max(0, input.settings.iterations - kDefaultIterations);
    const int cycles = (warm ? kReSolveCycles : kBaseCycles) + extra;
    const MultigridStopRule stop =
        warm ? MultigridStopRule{kReSolveSettleCycles, kReSolveSettledChange}
             : MultigridStopRule{kSettleCycles, kSettledChange};
    solveProblem(colorProblem(p.picture), cycles, !warm, 0.5f, stop);
    p.settled = true;
}

void DiffusionSolver::compositeRange(int first, int end, const Texture* below,
                                     const RenderTarget& result, LayerImage image)
{
    std::vector<int> shown;
    for (int k = first; k < end; ++k) {
        if (input.curves->layers[k].visible)
            shown.push_back(k);
    }
    solvergl::beginPasses();
    if (shown.empty() && !below) {
        clearToTransparent(result);
    } else if (shown.empty()) {
        solvergl::copyImage(*below, result);
    } else {
        if (shown.size() > 1 && compositeScratch.width() != solverImages.width)
            compositeScratch.create(solverImages.width, solverImages.height, floatNearest());
        // Each layer over the ones below, alternating between the two images so that the top
        // layer's pass writes the result.
        for (size_t k = 0; k < shown.size(); ++k) {
            const bool intoResult = (shown.size() - 1 - k) % 2 == 0;
            const RenderTarget& target = intoResult ? result : compositeScratch;
            const LayerPicture& p = layerPictures[shown[k]];
            const bool blurred = image == LayerImage::Blurred && p.blurredValid
                                 && blurPassChanges(layerBlur(shown[k]));
            const Texture& layer = image == LayerImage::Overview
                                       ? p.overview.texture
                                       : (blurred ? p.blurred.texture : p.picture.texture);
            runImagePass({programs.layerOverProgram,
                          {&layer, below ? below : &layer},
                          {{"opacity", float(input.curves->layers[shown[k]].opacity)},
                           {"hasBelow", below ? 1.0f : 0.0f}}},
                         target);
            below = &target.texture;
        }
    }
    leavePasses();
}

void DiffusionSolver::compositeLayers()
{
    const int count = std::min(int(layerPictures.size()), input.curves->layerCount());
    // While one layer is being solved over frames, the layers below it are composited once.
    const int split = progressiveLayer >= 0 && progressiveLayer < count ? progressiveLayer : 0;
    const bool belowKept = split > 0 && belowComposite.layers == input.curves->layers.mid(0, split)
                           && belowComposite.valid;
    if (split > 0 && !belowKept) {
        if (belowComposite.picture.width() != solverImages.width)
            belowComposite.picture.create(solverImages.width, solverImages.height, floatNearest());
        compositeRange(0, split, nullptr, belowComposite.picture);
        belowComposite.layers = input.curves->layers.mid(0, split);
        belowComposite.valid = true;
    }
    compositeRange(split, count, split > 0 ? &belowComposite.picture.texture : nullptr,
                   solverImages.pyramid[0].colorSolution);
    displayPyramidStale = true;
    solverImages.pictureBlurred = false;
}

void DiffusionSolver::layeredFullUpdate()
{
    layerPictures.resize(input.curves->layers.size());
    for (LayerPicture& p : layerPictures) {
        p.valid = false;
        // Everything afresh: a whole canvas solved from a previous one is solved again.
        p.overviewValid = p.overviewValid && p.overviewSettled;
    }
    progressiveLayer = -1;
    for (int layer : staleLayers())
        solveLayer(layer);
    colorView = {true, view};
    compositeLayers();
    if (isWholeCanvasView())
        copyIntoOverview(); // the overview is the picture itself
    else
        compositeOverview();
    applyBlur(input.settings.blurEnabled);
}

void DiffusionSolver::beginLayeredSolve(bool fresh)
{
    layerPictures.resize(input.curves->layers.size());
    if (fresh || !colorView.matches(view)) {
        for (LayerPicture& p : layerPictures)
            p.valid = false;
    }
    progressiveLayer = -1;
    blurConstraintsStale = true;
    solverImages.blurMapStale = true;
    const std::vector<int> stale = staleLayers();
    for (size_t k = 0; k + 1 < stale.size(); ++k)
        solveLayer(stale[k]);
    if (!stale.empty()) {
        const int layer = stale.back();
        LayerPicture& p = layerPictures[layer];
        const bool warm = p.valid && p.view == view;
        if (rasteriseLayer(layer)) {
            if (!warm) {
                solvergl::beginPasses();
                multigrid.estimateFromConstraints(colorProblem(p.picture), 0.5f);
                leavePasses();
            }
            progressiveLayer = layer;
            progressiveOperators = false;
        }
    }
    colorView = {true, view};
    if (progressiveLayer < 0)
        compositeLayers(); // else each step composites
}

bool DiffusionSolver::layeredStep(bool checkSettled, int cycles)
{
    if (progressiveLayer < 0 || progressiveLayer >= int(layerPictures.size()))
        return checkSettled;
    input.layer = progressiveLayer;
    LayerPicture& p = layerPictures[progressiveLayer];
    const Problem problem = colorProblem(p.picture);
    solvergl::beginPasses();
    if (!progressiveOperators) {
        multigrid.buildOperatorsFor(problem);
        progressiveOperators = true;
        colourOperatorsKept = false; // one image holds each layer's constraints in turn
    }
    const float change = multigrid.step(problem, cycles, checkSettled);
    leavePasses();
    compositeLayers();
    const bool settled = checkSettled && change <= kSettledChange;
    if (settled) {
        p.settled = true;
        progressiveLayer = -1;
    }
    return settled;
}

void DiffusionSolver::solveLayersForExport(int cycles, int blurMapCycles)
{
    layerPictures.resize(input.curves->layers.size());
    progressiveLayer = -1;
    const View kept = view;
    view = View();
    for (int layer = 0; layer < int(layerPictures.size()); ++layer) {
        if (!input.curves->layers[layer].visible || !rasteriseLayer(layer))
            continue;
        LayerPicture& p = layerPictures[layer];
        const int fixedCycles = std::min(cycles, kBaseCycles);
        solveProblem(colorProblem(p.picture), fixedCycles, true, 0.5f,
                     {cycles - fixedCycles, kSettledChange});
        p.settled = true;
    }
    compositeLayers();
    blurLayers(blurMapCycles >= 0, blurMapCycles);
    view = kept;
}
