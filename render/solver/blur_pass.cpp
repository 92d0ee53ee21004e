// The blur pass: softens the picture where the blur map asks for it.
#include "solver_gl.h"

#include "blur_pass.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "image_pass.h"

#include <algorithm>
#include <cmath>

float largestBlur(const CurveSet* set)
{
    return set ? largestBlur(set, {0, set->nb_curves}) : 0.0f;
}

float largestBlur(const CurveSet* set, CurveRange run)
{
    if (!set)
        return 0.0f;
    int largest = 0;
    const int end = std::min({run.end, set->nb_curves, int(set->curves.size())});
    for (int i = std::max(0, run.first); i < end; ++i)
        for (int value : set->curves[i].blur_values)
            largest = std::max(largest, value);
    return std::min(largest, kMaxBlur) / static_cast<float>(kMaxBlur);
}

namespace {

const std::vector<float>& cachedBlurPassLevels()
{
    static const std::vector<float> levels = blurPassLevels();
    return levels;
}

// Depth of every level-0 pixel := its value in `blurMap` (blur_threshold.frag), colours of
// `target` (a framebuffer with the level-0 depth attached) untouched.
void writeBlurDepth(const ShaderProgram& blurThresholdProgram, const Texture& blurMap,
                    const RenderTarget& target)
{
    if (!blurThresholdProgram.isLinked())
        return;
    target.bindAsTarget();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_TRUE);
    blurMap.bind(0);
    blurThresholdProgram.use();
    solvergl::drawFullScreenQuad();
    ShaderProgram::release();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

} // namespace

std::vector<float> blurPassLevels()
{
    std::vector<float> levels;
    float v = static_cast<float>(kMaxBlur);
    for (;;) {
        const float d = v * v - 1.0f;
        if (d < 0.0f)
            break;
        const float e = std::sqrt(d);
        const float level = e / static_cast<float>(kMaxBlur);
        if (!(level > 0.0f))
            break; // a level of 0 would smooth every pixel, blurred or not
        levels.push_back(level);
        v = e;
    }
    return levels;
}

// The blurred picture goes to its own image, so that colorSolution[0] keeps the solution the next
// quick update starts from. A layered drawing blurs each layer alone (solver_layers.cpp).
void DiffusionSolver::applyBlur(bool enabled)
{
    if (!ready)
        return;
    if (input.layered()) {
        blurLayers(enabled,
                   kBlurMapCycles + std::max(0, input.settings.iterations - kDefaultIterations));
        return;
    }
    solverImages.pictureBlurred = false;
    const float largest = largestBlur(input.curves);
    if (!enabled || !blurPassChanges(largest))
        return;
    solvePendingBlur();
    runBlurPass(solverImages.pyramid[0].colorSolution.texture, largest,
                solverImages.blurredPicture);
    solverImages.pictureBlurred = true;
    displayPyramidStale = true;
}

bool blurPassChanges(float largest)
{
    const std::vector<float>& levelsOfBlur = cachedBlurPassLevels();
    return !levelsOfBlur.empty() && levelsOfBlur.back() < largest;
}

// Each cycle smooths the picture into the blur scratch image and back, with the level falling
// from cycle to cycle (blurPassLevels): pixels of larger blur take part in more cycles.
//
// Two shortcuts leave the picture as the plain loop makes it. A cycle whose level is at or above
// the largest blur of the drawing would only copy every pixel twice, so it is skipped (a drawing
// without blur costs no pass). And the blur map is laid into the depth buffer shared by both
// images, each step being drawn at the depth of its level with the depth test "less": pixels at
// or below the level are not shaded at all and keep their value in both images. The smoothing
// step reads only neighbours above the level, which the same cycle has just written.
void DiffusionSolver::runBlurPass(const Texture& picture, float largest,
                                  RenderTarget& blurredPicture)
{
    const std::vector<float>& levelsOfBlur = cachedBlurPassLevels();
    solvergl::beginPasses();
    SolverImages::Level& level0 = solverImages.pyramid[0];
    RenderTarget& blurScratch = solverImages.blurScratch;
    solvergl::copyImage(picture, blurredPicture);
    // The passes write only the pixels blurred at their level but read their neighbours: both
    // images start as this picture, so that nothing of an earlier picture is read.
    solvergl::copyImage(picture, blurScratch);
    writeBlurDepth(programs.blurThresholdProgram, level0.blurSolution.texture, blurredPicture);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    for (const float blur : levelsOfBlur) {
        if (blur >= largest)
            continue;
        const float depth = 2.0f * blur - 1.0f; // window depth = blur
        runImagePass({programs.diffusionProgram,
                      {&blurredPicture.texture, &level0.blurSolution.texture},
                      {{"blur", blur}},
                      depth},
                     blurScratch);
        runImagePass({programs.diffusionProgram,
                      {&blurScratch.texture, &level0.blurSolution.texture},
                      {{"blur", blur}},
                      depth},
                     blurredPicture);
    }
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_DEPTH_TEST);
    leavePasses();
}
