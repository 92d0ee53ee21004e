// Timing of the bitmap tracer on a photo-like picture (bench/support/landscape_picture.h, or the
// photo named by TINTWEAVE_BENCH_PHOTO) at 512 x 512 and 1024 x 1024: the whole trace and each
// stage on its own, so that each stage's share can be read; plus one colour-fitting round (three
// renders of the traced drawing) and one bare 512 x 512 pass under the same GL.
// Run: xvfb-run -a ./bench_trace
#include "bare_pass.h"
#include "landscape_picture.h"

#include "bitmap_tracer.h"
#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "trace_refinement.h"

#include <QImage>

#include "offscreen_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int kCanvas = 512;

// The picture and the results of each stage at one size, made once.
struct Fixture {
    QImage picture;
    cv::Mat rgb;
    trace::Parameters parameters;
    trace::EdgeMap edges;
    std::vector<trace::Chain> chains;
};

const Fixture& fixtureFor(int size)
{
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto& slot = fixtures[size];
    if (!slot) {
        slot = std::make_unique<Fixture>();
        const char* photo = std::getenv("TINTWEAVE_BENCH_PHOTO");
        const QImage loaded = photo ? QImage(QString::fromLocal8Bit(photo)) : QImage();
        slot->picture = loaded.isNull() ? makeLandscapePicture(size)
                                        : loaded.scaled(size, size, Qt::IgnoreAspectRatio,
                                                        Qt::SmoothTransformation);
        slot->rgb = trace::toRgb(slot->picture);
        slot->parameters = trace::parametersFor({}, size, size);
        slot->edges = trace::detectEdges(slot->rgb, slot->parameters);
        slot->chains =
            trace::dropShortChains(trace::joinAtJunctions(trace::linkEdges(slot->edges.edges)),
                                   slot->parameters.minChainLength);
    }
    return *slot;
}

void BM_TraceWhole(benchmark::State& state)
{
    const Fixture& f = fixtureFor(int(state.range(0)));
    int curves = 0;
    for (auto _ : state)
        curves = traceBitmap(f.picture).drawing.nb_curves;
    state.counters["curves"] = curves;
}

void BM_StageEdges(benchmark::State& state)
{
    const Fixture& f = fixtureFor(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(trace::detectEdges(f.rgb, f.parameters));
}

void BM_StageChains(benchmark::State& state)
{
    const Fixture& f = fixtureFor(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            trace::dropShortChains(trace::joinAtJunctions(trace::linkEdges(f.edges.edges)),
                                   f.parameters.minChainLength));
}

void BM_StageFit(benchmark::State& state)
{
    const Fixture& f = fixtureFor(int(state.range(0)));
    for (auto _ : state)
        for (const trace::Chain& chain : f.chains)
            benchmark::DoNotOptimize(trace::fitBeziers(trace::locateChain(chain, f.edges),
                                                       chain.closed, f.parameters.fitTolerance));
}

void BM_StageBlurAndColors(benchmark::State& state)
{
    const Fixture& f = fixtureFor(int(state.range(0)));
    std::vector<Curve> curves;
    for (const trace::Chain& chain : f.chains) {
        const QVector<Point> control = trace::fitBeziers(trace::locateChain(chain, f.edges),
                                                         chain.closed, f.parameters.fitTolerance);
        if (control.size() >= 4)
            curves.push_back(trace::makeCurve(control, chain.closed, f.rgb.cols, f.rgb.rows, 0));
    }
    for (auto _ : state) {
        for (size_t i = 0; i < curves.size(); ++i) {
            Curve curve = curves[i];
            const double sigma = trace::chainBlur(f.chains[i], f.edges);
            trace::sampleSideColors(curve, f.rgb, 1.5 + 2.0 * sigma, f.parameters.colorTolerance);
            benchmark::DoNotOptimize(curve);
        }
    }
}

// One colour-fitting round at the editor's canvas: three renders (before, the round's direction,
// after) and the least-squares fit.
void BM_ColorRound(benchmark::State& state)
{
    const Fixture& f = fixtureFor(kCanvas);
    const CurveSet traced = traceBitmap(f.picture).drawing;
    DiffusionSolver solver(kCanvas, kCanvas, kDefaultIterations, 1.0, 0.0, 0.0);
    solver.initialize();
    for (auto _ : state) {
        CurveSet drawing = traced;
        refineTracedColors(solver, drawing, f.picture, 1);
    }
}

// One render of the traced drawing at the editor's canvas (export quality, blurred), as a colour
// round and --render make it; with the argument 0, unblurred.
void BM_RenderTraced(benchmark::State& state)
{
    const Fixture& f = fixtureFor(kCanvas);
    const CurveSet traced = traceBitmap(f.picture).drawing;
    DiffusionSolver solver(kCanvas, kCanvas, kDefaultIterations, 1.0, 0.0, 0.0);
    solver.initialize();
    solver.setCurveSet(traced);
    PictureRequest request;
    request.blur = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(solver.renderImage(request));
}

// What tintweave-trace does with its defaults and --render: trace, the default colour rounds, and
// the picture written (the fit's last render).
void BM_TraceAndRender(benchmark::State& state)
{
    const Fixture& f = fixtureFor(kCanvas);
    DiffusionSolver solver(kCanvas, kCanvas, kDefaultIterations, 1.0, 0.0, 0.0);
    solver.initialize();
    for (auto _ : state) {
        CurveSet drawing = traceBitmap(f.picture).drawing;
        QImage picture;
        refineTracedColors(solver, drawing, f.picture, kDefaultTraceRounds, {}, &picture);
        benchmark::DoNotOptimize(picture);
    }
}

#define TRACE_BENCHMARK(name)                                                                      \
    BENCHMARK(name)                                                                                \
        ->Arg(512)                                                                                 \
        ->Arg(1024)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->Iterations(3)

TRACE_BENCHMARK(BM_TraceWhole);
TRACE_BENCHMARK(BM_StageEdges);
TRACE_BENCHMARK(BM_StageChains);
TRACE_BENCHMARK(BM_StageFit);
TRACE_BENCHMARK(BM_StageBlurAndColors);
BENCHMARK(BM_ColorRound)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RenderTraced)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_TraceAndRender)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BarePass)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    return runOffscreenBenchmarks(argc, argv, "bench_trace", [] {
        initCurveRendering(1.0 / kCanvas, kCanvas, kCanvas, 0);
        return true;
    });
}
