// Stroke vectoriser: whole conversions of free-hand strokes sampled at one-pixel steps.
#include "curve_set.h"

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

// A scribble that loops over the canvas (a slowly turning Lissajous figure), like a user
// shading an area: long strokes cross themselves many times.
Point scribble(double t)
{
    return Point(256 + 200 * std::sin(0.011 * t), 256 + 180 * std::sin(0.0137 * t + 0.7));
}

// A straight diagonal: every point reaches the end, the worst case of the straight-run walk.
Point diagonal(double t) { return Point(t / std::sqrt(2.0), t / std::sqrt(2.0)); }

void vectorize(benchmark::State& state, const std::function<Point(double)>& path)
{
    const QVector<Point> stroke = sampleStroke(path, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CurveSet set;
        set.vectorizeStroke(stroke, kSize, kSize);
        benchmark::DoNotOptimize(set.curves.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_VectorizeScribble(benchmark::State& state) { vectorize(state, scribble); }
void BM_VectorizeDiagonalLine(benchmark::State& state) { vectorize(state, diagonal); }

}  // namespace

BENCHMARK(BM_VectorizeScribble)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorizeDiagonalLine)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
