#include <GL/glew.h>

#include "surfaceless_context.h"

#include "glew_init.h"

#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

QString eglErrorText(const char* step)
{
    return QStringLiteral("%1 failed (EGL error 0x%2)")
        .arg(QLatin1String(step))
        .arg(eglGetError(), 4, 16, QLatin1Char('0'));
}

} // namespace

SurfacelessContext::~SurfacelessContext()
{
    if (!display)
        return;
    if (context) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    eglTerminate(display);
}

bool SurfacelessContext::create()
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const QByteArray extensions(clientExtensions ? clientExtensions : "");
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!extensions.contains("EGL_MESA_platform_surfaceless") || !getPlatformDisplay) {
        error = QStringLiteral("EGL offers no surfaceless platform");
        return false;
    }
    EGLDisplay eglDisplay =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (eglDisplay == EGL_NO_DISPLAY) {
        error = eglErrorText("eglGetPlatformDisplay");
        return false;
    }
    display = eglDisplay;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(eglDisplay, &major, &minor)) {
        error = eglErrorText("eglInitialize");
        eglTerminate(eglDisplay);
        display = nullptr;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = eglErrorText("eglBindAPI(OpenGL)");
        return false;
    }
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext eglContext =
        eglCreateContext(eglDisplay, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (eglContext == EGL_NO_CONTEXT) {
        error = eglErrorText("eglCreateContext");
        return false;
    }
    context = eglContext;
    if (!eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, eglContext)) {
        error = eglErrorText("eglMakeCurrent");
        return false;
    }
    return initGlewWithoutGlx(&error);
}
