// Costs of the per-curve loops: the sampling walk, one snapping pass, reading example colours.
#include "curve.h"
#include "curve_sampling.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A wavy open curve of `segments` segments across the canvas.
Curve wave(int segments)
{
    Curve c;
    const int n = 3 * segments + 1;
    for (int i = 0; i < n; ++i) {
        const double x = -0.8 + 1.6 * i / (n - 1);
        c.appendControlPoint(x, 0.3 * std::sin(6.0 * x));
    }
    const int end = segments * kSamplesPerSegment;
    c.appendLeftColor(0, true);
    c.appendLeftColor(end, false, QColor(10, 20, 30));
    c.appendRightColor(0, true);
    c.appendRightColor(end, true);
    c.appendBlur(0, true);
    c.appendBlur(end, false, 8);
    return c;
}

// A 512 x 512 contour image: white with dark diagonal stripes.
QImage stripes()
{
    QImage img(512, 512, QImage::Format_RGB32);
    for (int r = 0; r < 512; ++r)
        for (int col = 0; col < 512; ++col)
            img.setPixel(col, r, (r + col) % 40 < 3 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return img;
}

void BM_SamplingWalk(benchmark::State& state)
{
    const Curve c = wave(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        double sum = 0.0;
        c.forEachSample([&](const CurveSample& s) { sum += s.point.x + s.left.red() + s.blur; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 11);
}
BENCHMARK(BM_SamplingWalk)->Arg(10)->Arg(100);

void BM_SnakeStep(benchmark::State& state)
{
    const QImage contour = stripes();
    const Curve start = wave(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Curve c = start;
        snakeStep(c, contour);
        benchmark::DoNotOptimize(c.control_points.data());
    }
}
BENCHMARK(BM_SnakeStep)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_SampleFromExample(benchmark::State& state)
{
    const QImage example = stripes();
    const Curve start = wave(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Curve c = start;
        sampleFromExample(c, example);
        benchmark::DoNotOptimize(c.left_colors.data());
    }
}
BENCHMARK(BM_SampleFromExample)->Arg(10)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
