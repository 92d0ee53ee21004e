#include "editor.h"

#include "wiring.h"

#include <QCoreApplication>
#include <QSurfaceFormat>

void installSurfaceFormat() {
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    QSurfaceFormat::setDefaultFormat(format);
    // GL widgets share their textures and programs: the program-wide colour-constraints program
    // is created in the first viewer's context and must stay valid for any later viewer.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

Editor::Editor() {
    connectWindows(panel, viewer);
    viewer.setWindowTitle("Hueflow");
}

void Editor::show() {
    panel.show();
    viewer.show();
}
