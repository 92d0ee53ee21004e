// Test runner for the viewer and the application: one QApplication for every test. The default
// surface format with a stencil buffer is installed before any widget exists, as the editor does.

#include <gtest/gtest.h>

#include "editor.h"

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest discovery) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    installSurfaceFormat();

    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
