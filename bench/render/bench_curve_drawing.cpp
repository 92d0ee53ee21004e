// Timing of the curve rasterisation and display under the GL the machine offers (llvmpipe
// under xvfb-run -a): gradient lines (per axis and both at once), the stencil-guarded colour
// strips, blur strips, the display of all curves (aliased, and anti-aliased as the editor's view
// shows them) and one pick, for drawings of 1, 100 and 1000 curves, beside one bare
// full-screen 512 x 512 quad so that each figure can be read as a number of passes. Every
// iteration ends with glFinish. Time is wall time; CPU is the CPU time of the whole process,
// the GL's rasteriser threads included, which is steadier than wall time on a busy machine.
// Run: xvfb-run -a ./bench_curve_drawing
#include <GL/glew.h>

#include "curve_drawing.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "gl_objects.h"
#include "overlay_drawing.h"
#include "picker.h"

#include "bare_pass.h"
#include "random_drawing.h"

#include "offscreen_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>

namespace {

constexpr int kSize = 512;

const CurveSet& drawingOf(int count)
{
    static std::map<int, CurveSet> drawings;
    auto found = drawings.find(count);
    if (found == drawings.end())
        found = drawings.emplace(count, makeRandomDrawing(count, 4242u)).first;
    return found->second;
}

// A 512 x 512 half-float image with depth and stencil, bound with identity matrices, as the
// solver's level-0 constraint image is.
struct Target {
    Texture color, depthStencil;
    Framebuffer framebuffer;
    Target()
    {
        color.create(kSize, kSize, halfFloatNearest());
        depthStencil.create(kSize, kSize, depthStencilNearest());
        framebuffer.create();
        framebuffer.attachColor(color);
        framebuffer.attachDepthStencil(depthStencil);
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

template <typename Draw>
void run(benchmark::State& state, Draw draw)
{
    Target target;
    const CurveSet& set = drawingOf(int(state.range(0)));
    glFinish();
    for (auto _ : state) {
        draw(set);
        glFinish();
    }
}

void BM_BareQuad(benchmark::State& state)
{
    Target target;
    glFinish();
    for (auto _ : state) {
        drawWholeTargetQuad();
        glFinish();
    }
}

// Both gradient images as the export draws them, one axis at a time, and as the solver draws
// them, in one pass of the lines (only the x image is attached here).
void BM_Gradients(benchmark::State& state)
{
    run(state, [](const CurveSet& set) {
        drawGradientsX(set);
        drawGradientsY(set);
    });
}

void BM_GradientPairs(benchmark::State& state) { run(state, drawGradientPairs); }

void BM_ColorConstraints(benchmark::State& state) { run(state, drawColorConstraints); }

void BM_BlurStrips(benchmark::State& state) { run(state, drawBlurStrips); }

// What the constraint images of a quick update (both gradients and the colour constraints) cost
// before the pixels: geometry, submission, vertex processing and binning, with a 1 x 1 scissor
// so that almost nothing is rasterised. The rest of their figures is the rasteriser's.
void BM_ConstraintsScissored(benchmark::State& state)
{
    run(state, [](const CurveSet& set) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        drawGradientPairs(set);
        drawColorConstraints(set);
        glDisable(GL_SCISSOR_TEST);
    });
}

void BM_DrawCurves(benchmark::State& state)
{
    run(state, [](const CurveSet& set) {
        glColor3f(0.0f, 0.0f, 0.0f);
        drawCurves(set);
    });
}

// The same curves as the editor's view shows them: anti-aliased, blended over the picture.
void BM_DrawCurvesInView(benchmark::State& state)
{
    run(state, [](const CurveSet& set) { drawCurvesInView(set, View()); });
}

// One 5-pixel pick at the centre, as a left press without a current curve does.
void BM_Pick(benchmark::State& state)
{
    run(state, [](const CurveSet& set) {
        PickQuery query;
        query.x = query.y = kSize / 2;
        query.viewport[2] = query.viewport[3] = kSize;
        benchmark::DoNotOptimize(pickCurveSet(set, query));
    });
}

#define DRAWING_BENCHMARK(fn)                                                                      \
    BENCHMARK(fn)                                                                                  \
        ->Arg(1)                                                                                   \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Repetitions(7)                                                                           \
        ->ReportAggregatesOnly(true)

BENCHMARK(BM_BareQuad)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
DRAWING_BENCHMARK(BM_Gradients);
DRAWING_BENCHMARK(BM_GradientPairs);
DRAWING_BENCHMARK(BM_ColorConstraints);
DRAWING_BENCHMARK(BM_BlurStrips);
DRAWING_BENCHMARK(BM_ConstraintsScissored);
DRAWING_BENCHMARK(BM_DrawCurves);
DRAWING_BENCHMARK(BM_DrawCurvesInView);
DRAWING_BENCHMARK(BM_Pick);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreenBenchmarks(argc, argv, "bench_curve_drawing",
                                  [] { return initCurveRendering(1.0 / kSize, kSize, kSize, 0); });
}
