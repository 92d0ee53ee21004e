// The GLEW half of the shared test context (main.cpp holds the Qt half: Qt's OpenGL headers and
// GLEW's cannot share a translation unit).
#include "gl_fixture.h"

#include <cstdio>

bool initTestGlew()
{
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    glGetError(); // glewInit may leave GL_INVALID_ENUM behind on some drivers
    if (status != GLEW_OK) {
        std::fprintf(stderr, "render tests: glewInit failed: %s\n",
                     reinterpret_cast<const char*>(glewGetErrorString(status)));
        return false;
    }
    return true;
}
