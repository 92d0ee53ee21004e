#include "gl_session.h"

#include <QGuiApplication>

QString startGlSession(int& argc, char** argv, GlSession* session)
{
    const QString display = windowSystemProblem();
    if (display.isEmpty()) {
        session->app = std::make_unique<QGuiApplication>(argc, argv);
        session->offscreen = std::make_unique<OffscreenContext>();
        if (!session->offscreen->create())
            return QStringLiteral("no usable OpenGL: ") + session->offscreen->errorString();
        return QString();
    }
    session->app = std::make_unique<QCoreApplication>(argc, argv);
    session->surfaceless = std::make_unique<SurfacelessContext>();
    if (!session->surfaceless->create())
        return QStringLiteral("no usable OpenGL: %1 (run under xvfb-run -a)").arg(display);
    return QString();
}
