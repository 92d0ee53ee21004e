#include <GL/glew.h>

#include "view_transform.h"

void multiplyViewTransform(const ViewTransform& view)
{
    glScaled(view.zoom, view.zoom, 0.0);
    glTranslated(view.panX, view.panY, 0.0);
}
