// The blur pass: softens the picture where the blur map asks for it.
#include "solver_gl.h"

#include "blur_pass.h"
#include "diffusion_solver.h"

#include <cmath>

std::vector<float> blurPassLevels()
{
    std::vector<float> levels;
    float v = 16.0f;
    for (;;) {
        const float d = v * v - 1.0f;
        if (d < 0.0f)
            break;
        const float e = std::sqrt(d);
        const float level = e * 0.0625f;
        if (!(level > 0.0f))
            break; // a level of 0 would smooth every pixel, blurred or not
        levels.push_back(level);
        v = e;
    }
    return levels;
}

// Each cycle smooths colorSolution[0] into the blur scratch image and back, with the level
// falling from cycle to cycle (blurPassLevels): pixels of larger blur take part in more cycles.
void DiffusionSolver::applyBlur()
{
    if (!ready || !blurEnabled)
        return;
    beginPasses();
    Level& level0 = pyramid[0];
    static const std::vector<float> levelsOfBlur = blurPassLevels();
    for (const float blur : levelsOfBlur) {
        imagePass(diffusionProgram, blurScratch, level0.colorSolution.texture,
                  &level0.blurSolution.texture, {"blur", blur});
        imagePass(diffusionProgram, level0.colorSolution, blurScratch.texture,
                  &level0.blurSolution.texture, {"blur", blur});
    }
    leavePasses();
}
