// GoogleTest entry point of the render tests: an application object and one offscreen GL
// context (compatibility profile, depth and stencil, GLEW initialised) shared by every test.
#include "offscreen_context.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdio>

namespace {
OffscreenContext* sharedContext = nullptr;
}

bool testContextReady() { return sharedContext && sharedContext->isCurrent(); }

bool makeTestContextCurrent() { return sharedContext && sharedContext->makeCurrent(); }

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest discovery) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QGuiApplication app(argc, argv);
    OffscreenContext context;
    if (context.create())
        sharedContext = &context;
    else // every GlTest then fails with this reason
        std::fprintf(stderr, "render tests: %s\n", context.errorString().toLocal8Bit().constData());
    const int result = RUN_ALL_TESTS();
    sharedContext = nullptr;
    return result;
}
