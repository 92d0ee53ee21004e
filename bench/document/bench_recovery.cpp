// The recovery copy of a 1,000-curve drawing: BM_WriteRecoveryCopy1000Curves times one whole
// write (the drawing as CurveSetXML through a temporary file renamed into place, with its
// origin file), as the editor makes it from its timer between gestures.
#include "curve_set.h"
#include "random_drawing.h"
#include "recovery_copy.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

void BM_WriteRecoveryCopy1000Curves(benchmark::State& state)
{
    const CurveSet set = makeRandomDrawing(1000);
    QTemporaryDir folder;
    RecoveryCopy copy(folder.path());
    for (auto _ : state) {
        if (!copy.write(set, "/home/someone/drawing.xml"))
            state.SkipWithError("the recovery copy could not be written");
    }
    copy.remove();
}
BENCHMARK(BM_WriteRecoveryCopy1000Curves)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
