// Saving and loading a drawing of 1,000 curves of 10 segments each, with colour points on both
// sides and blur points along every curve; in one plain layer (argument 1) or spread over 10
// layers with translucent colour points (argument 10).
#include "curve_set.h"
#include "curve_set_layers.h"
#include "curve_set_xml.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kCurves = 1000;
constexpr int kSegments = 10;

CurveSet largeDrawing(int layers)
{
    CurveSet set;
    const int alpha = layers > 1 ? 128 : 255;
    for (int i = 0; i < kCurves; ++i) {
        if (i > 0 && i % (kCurves / layers) == 0)
            addLayer(set);
        Curve c;
        const double y0 = -0.95 + 1.9 * i / kCurves;
        for (int k = 0; k <= 3 * kSegments; ++k)
            c.appendControlPoint(-0.9 + 1.8 * k / (3.0 * kSegments),
                                 y0 + 0.02 * std::sin(0.3 * k + i));
        for (int s = 0; s <= kSegments; ++s) {
            const int g = s * kSamplesPerSegment;
            c.appendLeftColor(g, false, QColor((i + s) % 256, (7 * s) % 256, i % 256, alpha));
            c.appendRightColor(g, false, QColor(i % 256, (i * s) % 256, 255 - s));
        }
        c.appendBlur(0, false, i % 17);
        c.appendBlur(kSegments * kSamplesPerSegment / 2, false, 3);
        c.appendBlur(kSegments * kSamplesPerSegment, false, 16 - i % 17);
        set.addCurve(c);
    }
    return set;
}

void BM_SaveXml(benchmark::State& state)
{
    const CurveSet set = largeDrawing(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath("drawing.xml");
    for (auto _ : state) {
        if (!saveXml(set, path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveXml)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_LoadXml(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("drawing.xml");
    if (!saveXml(largeDrawing(int(state.range(0))), path)) {
        state.SkipWithError("save failed");
        return;
    }
    CurveSet set;
    for (auto _ : state) {
        if (!loadXml(set, path))
            state.SkipWithError("load failed");
    }
    state.counters["curves"] = set.nb_curves;
}
BENCHMARK(BM_LoadXml)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
