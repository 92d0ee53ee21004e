// Timing of the diffusion solver under the GL the machine offers (llvmpipe under xvfb-run -a):
// update (the drawing unchanged), a drag step (one curve moved by a pixel, then update: the
// re-solve of one mouse move), the editor's progressive drag frame and rest frame, fullUpdate with blur off and on, and saveImage with and without
// blur for drawings of 1, 100 and 1000 curves, update with the drawing in OKLab, the picture's
// read-back per encoding and the view's display pass, plus one bare full-screen 512 x 512 pass so that every figure can be read as a number
// of passes. Every iteration ends with glFinish. Run: xvfb-run -a ./bench_solver
#include <GL/glew.h>

#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "gl_objects.h"
#include "shader_program.h"

#include <QDir>

#include "bare_pass.h"
#include "random_drawing.h"
#include "traced_photo.h"
#include "curve_transforms.h"

#include "offscreen_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kSize = 512;

struct Renderer {
    std::unique_ptr<DiffusionSolver> solver;
    CurveSet drawing;
};

// Range kTracedPhotoCurves stands for the drawing of a traced photo (about as many curves);
// the others are random drawings of that many curves.
constexpr int kTracedPhotoCurves = 1500;

Renderer& rendererFor(int curves)
{
    static std::map<int, std::unique_ptr<Renderer>> renderers;
    auto& slot = renderers[curves];
    if (!slot) {
        slot = std::make_unique<Renderer>();
        slot->drawing =
            curves == kTracedPhotoCurves ? makeTracedPhotoDrawing() : makeRandomDrawing(curves);
        slot->solver = std::make_unique<DiffusionSolver>(kSize, kSize, 3, 1.0, 0.0, 0.0);
        slot->solver->initialize();
        // As the editor draws them: each frame redraws only the region the change covers.
        slot->solver->rasteriser().setRegionRedraws(true);
        slot->solver->setCurveSet(slot->drawing);
    }
    return *slot;
}

void BM_Update(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    for (auto _ : state) {
        r.solver->update();
        glFinish();
    }
}

// One mouse move of a drag: the first curve moves by a pixel (back and forth), then the quick
// update rasterises and re-solves from the previous picture.
// Times `frame(solver)` after each move of the first curve of the drawing of range(0) curves by
// a pixel, back and forth, from a settled picture.
template <class Frame>
void timeDragFrames(benchmark::State& state, Frame frame)
{
    Renderer& r = rendererFor(int(state.range(0)));
    r.solver->fullUpdate();
    Curve& dragged = r.drawing.curves[0];
    dragged.setDragAnchor(0.0, 0.0);
    int step = 0;
    glFinish();
    for (auto _ : state) {
        translateTo(dragged, (++step % 2) * 2.0 / kSize, 0.0);
        frame(*r.solver);
        glFinish();
    }
}

void BM_DragStep(benchmark::State& state)
{
    timeDragFrames(state, [](DiffusionSolver& solver) { solver.update(); });
}

// One frame of the editor's progressive drag (PictureRefresh): the first curve moves by a pixel,
// the drawing is rasterised again and the moving frame's cycles go on from the previous
// frame's picture; nothing is read back. Range 1500 is a traced photo (see rendererFor).
void BM_ProgressiveDragFrame(benchmark::State& state)
{
    timeDragFrames(state, [](DiffusionSolver& solver) {
        solver.beginProgressiveSolve(false);
        solver.progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
    });
}

// The first frame once the pointer rests: its cycles and the read-back of the last one's
// largest change.
void BM_ProgressiveRestFrame(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    r.solver->fullUpdate();
    glFinish();
    for (auto _ : state) {
        r.solver->progressiveStep(true, DiffusionSolver::kFirstRestCycles);
        glFinish();
    }
}

// Where the time of one solve goes: the drag step of BM_DragStep (range 1: 0), a fresh solve
// from grey (1) or the progressive drag frame of BM_ProgressiveDragFrame (2), of the drawing of range(0) curves, split into rasterising (gradients,
// divergence and colour constraints) and the multigrid's phases. Each phase ends with glFinish
// and is timed in process CPU time (the GL's threads included), which other processes on the
// machine do not inflate; the counters give each phase's mean in bare 512 x 512 passes timed
// the same way just before (the median of the repetitions is the figure to quote). "cycles" and
// "checks" count the multigrid cycles and the stop rule's checks per solve: the drag's cost is
// mostly their number times their price.
void BM_SolvePhases(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    const bool fresh = state.range(1) == 1;
    r.solver->fullUpdate();
    Curve& dragged = r.drawing.curves[0];
    dragged.setDragAnchor(0.0, 0.0);
    const double bare = medianBarePassSeconds(true);
    std::map<std::string, double> seconds;
    std::string phase;
    double cycles = 0.0; // each cycle restricts the finest level's residual once
    double checks = 0.0;
    double start = processCpuSeconds();
    auto begin = [&](const char* next) {
        glFinish();
        const double now = processCpuSeconds();
        if (!phase.empty())
            seconds[phase] += now - start;
        phase = next;
        start = now;
        cycles += phase == "level 0 residual and restriction";
        checks += phase == "stop rule";
    };
    setMultigridPhaseHook(begin);
    const bool frame = state.range(1) == 2;
    int step = 0;
    for (auto _ : state) {
        translateTo(dragged, (++step % 2) * 2.0 / kSize, 0.0);
        begin("rasterising");
        if (frame) {
            r.solver->beginProgressiveSolve(false);
            begin("solve set-up");
            r.solver->progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
            begin("");
            continue;
        }
        r.solver->rasteriser().buildDivergencePyramid(r.solver->currentView());
        r.solver->rasteriser().buildColorConstraints(r.solver->currentView(), false);
        begin("solve set-up");
        r.solver->solveColors(!fresh);
        begin("");
    }
    setMultigridPhaseHook({});
    double total = 0.0;
    for (const auto& entry : seconds) {
        state.counters[entry.first] = entry.second / double(state.iterations()) / bare;
        total += entry.second;
    }
    state.counters["total"] = total / double(state.iterations()) / bare;
    state.counters["bare_ms"] = bare * 1e3;
    state.counters["cycles"] = cycles / double(state.iterations());
    state.counters["checks"] = checks / double(state.iterations());
}

// The progressive drag frame of BM_ProgressiveDragFrame in a drawing of range(0) layers of 100
// random curves each (the layers above the bottom one at opacity 0.6), the first curve of the
// top layer dragged: one layer is the plain path, more are solved a layer at a time, the dragged
// layer alone, and composited. range(1): 1, that drag at zoom 1; 2, at zoom 2, where each frame
// also solves the dragged layer's whole canvas for its edge ring (the other layers keep theirs);
// 3, a pan at zoom 2 instead, the view moved a pixel a frame and every layer solved afresh (their
// whole canvases kept). "frame" is the frame's process CPU time in bare 512 x 512 passes timed
// the same way just before.
void BM_LayeredDragFrame(benchmark::State& state)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Renderer>> renderers;
    const int layers = int(state.range(0));
    const int mode = int(state.range(1));
    const double zoom = mode == 1 ? 1.0 : 2.0;
    const bool pan = mode == 3;
    auto& r = renderers[{layers, mode}];
    if (!r) {
        r = std::make_unique<Renderer>();
        r->drawing.layers.clear();
        for (int k = 0; k < layers; ++k) {
            const CurveSet one = makeRandomDrawing(100, 12345u + unsigned(k));
            r->drawing.curves += one.curves;
            Layer layer{QStringLiteral("layer %1").arg(k + 1)};
            layer.opacity = k == 0 ? 1.0 : 0.6;
            layer.curveCount = one.curves.size();
            r->drawing.layers.append(layer);
        }
        r->drawing.nb_curves = r->drawing.curves.size();
        r->solver = std::make_unique<DiffusionSolver>(kSize, kSize, 3, 1.0, 0.0, 0.0);
        r->solver->initialize();
        r->solver->rasteriser().setRegionRedraws(true);
        r->solver->setCurveSet(r->drawing);
        r->solver->setView(View{zoom, Point(0.1, -0.1)});
    }
    r->solver->fullUpdate();
    Curve& dragged = r->drawing.curves[r->drawing.layerRange(layers - 1).first];
    dragged.setDragAnchor(0.0, 0.0);
    const double bare = medianBarePassSeconds(true);
    int step = 0;
    double seconds = 0.0;
    glFinish();
    for (auto _ : state) {
        const double shift = (++step % 2) * 2.0 / kSize;
        if (pan)
            r->solver->setView(View{zoom, Point(0.1 + shift / zoom, -0.1)});
        else
            translateTo(dragged, shift, 0.0);
        const double start = processCpuSeconds();
        r->solver->beginProgressiveSolve(pan);
        r->solver->progressiveStep(false, 2);
        glFinish();
        seconds += processCpuSeconds() - start;
    }
    state.counters["frame"] = seconds / double(state.iterations()) / bare;
    state.counters["bare_ms"] = bare * 1e3;
}

void BM_FullUpdateBlurOff(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    r.solver->settings().blurEnabled = false;
    for (auto _ : state) {
        r.solver->fullUpdate();
        glFinish();
    }
}

void BM_FullUpdateBlurOn(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    r.solver->settings().blurEnabled = true;
    for (auto _ : state) {
        r.solver->fullUpdate();
        glFinish();
    }
    r.solver->settings().blurEnabled = false;
}

void BM_SaveImage(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    const QString path = QDir::temp().filePath(QStringLiteral("tintweave_bench_solver.png"));
    for (auto _ : state) {
        r.solver->saveImage(path);
        glFinish();
    }
    QFile::remove(path);
}

// saveImage of the same drawing with every blur value 0: no blur pass runs.
void BM_SaveImageNoBlur(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    CurveSet sharp = r.drawing;
    for (Curve& curve : sharp.curves)
        setUniformBlur(curve, 0);
    r.solver->setCurveSet(sharp);
    const QString path = QDir::temp().filePath(QStringLiteral("tintweave_bench_solver.png"));
    for (auto _ : state) {
        r.solver->saveImage(path);
        glFinish();
    }
    QFile::remove(path);
    r.solver->setCurveSet(r.drawing);
}

// The picture leaving the solver, the drawing of 100 curves solved once: savePicture (read-back
// and PNG) per encoding. 0: sRGB rounded to 8 bits (the plain read-back), 1: sRGB dithered to 8
// bits, 2: sRGB in 16 bits, 3: OKLab converted back to sRGB and dithered to 8 bits.
void BM_SavePictureEncoding(benchmark::State& state)
{
    Renderer& r = rendererFor(100);
    const int mode = int(state.range(0));
    CurveSet drawing = r.drawing;
    drawing.colour_space = mode == 3 ? ColourSpace::Oklab : ColourSpace::Srgb;
    r.solver->setCurveSet(drawing);
    r.solver->fullUpdate();
    r.solver->settings().exportEncoding = {mode == 2 ? 16 : 8, mode != 0};
    const QString path = QDir::temp().filePath(QStringLiteral("tintweave_bench_encoding.png"));
    glFinish();
    for (auto _ : state) {
        r.solver->savePicture(path);
        glFinish();
    }
    QFile::remove(path);
    r.solver->settings().exportEncoding = PictureEncoding();
    r.solver->setCurveSet(r.drawing);
}

// One frame of the view: display of the picture into a 512 x 512 framebuffer, converted to
// sRGB and dithered (argument 1) or converted only (0).
void BM_DisplayPicture(benchmark::State& state)
{
    Renderer& r = rendererFor(1);
    r.solver->fullUpdate();
    r.solver->settings().displayDither = state.range(0) != 0;
    RenderTarget window;
    window.create(kSize, kSize, rgba8Nearest());
    glFinish();
    for (auto _ : state) {
        r.solver->display().draw(kSize, kSize, DisplayMode::Picture, window.framebuffer.name());
        glFinish();
    }
    r.solver->settings().displayDither = true;
}

// update of the same drawings diffused in OKLab: the colours are converted on every rasterising.
// A new drawing makes the next solve a fresh one, so one untimed update first: the timed ones
// re-solve from the previous picture, as BM_Update does.
void BM_UpdateOklab(benchmark::State& state)
{
    Renderer& r = rendererFor(int(state.range(0)));
    CurveSet drawing = r.drawing;
    drawing.colour_space = ColourSpace::Oklab;
    r.solver->setCurveSet(drawing);
    r.solver->update();
    glFinish();
    for (auto _ : state) {
        r.solver->update();
        glFinish();
    }
    r.solver->setCurveSet(r.drawing);
}

#define SOLVER_BENCHMARK(fn, reps)                                                                 \
    BENCHMARK(fn)                                                                                  \
        ->Arg(1)                                                                                   \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(1)                                                                            \
        ->Repetitions(reps)                                                                        \
        ->ReportAggregatesOnly(true)

BENCHMARK(BM_BarePass)
    ->Arg(512)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
SOLVER_BENCHMARK(BM_Update, 7);
SOLVER_BENCHMARK(BM_DragStep, 7);
SOLVER_BENCHMARK(BM_ProgressiveDragFrame, 7)->Arg(1500);
SOLVER_BENCHMARK(BM_ProgressiveRestFrame, 7);
BENCHMARK(BM_SolvePhases)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({100, 2})
    ->Args({1500, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LayeredDragFrame)
    ->Args({1, 1})
    ->Args({3, 1})
    ->Args({1, 2})
    ->Args({3, 2})
    ->Args({1, 3})
    ->Args({3, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
SOLVER_BENCHMARK(BM_FullUpdateBlurOff, 5);
SOLVER_BENCHMARK(BM_FullUpdateBlurOn, 3);
SOLVER_BENCHMARK(BM_SaveImage, 3);
SOLVER_BENCHMARK(BM_SaveImageNoBlur, 3);
SOLVER_BENCHMARK(BM_UpdateOklab, 7);
BENCHMARK(BM_SavePictureEncoding)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DisplayPicture)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    // The first solver prints its uniform lookups; keep them out of the table.
    return runOffscreenBenchmarks(argc, argv, "bench_solver", [] {
        initCurveRendering(1.0 / kSize, kSize, kSize, 0);
        return true;
    });
}
