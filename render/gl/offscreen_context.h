#pragma once

#include <QString>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;

// A GL context without a window, for rendering from tools and tests: compatibility profile,
// depth 24, stencil 8, on an offscreen surface, with GLEW initialised. Needs a QGuiApplication
// (and, under X11, a display: run headless tools under xvfb-run).
class OffscreenContext {
public:
    OffscreenContext();
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Creates the context, makes it current and initialises GLEW. False with errorString() set
    // when any step fails.
    bool create();
    // Makes the context current again; false when it was never created.
    bool makeCurrent();
    bool isCurrent() const;
    void doneCurrent();
    const QString& errorString() const { return error; }

private:
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> context;
    bool ready = false;
    QString error;
};

// Why Qt's window system would fail to start, checked before a QGuiApplication exists (Qt ends
// the process when its platform cannot start): with the X11 platform, Qt's default, whether the
// display named by DISPLAY can be opened. Empty when nothing is known to stand in the way.
QString windowSystemProblem();
