// Stroke vectoriser: whole conversions of free-hand strokes sampled at one-pixel steps.
#include "curve_set.h"
#include "stroke_vectorizer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>

namespace {

constexpr int kSize = 512;

// n canvas positions along a pixel-space path, one pixel of arc length apart.
QVector<Point> sampleStroke(const std::function<Point(double)>& path, int n)
{
    QVector<Point> stroke;
    stroke.reserve(n);
    double t = 0.0;
    while (stroke.size() < n) {
        const Point p = path(t);
        stroke.append(Point(p.x / (kSize / 2.0) - 1.0, 1.0 - p.y / (kSize / 2.0)));
        const double h = 1e-4;
        t += h / std::max((path(t + h) - p).norm(), 1e-12);
    }
    return stroke;
}

// Wide gentle sweeps over the canvas (a slowly turning Lissajous figure): long straight runs,
// the costly case of the optimal polygon, whose work per point grows with the run length.
Point sweep(double t)
{
    return Point(256 + 200 * std::sin(0.011 * t), 256 + 180 * std::sin(0.0137 * t + 0.7));
}

// Small loops drifting over the canvas, like a user shading an area: the same curvature all
// along, so the cost per point stays the same at every length.
Point rosette(double u)
{
    return Point(256 + 60 * std::cos(u) + 25 * std::cos(3.7 * u) + 120 * std::sin(0.07 * u),
                 256 + 60 * std::sin(u) - 25 * std::sin(3.7 * u) + 120 * std::cos(0.05 * u));
}

// A straight diagonal: every point reaches the end, the worst case of the straight-run walk.
Point diagonal(double t) { return Point(t / std::sqrt(2.0), t / std::sqrt(2.0)); }

void vectorize(benchmark::State& state, const std::function<Point(double)>& path)
{
    const QVector<Point> stroke = sampleStroke(path, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CurveSet set;
        vectorizeStroke(set, stroke, kSize, kSize);
        benchmark::DoNotOptimize(set.curves.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_VectorizeSweep(benchmark::State& state) { vectorize(state, sweep); }
void BM_VectorizeRosette(benchmark::State& state) { vectorize(state, rosette); }
void BM_VectorizeDiagonalLine(benchmark::State& state) { vectorize(state, diagonal); }

} // namespace

BENCHMARK(BM_VectorizeSweep)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorizeRosette)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorizeDiagonalLine)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
