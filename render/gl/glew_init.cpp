#include <GL/glew.h>

#include "glew_init.h"

#include <QString>

namespace {

bool initGlewAccepting(GLenum acceptedError, QString* error)
{
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    glGetError(); // glewInit may leave GL_INVALID_ENUM behind on some drivers
    if (status == GLEW_OK || (status == acceptedError && glGetString(GL_VERSION)))
        return true;
    if (error)
        *error = QStringLiteral("cannot initialise GLEW: ")
                 + QString::fromLatin1(reinterpret_cast<const char*>(glewGetErrorString(status)));
    return false;
}

} // namespace

bool initGlew(QString* error) { return initGlewAccepting(GLEW_OK, error); }

bool initGlewWithoutGlx(QString* error)
{
    return initGlewAccepting(GLEW_ERROR_NO_GLX_DISPLAY, error);
}

bool initEditorContext(QString* error)
{
    const bool glew = initGlew(error);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return glew;
}
