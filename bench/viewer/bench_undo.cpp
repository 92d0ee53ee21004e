// The undo history on the real viewer under Xvfb, with a drawing of 1,000 curves:
// - BM_UndoOneDrag: after 200 mouse drags of curves (press, a move, release), one undo of a drag,
//   from the call to the re-solved picture (glFinish); redo between iterations is not timed.
//   Run with repetitions: the median is the figure.
// - BM_HistoryAfter200Drags: then the heap the history of those drags holds (counter stack_kib:
//   heap in use before minus after clearing it) and its step count (steps).
// The history keeps the same per drag whatever the number of moves; one move keeps the 200
// re-solves of the drags short.
#include <GL/glew.h>

#include "random_drawing.h"
#include "viewer.h"
#include "viewer_settings.h"

#include "widget_bench_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>

#include <malloc.h>

#include <chrono>
#include <memory>

namespace {

constexpr int kCurves = 1000;
constexpr int kDrags = 200;

std::unique_ptr<Viewer> theViewer; // shown and dragged once, shared by both benchmarks

double heapInUse() { return static_cast<double>(mallinfo2().uordblks); }

void sendMouse(Viewer& viewer, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(viewer.mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&viewer, &event);
}

QPoint pixelOf(const Point& p)
{
    return QPoint(qRound((p.x + 1.0) * 256), qRound((1.0 - p.y) * 256));
}

// Drags curve i by its middle: the curve is made current as a first click would, then pressed,
// moved and released.
void dragCurve(Viewer& viewer, int i)
{
    viewer.document().setCurrentCurve(i);
    const QPoint grab = pixelOf(viewer.document().curve(i).pointAt(0.5, 0));
    sendMouse(viewer, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(viewer, QEvent::MouseMove, grab + QPoint(8, 4), Qt::NoButton, Qt::LeftButton);
    sendMouse(viewer, QEvent::MouseButtonRelease, grab + QPoint(8, 4), Qt::LeftButton,
              Qt::NoButton);
    viewer.document().setCurrentCurve(-1);
}

bool prepare(benchmark::State& state)
{
    if (!theViewer) {
        theViewer = std::make_unique<Viewer>();
        theViewer->show();
        QElapsedTimer waited;
        waited.start();
        while (!theViewer->isGLReady() && waited.elapsed() < 20000) {
            QApplication::processEvents();
            QThread::msleep(5);
        }
        if (!theViewer->isGLReady()) {
            state.SkipWithError("no GL viewer");
            return false;
        }
        theViewer->document() = makeRandomDrawing(kCurves);
        theViewer->settings().setLifetimeThreshold(0); // full solve of the drawing
        theViewer->changeManipMode(ModeMovePoint);
        for (int d = 0; d < kDrags; ++d)
            dragCurve(*theViewer, (d * 37) % kCurves);
    }
    return true;
}

void BM_UndoOneDrag(benchmark::State& state)
{
    if (!prepare(state))
        return;
    DrawingHistory& history = theViewer->drawing().history();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        theViewer->drawing().undo();
        theViewer->makeCurrent();
        glFinish();
        theViewer->doneCurrent();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        theViewer->drawing().redo();
    }
    state.counters["steps"] = history.count();
}
BENCHMARK(BM_UndoOneDrag)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void BM_HistoryAfter200Drags(benchmark::State& state)
{
    for (auto _ : state) {
        if (!prepare(state))
            return;
        DrawingHistory& history = theViewer->drawing().history();
        state.counters["steps"] = history.count();
        const double before = heapInUse();
        history.clear();
        state.counters["stack_kib"] = (before - heapInUse()) / 1024.0;
    }
}
BENCHMARK(BM_HistoryAfter200Drags)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv, {}, [] { theViewer.reset(); });
}
