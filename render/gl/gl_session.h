#pragma once

#include "offscreen_context.h"
#include "surfaceless_context.h"

#include <QCoreApplication>
#include <QString>

#include <memory>

// The GL context a command-line program draws with, and the application object it needs: Qt's
// offscreen context when an X display can be opened (Qt ends the process when its platform
// cannot start), else EGL's surfaceless context with a plain core application.
struct GlSession {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<OffscreenContext> offscreen;
    std::unique_ptr<SurfacelessContext> surfaceless;
};

// Makes the application object and a current context in *session. Empty on success, else why
// no usable OpenGL could be had.
QString startGlSession(int& argc, char** argv, GlSession* session);
