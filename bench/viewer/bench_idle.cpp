// Frames drawn per second and CPU use of the viewer showing a drawing of 100 curves, at rest and
// while redrawing on every 1 ms timer tick. Run under `xvfb-run -a`.
//
// Counters: fps = frames drawn per second of wall time; cpu_percent = CPU time of this process
// (all threads, llvmpipe's included) per wall time, 100 = one core busy.

#include <GL/glew.h>

#include "viewer.h"
#include "curve_set_selection.h"

#include "widget_bench_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <cmath>
#include <memory>
#include <cstdio>

namespace {

// The viewer with its full update reachable, to solve the drawing after it is built in place.
class BenchViewer : public Viewer {
public:
    using Viewer::fullUpdate;
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec
           + usage.ru_stime.tv_usec * 1e-6;
}

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// 100 two-segment S curves on a 10 x 10 grid, each with its own pair of colours.
void buildHundredCurves(CurveSet& set)
{
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const double x0 = -0.9 + 0.18 * column;
            const double y0 = -0.9 + 0.18 * row;
            const int k = row * 10 + column;
            set.setLeftColor(QColor((37 * k) % 256, (91 * k) % 256, (53 * k + 40) % 256));
            set.setRightColor(QColor((113 * k + 90) % 256, (29 * k) % 256, (71 * k) % 256));
            set.newCurve();
            for (int i = 0; i < 7; ++i) {
                const double t = i / 6.0;
                set.appendControlPoint(x0 + 0.15 * t, y0 + 0.04 * std::sin(6.28 * t));
            }
            set.appendLeftColor(0, true);
            set.appendLeftColor(20, true);
            set.appendRightColor(0, true);
            set.appendRightColor(20, true);
            set.appendBlur(0, true);
            set.appendBlur(20, true);
        }
    }
    clearSelection(set);
}

BenchViewer* theViewer = nullptr;

void measure(benchmark::State& state, bool continuous)
{
    theViewer->setContinuousRepaint(continuous);
    runEventLoop(500); // settle
    double frames = 0.0;
    double cpu = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        const long framesBefore = theViewer->framesDrawn();
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        runEventLoop(2000);
        wall += clock.nsecsElapsed() * 1e-9;
        cpu += processCpuSeconds() - cpuBefore;
        frames += theViewer->framesDrawn() - framesBefore;
    }
    theViewer->setContinuousRepaint(false);
    state.counters["fps"] = frames / wall;
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}

void BM_IdleEditor(benchmark::State& state) { measure(state, false); }
void BM_ContinuousRepaint(benchmark::State& state) { measure(state, true); }

BENCHMARK(BM_IdleEditor)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContinuousRepaint)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<BenchViewer> viewer;
    return runWidgetBenchmarks(
        argc, argv,
        [&viewer] {
            viewer = std::make_unique<BenchViewer>();
            theViewer = viewer.get();
            viewer->setWindowTitle("Hueflow");
            viewer->show();
            for (int i = 0; i < 200 && !viewer->isGLReady(); ++i)
                runEventLoop(20);
            if (!viewer->isGLReady()) {
                std::fprintf(stderr, "the viewer's GL context never came up\n");
                return false;
            }
            buildHundredCurves(viewer->document());
            viewer->fullUpdate();
            std::printf("drawing: %d curves\n", viewer->document().nb_curves);
            return true;
        },
        [&viewer] { viewer.reset(); });
}
