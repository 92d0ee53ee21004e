// Cost of one pass of each multigrid program over a 512 x 512 image of 32-bit floats, in bare
// 512 x 512 passes, all timed in process CPU time (the GL's threads included) so that other
// processes on the machine do not inflate them. Every program reads its inputs from images of
// that size holding smooth values with a few constrained texels. Run: xvfb-run -a
// ./bench_multigrid_passes
#include <GL/glew.h>

#include "gl_objects.h"
#include "program_catalogue.h"
#include "shader_program.h"

#include "bare_pass.h"

#include "offscreen_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 512;

const ProgramId kPrograms[] = {ProgramId::MgPackFinest,    ProgramId::MgUnpackFinest,
                               ProgramId::MgSmoothFinest,  ProgramId::MgResidualFinest,
                               ProgramId::MgProlongFinest, ProgramId::MgSmooth,
                               ProgramId::MgSmoothZero,    ProgramId::MgRestrictResidual,
                               ProgramId::MgProlong,       ProgramId::MgProlongSmooth,
                               ProgramId::MgGalerkin};

// Every sampler name the programs use, by the unit it is bound to.
const char* const kSamplers[] = {"imgMap",         "divMap",   "fixedMap", "rhsMap",
                                 "stencilA",       "stencilB", "stencilC", "correctionMap",
                                 "coarseStencilC", "redMap",   "blackMap", "otherMap"};

std::vector<float> inputPixels(int seed)
{
    std::vector<float> pixels(size_t(kSize) * kSize * 4);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float* p = &pixels[(size_t(y) * kSize + x) * 4];
            p[0] = 0.5f + 0.001f * float((x * 7 + y * 3 + seed) % 97);
            p[1] = 0.4f;
            p[2] = 0.3f;
            p[3] = (x + 3 * y + seed) % 29 == 0 ? 1.0f : 0.0f; // a few constrained texels
        }
    }
    return pixels;
}

void BM_MultigridPass(benchmark::State& state)
{
    const ProgramEntry& files = programEntry(kPrograms[state.range(0)]);
    state.SetLabel(files.fragment);
    ShaderProgram program;
    if (!program.create(shaderPath(files.vertex), shaderPath(files.fragment))) {
        state.SkipWithError("the program does not build");
        return;
    }
    std::vector<Texture> inputs(sizeof kSamplers / sizeof kSamplers[0]);
    program.use();
    for (size_t unit = 0; unit < inputs.size(); ++unit) {
        inputs[unit].create(kSize, kSize, floatNearest());
        const std::vector<float> pixels = inputPixels(int(unit));
        inputs[unit].bind(int(unit));
        glTexSubImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, 0, 0, kSize, kSize, GL_RGBA, GL_FLOAT,
                        pixels.data());
        if (program.uniformLocation(kSamplers[unit]) >= 0)
            program.setSampler(kSamplers[unit], int(unit));
    }
    for (const char* name : {"width", "height", "fineWidth", "fineHeight"}) {
        if (program.uniformLocation(name) >= 0)
            program.setFloat(name, float(kSize));
    }
    if (program.uniformLocation("rhsWeight") >= 0)
        program.setFloat("rhsWeight", 1.0f);
    RenderTarget target;
    target.create(kSize, kSize, floatNearest());
    const double bare = medianBarePassSeconds(true);
    program.use();
    for (size_t unit = 0; unit < inputs.size(); ++unit)
        inputs[unit].bind(int(unit));
    target.bindAsTarget();
    glViewport(0, 0, kSize, kSize);
    glFinish();
    std::vector<double> times;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        drawWholeTargetQuad();
        glFinish();
        times.push_back(processCpuSeconds() - start);
    }
    ShaderProgram::release();
    std::nth_element(times.begin(), times.begin() + long(times.size() / 2), times.end());
    state.counters["bare_passes"] = times[times.size() / 2] / bare;
}

BENCHMARK(BM_MultigridPass)
    ->DenseRange(0, int(sizeof kPrograms / sizeof kPrograms[0]) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreenBenchmarks(argc, argv, "bench_multigrid_passes");
}
