#include "overlay_layer.h"

#include "curve_gl_state.h"

#include <algorithm>

bool OverlayLayer::holds(int version, const Viewport& now) const
{
    return heldVersion == version && now == viewport;
}

void OverlayLayer::beginRedraw(int version, const Viewport& now)
{
    viewport = now;
    heldVersion = version;
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    previousFramebuffer = GLuint(framebuffer);
    const int width = std::max(1, viewport[2]), height = std::max(1, viewport[3]);
    if (target.width() != width || target.height() != height)
        target.create(width, height, floatNearest());
    target.bindAsTarget();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void OverlayLayer::endRedraw()
{
    bindFramebuffer(previousFramebuffer);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void OverlayLayer::composite() const
{
    if (heldVersion < 0)
        return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    curvegl::disableTexturing();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // premultiplied over
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    target.texture.bind(0);
    glEnable(GL_TEXTURE_RECTANGLE_ARB);
    const float w = float(target.width()), h = float(target.height());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(w, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(w, h);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, h);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
