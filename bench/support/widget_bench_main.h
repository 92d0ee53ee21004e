#pragma once

// The start-up of a benchmark program of the editor's widgets: the editor's own surface format
// (installSurfaceFormat, as the editor sets it up), the application object, then the benchmarks.
#include "editor.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

// Runs the program's benchmarks; `setUp` runs before them (false ends the program with status
// 1), `tearDown` after them, while the application still exists.
inline int runWidgetBenchmarks(int argc, char** argv, const std::function<bool()>& setUp = {},
                               const std::function<void()>& tearDown = {})
{
    installSurfaceFormat();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (setUp && !setUp())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown)
        tearDown();
    return 0;
}
