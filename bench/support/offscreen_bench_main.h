#pragma once

// The start-up of a GL benchmark program without windows: the application object, an offscreen
// GL context made current, then the benchmarks. Run under xvfb-run -a (or with EGL).
#include "offscreen_context.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

// Runs the program's benchmarks; `setUp` runs once the context is current, before them (false
// ends the program with status 1). A context that cannot be made is reported as
// "<program>: <why>" on stderr, status 1.
inline int runOffscreenBenchmarks(int argc, char** argv, const char* program,
                                  const std::function<bool()>& setUp = {})
{
    QGuiApplication app(argc, argv);
    OffscreenContext context;
    if (!context.create()) {
        std::fprintf(stderr, "%s: %s\n", program, context.errorString().toLocal8Bit().constData());
        return 1;
    }
    if (setUp && !setUp())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
