// Test runner for the viewer and the application: one QApplication for every test. The default
// surface format with a stencil buffer is installed before any widget exists, as the editor does.

#include <gtest/gtest.h>

#include "editor.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest discovery) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    installSurfaceFormat();
    // Recovery copies go to the application data folder: the tests' go with the run.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());

    QApplication application(argc, argv);
    // Tests close the editor's windows; the run goes on.
    QApplication::setQuitOnLastWindowClosed(false);
    // The editor keeps recent files and folders in the user's settings: the tests keep theirs in
    // a folder of their own that goes with the run.
    QTemporaryDir settingsDir;
    QCoreApplication::setOrganizationName("TintweaveTests");
    QCoreApplication::setApplicationName("viewer_tests");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    return RUN_ALL_TESTS();
}
