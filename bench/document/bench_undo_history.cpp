// The undo history of a 1,000-curve drawing at the level of the document, without GL:
// - BM_HistoryMemory200Drags: 200 drags, each of one curve, kept (a) as the change each drag made
//   (what the editor's history stores) and (b) as a whole-drawing snapshot per step (the
//   alternative); counters history_kib and snapshots_kib are the heap each kept alive.
// - BM_RevertOneDrag: undo (revert) of one drag's change on the drawing; redo is not timed.
#include "curve_set.h"
#include "drawing_change.h"
#include "random_drawing.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <vector>

namespace {

constexpr int kCurves = 1000;
constexpr int kDrags = 200;

// Heap bytes in use, as the allocator counts them.
double heapInUse() { return static_cast<double>(mallinfo2().uordblks); }

// One drag of curve i by a few moves, as the viewer makes it.
void dragCurve(CurveSet& set, int i)
{
    set.setCurrentCurve(i);
    set.beginDrag(0.0, 0.0, true);
    for (int move = 1; move <= 4; ++move)
        set.dragTo(0.01 * move, -0.005 * move);
    set.beginDrag(0.0, 0.0, false);
    set.setCurrentCurve(-1);
}

void BM_HistoryMemory200Drags(benchmark::State& state)
{
    double historyBytes = 0.0, snapshotBytes = 0.0;
    for (auto _ : state) {
        CurveSet set = makeRandomDrawing(kCurves);
        {
            const double start = heapInUse();
            std::vector<DrawingChange> history;
            for (int d = 0; d < kDrags; ++d) {
                const DrawingSnapshot before = DrawingSnapshot::of(set);
                dragCurve(set, (d * 37) % kCurves);
                history.push_back(DrawingChange::between(before, set));
            }
            // What the drawing itself gained (its detached arrays) stays when the history goes.
            const double withHistory = heapInUse();
            history.clear();
            history.shrink_to_fit();
            historyBytes = withHistory - heapInUse();
            benchmark::DoNotOptimize(start);
        }
        {
            std::vector<DrawingSnapshot> snapshots;
            for (int d = 0; d < kDrags; ++d) {
                snapshots.push_back(DrawingSnapshot::of(set));
                dragCurve(set, (d * 37) % kCurves);
            }
            const double withSnapshots = heapInUse();
            snapshots.clear();
            snapshots.shrink_to_fit();
            snapshotBytes = withSnapshots - heapInUse();
        }
    }
    state.counters["history_kib"] = historyBytes / 1024.0;
    state.counters["snapshots_kib"] = snapshotBytes / 1024.0;
}
BENCHMARK(BM_HistoryMemory200Drags)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RevertOneDrag(benchmark::State& state)
{
    CurveSet set = makeRandomDrawing(kCurves);
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    dragCurve(set, 500);
    const DrawingChange change = DrawingChange::between(before, set);
    for (auto _ : state) {
        change.revert(set);
        benchmark::ClobberMemory();
        state.PauseTiming();
        change.apply(set);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RevertOneDrag)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
