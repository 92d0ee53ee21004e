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
#include "curve_geometry_cache.h"
#include "curve_pick_index.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "gl_objects.h"
#include "overlay_curves.h"
#include "overlay_drawing.h"
#include "overlay_layer.h"
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

// ---- one frame of a drag: one curve moved, the images redrawn
// Modes: 0 every curve tessellated again and the whole image drawn (as before the geometry was
// kept), 1 kept geometry and the whole image, 2 kept geometry and only the region the moved
// curve covered and covers (the editor's quick update with region redraws on).
enum DragMode { Retessellate = 0, KeptWhole = 1, KeptRegion = 2 };

// A solver over a copy of the drawing of `count` curves, whose curve `count / 2` moves by a
// hundredth of the canvas to and fro each frame.
class DragFrames {
public:
    DragFrames(int count, DragMode mode)
        : drawing(drawingOf(count)), moved(count / 2), mode(mode), solver(kSize, kSize, 3, 1, 0, 0)
    {
        solver.initialize();
        solver.setCurveSet(drawing);
        solver.rasteriser().setRegionRedraws(mode == KeptRegion);
    }
    // Moves the curve for the next frame.
    void step()
    {
        const double dx = (frame++ % 2 == 0) ? 0.01 : -0.01;
        for (Point& p : drawing.curves[moved].control_points)
            p = p + Point(dx, 0.5 * dx);
        if (mode == Retessellate)
            solver.rasteriser().geometry().invalidateAll();
    }
    SolverRasteriser& rasteriser() { return solver.rasteriser(); }

private:
    CurveSet drawing;
    int moved;
    DragMode mode;
    DiffusionSolver solver;
    int frame = 0;
};

template <typename Pass>
void runDrag(benchmark::State& state, Pass pass)
{
    DragFrames frames(int(state.range(1)), DragMode(state.range(0)));
    pass(frames.rasteriser()); // the images hold the drawing
    glFinish();
    for (auto _ : state) {
        frames.step();
        pass(frames.rasteriser());
        glFinish();
    }
}

// Gradients and divergence of a quick update.
void BM_DragGradients(benchmark::State& state)
{
    runDrag(state, [](SolverRasteriser& r) { r.buildDivergencePyramid(View()); });
}

// The colour constraints of a quick update.
void BM_DragConstraints(benchmark::State& state)
{
    runDrag(state, [](SolverRasteriser& r) { r.buildColorConstraints(View(), false); });
}

// A copy of the drawing of `count` curves whose curve count / 2 moves to and fro each frame.
class MovingDrawing {
public:
    explicit MovingDrawing(int count) : drawing(drawingOf(count)), moved(count / 2) {}
    const CurveSet& step()
    {
        const double dx = (frame++ % 2 == 0) ? 0.01 : -0.01;
        for (Point& p : drawing.curves[moved].control_points)
            p = p + Point(dx, 0.5 * dx);
        return drawing;
    }

private:
    CurveSet drawing;
    int moved;
    int frame = 0;
};

// The overlay of a drag frame: mode 0 made afresh (as before), 1 from the kept lines (those of
// the curves at rest composited from their layer), 2 kept and thinned for a dense drawing (only
// the selected curves' lines; none selected here).
void BM_DragOverlay(benchmark::State& state)
{
    Target target;
    MovingDrawing moving(int(state.range(1)));
    CurveOverlayCache cache;
    OverlayLayer layer;
    OverlayOptions options;
    if (state.range(0) == 2)
        options.lines = OverlayOptions::Lines::SelectedOnly;
    const auto draw = [&](const CurveSet& set) {
        if (state.range(0) == 0)
            drawCurvesInView(set, View());
        else
            drawCurvesInView(set, View(), cache, layer, options);
    };
    draw(moving.step());
    glFinish();
    for (auto _ : state) {
        draw(moving.step());
        glFinish();
    }
}

// One 5-pixel pick at the centre of a drag frame: mode 0 the GL selection pass (as before),
// 1 the grid of kept bodies.
void BM_DragPick(benchmark::State& state)
{
    Target target;
    MovingDrawing moving(int(state.range(1)));
    CurvePickIndex index;
    PickQuery query;
    query.x = query.y = kSize / 2;
    query.viewport[2] = query.viewport[3] = kSize;
    const auto pick = [&](const CurveSet& set) {
        if (state.range(0) == 0)
            return pickCurveSet(set, query);
        return pickCurveSetIndexed(set, index, query);
    };
    pick(moving.step());
    glFinish();
    for (auto _ : state) {
        benchmark::DoNotOptimize(pick(moving.step()));
        glFinish();
    }
}

#define DRAG_BENCHMARK(fn)                                                                         \
    BENCHMARK(fn)                                                                                  \
        ->ArgsProduct({{Retessellate, KeptWhole, KeptRegion}, {100, 1500}})                        \
        ->ArgNames({"mode", "curves"})                                                             \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Repetitions(7)                                                                           \
        ->ReportAggregatesOnly(true)

#define DRAWING_BENCHMARK(fn)                                                                      \
    BENCHMARK(fn)                                                                                  \
        ->Arg(1)                                                                                   \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Arg(1500)                                                                                \
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
// The unit of the figures: one bare 512 x 512 pass (bare_pass.h).
BENCHMARK(BM_BarePass)
    ->Arg(512)
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
DRAG_BENCHMARK(BM_DragGradients);
DRAG_BENCHMARK(BM_DragConstraints);
DRAG_BENCHMARK(BM_DragOverlay);
BENCHMARK(BM_DragPick)
    ->ArgsProduct({{0, 1}, {100, 1500}})
    ->ArgNames({"mode", "curves"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreenBenchmarks(argc, argv, "bench_curve_drawing",
                                  [] { return initCurveRendering(1.0 / kSize, kSize, kSize, 0); });
}
