// Cost of the picture export at 512, 1024, 2048 and 4096 pixels: wall time and peak memory of
// renderImage (the final quality, blurred) for a random drawing of 100 curves, each size in a
// process of its own so that the peak resident size (getrusage ru_maxrss) is that export's.
// Counters: peak_MB (the process's peak), export_MB (the peak above the resident size just
// before the export: what the export itself needs), and time_vs_512 / memory_vs_512 (export_MB)
// against the 512 export of the same run. The child renders through EGL's surfaceless platform,
// so the parent makes no GL context before forking. Run: xvfb-run -a ./bench_export_sizes
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "surfaceless_context.h"

#include <QImage>

#include "random_drawing.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

struct ExportCost {
    bool ok = false;
    double seconds = 0.0;
    double peakMb = 0.0;
    double exportMb = 0.0;
};

double currentResidentMb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakResidentMb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // KiB on Linux
}

// In the child: one export at `size`, its cost written to `out`.
void measureInChild(int size, int out)
{
    ExportCost cost;
    SurfacelessContext context;
    if (context.create()) {
        DiffusionSolver solver(512, 512, kDefaultIterations, 1.0, 0.0, 0.0);
        if (solver.initialize()
            && initCurveRendering(1.0 / 512.0, 512, 512,
                                  solver.images().overviewFramebufferName())) {
            const CurveSet drawing = makeRandomDrawing(100);
            solver.setCurveSet(drawing);
            solver.fullUpdate();
            const double before = currentResidentMb();
            PictureRequest request;
            request.size = size;
            const auto start = std::chrono::steady_clock::now();
            const QImage image = solver.renderImage(request);
            const auto end = std::chrono::steady_clock::now();
            cost.ok = image.width() == size;
            cost.seconds = std::chrono::duration<double>(end - start).count();
            cost.peakMb = peakResidentMb();
            cost.exportMb = cost.peakMb - before;
        }
    }
    if (write(out, &cost, sizeof cost) != ssize_t(sizeof cost))
        _exit(2);
}

ExportCost measure(int size)
{
    int fds[2];
    ExportCost cost;
    if (pipe(fds) != 0)
        return cost;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        measureInChild(size, fds[1]);
        _exit(0);
    }
    close(fds[1]);
    if (child > 0) {
        if (read(fds[0], &cost, sizeof cost) != ssize_t(sizeof cost))
            cost.ok = false;
        waitpid(child, nullptr, 0);
    }
    close(fds[0]);
    return cost;
}

std::map<int, ExportCost>& costs()
{
    static std::map<int, ExportCost> measured;
    return measured;
}

void BM_ExportAtSize(benchmark::State& state)
{
    const int size = int(state.range(0));
    ExportCost cost;
    for (auto _ : state) {
        cost = measure(size);
        if (!cost.ok) {
            state.SkipWithError("the export could not be made");
            return;
        }
        state.SetIterationTime(cost.seconds);
    }
    costs()[size] = cost;
    state.counters["peak_MB"] = cost.peakMb;
    state.counters["export_MB"] = cost.exportMb;
    state.counters["pixels_vs_512"] = double(size) * size / (512.0 * 512.0);
    const auto base = costs().find(512);
    if (base != costs().end() && base->second.ok) {
        state.counters["time_vs_512"] = cost.seconds / base->second.seconds;
        state.counters["memory_vs_512"] = cost.exportMb / base->second.exportMb;
    }
}

// 512 first: the ratios of the other sizes are taken against it.
BENCHMARK(BM_ExportAtSize)
    ->Arg(512)
    ->Arg(1024)
    ->Arg(2048)
    ->Arg(4096)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
