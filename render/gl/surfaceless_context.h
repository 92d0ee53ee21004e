#pragma once

#include <QString>

// An OpenGL context that needs no window system at all: EGL on Mesa's surfaceless platform
// (EGL_PLATFORM_SURFACELESS_MESA), the OpenGL API in its compatibility profile, as current
// context of the calling thread with GLEW initialised. It has no default framebuffer: render
// into framebuffer objects only (the solver does). Needs no QGuiApplication.
class SurfacelessContext {
public:
    SurfacelessContext() = default;
    ~SurfacelessContext();
    SurfacelessContext(const SurfacelessContext&) = delete;
    SurfacelessContext& operator=(const SurfacelessContext&) = delete;

    // Creates the context and makes it current. False with errorString() set when the EGL
    // library, the surfaceless platform, an OpenGL context or GLEW is not available.
    bool create();
    const QString& errorString() const { return error; }

private:
    void* display = nullptr; // EGLDisplay
    void* context = nullptr; // EGLContext
    QString error;
};
