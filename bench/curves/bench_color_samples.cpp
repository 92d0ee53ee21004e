// Cost of thinning a side's colour samples: photo-like lists (a slow drift with noise and a few
// hard steps) of 200 and 2000 samples at the tracer's tolerance.
// Run: ./bench_color_samples
#include "color_samples.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

QVector<ColorSample> photoLikeSamples(int count)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::uniform_int_distribution<int> level(0, 255);
    QVector<ColorSample> samples;
    double base[3] = {120, 140, 90};
    for (int i = 0; i < count; ++i) {
        if (i % 150 == 149)
            for (double& b : base)
                b = level(random);
        int channel[3];
        for (int c = 0; c < 3; ++c) {
            base[c] += 0.4 * noise(random);
            channel[c] = std::clamp(int(base[c] + noise(random)), 0, 255);
        }
        samples.append(ColorSample{QColor(channel[0], channel[1], channel[2]), i});
    }
    return samples;
}

void BM_SimplifyColorSamples(benchmark::State& state)
{
    const QVector<ColorSample> samples = photoLikeSamples(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(simplifyColorSamples(samples, 6.5));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SimplifyColorSamples)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
