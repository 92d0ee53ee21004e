#include "gl_api.h"

#include "view_transform.h"

void multiplyViewTransform(const View& view)
{
    glScaled(view.zoom, view.zoom, 0.0);
    glTranslated(view.pan.x, view.pan.y, 0.0);
}
