// Qt's OpenGL headers and GLEW's cannot share a translation unit: GLEW is initialised in
// glew_init.cpp.
#include "offscreen_context.h"

#include "glew_init.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <X11/Xlib.h>

OffscreenContext::OffscreenContext() = default;

OffscreenContext::~OffscreenContext()
{
    if (isCurrent())
        context->doneCurrent();
}

bool OffscreenContext::create()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);

    surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(format);
    surface->create();
    context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!surface->isValid()) {
        error = QStringLiteral("cannot create an offscreen surface");
        return false;
    }
    if (!context->create() || !context->makeCurrent(surface.get())) {
        error = QStringLiteral("cannot create an OpenGL context");
        return false;
    }
    ready = initGlew(&error);
    return ready;
}

bool OffscreenContext::makeCurrent()
{
    if (!ready)
        return false;
    if (!isCurrent())
        context->makeCurrent(surface.get());
    return isCurrent();
}

bool OffscreenContext::isCurrent() const
{
    return context && QOpenGLContext::currentContext() == context.get();
}

void OffscreenContext::doneCurrent()
{
    if (isCurrent())
        context->doneCurrent();
}

QString windowSystemProblem()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return QString(); // another platform: Qt reports for itself
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("no display");
    Display* connection = XOpenDisplay(display.constData());
    if (connection == nullptr)
        return QStringLiteral("cannot open display %1").arg(QString::fromLocal8Bit(display));
    XCloseDisplay(connection);
    return QString();
}
