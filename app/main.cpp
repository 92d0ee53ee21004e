// Tintweave: the viewer window and the control panel, wired together.

#include "editor.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Before the application object, which every platform accepts, and so certainly before the
    // viewer's GL context exists.
    installSurfaceFormat();
    QApplication application(argc, argv);

    Editor editor;
    editor.show();
    return application.exec();
}
