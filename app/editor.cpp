#include "editor.h"

#include "layers_dock.h"
#include "window_placement.h"
#include "wiring.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QCoreApplication>
#include <QSurfaceFormat>

void installSurfaceFormat()
{
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    QSurfaceFormat::setDefaultFormat(format);
    // GL widgets share their textures and programs: the program-wide colour-constraints program
    // is created in the first viewer's context and must stay valid for any later viewer.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void installApplicationNames()
{
    QCoreApplication::setOrganizationName("Tintweave");
    QCoreApplication::setApplicationName("tintweave");
}

Editor::Editor() : layers(installLayersList(panel, viewer, commands.layers))
{
    connectWindows(panel, viewer, commands);
    placeWindows(panel, viewer);
    panel.installEventFilter(this);
    QObject::connect(&viewer, &Viewer::closed, &panel, [this] {
        rememberWindowPlacement(panel, viewer);
        closing = true;
        panel.close();
    });
}

void Editor::show()
{
    panel.show();
    viewer.show();
}

bool Editor::openArguments(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return true;
    return document.openDrawing(arguments.at(1));
}

void Editor::offerRecovery(const QString& folder)
{
    std::vector<LeftCopy> left = leftRecoveryCopies(folder);
    for (LeftCopy& copy : left) {
        if (ended)
            return;
        const QString original = copy.originalPath();
        const QString name =
            original.isEmpty() ? QString("Untitled") : QFileInfo(original).fileName();
        switch (viewer.dialogs().askRecover(&viewer, name, copy.writtenAt().toString())) {
        case ViewerDialogs::LeftDrawing::Recover:
            if (document.recover(copy))
                return;
            break;
        case ViewerDialogs::LeftDrawing::Discard: copy.discard(); break;
        case ViewerDialogs::LeftDrawing::Keep: break;
        }
    }
}

void Editor::leaveForNextStart()
{
    document.keepRecoveryCopy();
    rememberWindowPlacement(panel, viewer);
}

void Editor::endSession()
{
    leaveForNextStart();
    ended = true;
    QCoreApplication::quit();
}

bool Editor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &panel && event->type() == QEvent::Close && !closing && !viewer.close()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
