// GoogleTest entry point of the render tests: an application object and one offscreen GL
// context (compatibility profile, depth and stencil) shared by every test. GLEW is initialised
// in gl_fixture.cpp, because Qt's OpenGL headers and GLEW's cannot share a translation unit.
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

bool initTestGlew();

namespace {

std::unique_ptr<QOffscreenSurface> surface;
std::unique_ptr<QOpenGLContext> context;
bool glewReady = false;

bool createContext()
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
    if (!surface->isValid() || !context->create() || !context->makeCurrent(surface.get())) {
        std::fprintf(stderr, "render tests: cannot create an offscreen OpenGL context\n");
        return false;
    }
    glewReady = initTestGlew();
    return glewReady;
}

} // namespace

bool testContextReady()
{
    return glewReady && context && QOpenGLContext::currentContext() == context.get();
}

bool makeTestContextCurrent()
{
    if (!glewReady)
        return false;
    if (QOpenGLContext::currentContext() != context.get())
        context->makeCurrent(surface.get());
    return testContextReady();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    createContext(); // a failure is reported by every GlTest
    const int result = RUN_ALL_TESTS();
    if (context)
        context->doneCurrent();
    context.reset();
    surface.reset();
    return result;
}
