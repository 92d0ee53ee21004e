#include <GL/glew.h>

#include "glew_init.h"

#include <QString>

bool initGlew(QString* error)
{
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    glGetError(); // glewInit may leave GL_INVALID_ENUM behind on some drivers
    if (status == GLEW_OK)
        return true;
    if (error)
        *error = QStringLiteral("cannot initialise GLEW: ")
                 + QString::fromLatin1(reinterpret_cast<const char*>(glewGetErrorString(status)));
    return false;
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
