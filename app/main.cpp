// Tintweave: the viewer window and the control panel, wired together. `tintweave DRAWING.xml`
// opens that drawing at start.

#include "editor.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before the application object, which every platform accepts, and so certainly before the
    // viewer's GL context exists.
    installSurfaceFormat();
    QApplication application(argc, argv);
    installApplicationNames();

    Editor editor;
    editor.openArguments(QCoreApplication::arguments());
    editor.show();
    return application.exec();
}
