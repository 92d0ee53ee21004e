#pragma once

// GL helpers shared by the solver's source files (not part of the render interface).

#include "gl_api.h"

#include "gl_objects.h"
#include "shader_program.h"
#include "view.h"

namespace solvergl {

// The full-screen quad of every image pass: corners (-1, -1), (1, -1), (1, 1), (-1, 1), no
// texture coordinates (the image programs address texels by window position).
// `depth` is the clip-space z of the quad (only the blur pass tests depth).
inline void drawFullScreenQuad(float depth = 0.0f)
{
    glBegin(GL_QUADS);
    glVertex3f(-1.0f, -1.0f, depth);
    glVertex3f(1.0f, -1.0f, depth);
    glVertex3f(1.0f, 1.0f, depth);
    glVertex3f(-1.0f, 1.0f, depth);
    glEnd();
}

// The same quad carrying rectangle-texture coordinates that span a w x h image, for the fixed
// function passes (constraint overlays, display, overview copy).
inline void drawTexturedQuad(int w, int h)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(float(w), 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(float(w), float(h));
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, float(h));
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

inline void loadIdentityMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Fixed-function texturing of unit 0 with a rectangle texture; unit 1 stays off.
inline void enableRectTexturing() { glEnable(GL_TEXTURE_RECTANGLE_ARB); }
inline void disableRectTexturing() { glDisable(GL_TEXTURE_RECTANGLE_ARB); }

// Puts the GL in the state the solver's passes expect (no depth, blend, stencil, alpha or
// scissor test, no program, unit 1 untextured, unit 0 active, identity matrices, white colour).
inline void beginPasses()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_SCISSOR_TEST);
    ShaderProgram::release();
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    disableRectTexturing();
    loadIdentityMatrices();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// The model-view matrix that draws canvas point p at zoom * (p + pan) of view `v`.
inline void loadCanvasModelView(const View& v)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScaled(v.zoom, v.zoom, 1.0);
    glTranslated(v.pan.x, v.pan.y, 0.0);
}

// Copies an image of the same size with a fixed-function textured quad (inside passes).
inline void copyImage(const Texture& source, const RenderTarget& destination)
{
    destination.bindAsTarget();
    source.bind(0);
    enableRectTexturing();
    drawTexturedQuad(source.width(), source.height());
    disableRectTexturing();
}

} // namespace solvergl

// One-channel 32-bit float images: an export's colour channel and its multigrid levels.
inline TextureFormat redFloatLinear()
{
    return {GL_R32F, GL_RED, GL_FLOAT, GL_LINEAR, GL_CLAMP_TO_EDGE};
}
inline TextureFormat redFloatNearest()
{
    return {GL_R32F, GL_RED, GL_FLOAT, GL_NEAREST, GL_CLAMP_TO_EDGE};
}
