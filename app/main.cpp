// Tintweave: the viewer window and the control panel, wired together.

#include "interface.h"
#include "viewer.h"
#include "wiring.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char* argv[]) {
    // The viewer's context needs a stencil buffer (overlapping curves are found by stencil
    // counting). The default format is installed before the application object, which every
    // platform accepts, and so certainly before the viewer's context exists.
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication application(argc, argv);

    Viewer viewer;
    Interface panel;
    connectWindows(panel, viewer);
    viewer.setWindowTitle("Hueflow");

    panel.show();
    viewer.show();
    return application.exec();
}
