// Cost of the PDF export: wall time, file size and triangle count of renderPdf for random
// drawings of 100 and 1000 curves (the solve at twice the canvas, the mesh, the file), and the
// triangle count of 100 curves against the tolerance. Times also in bare 512 x 512 passes of
// the same run (time_in_bare_passes). Run: xvfb-run -a ./bench_pdf_export
#include "bare_pass.h"

#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "offscreen_bench_main.h"
#include "pdf_export.h"
#include "random_drawing.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

void exportPdf(benchmark::State& state, int curves, double tolerance)
{
    DiffusionSolver solver(kCanvasSize, kCanvasSize, kDefaultIterations, 1.0, 0.0, 0.0);
    if (!solver.initialize()
        || !initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                               solver.images().overviewFramebufferName())) {
        state.SkipWithError("no solver");
        return;
    }
    const CurveSet drawing = makeRandomDrawing(curves);
    PdfOptions options;
    options.tolerance = tolerance;
    PdfReport report;
    double seconds = 0.0;
    for (auto _ : state) {
        QString why;
        const auto start = std::chrono::steady_clock::now();
        const QByteArray pdf = renderPdf(drawing, solver, options, &why, &report);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (pdf.isEmpty())
            state.SkipWithError(why.toLocal8Bit().constData());
    }
    state.counters["MB"] = report.bytes / (1024.0 * 1024.0);
    state.counters["triangles"] = report.triangles;
    state.counters["time_in_bare_passes"] = seconds / medianBarePassSeconds();
}

void BM_PdfOfCurves(benchmark::State& state)
{
    exportPdf(state, int(state.range(0)), kDefaultPdfTolerance);
}

// Tolerance in quarters of a level.
void BM_PdfTolerance(benchmark::State& state) { exportPdf(state, 100, state.range(0) / 4.0); }

BENCHMARK(BM_PdfOfCurves)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PdfTolerance)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    // The first solver prints its uniform lookups; keep them out of the table.
    return runOffscreenBenchmarks(argc, argv, "bench_pdf_export", [] {
        initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize, 0);
        return true;
    });
}
