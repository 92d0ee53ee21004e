#pragma once

#include "canvas_rect.h"
#include "solver_gl.h"

// Confines the following draws and clears to `pixels` of the bound image (none when null).
class ScissorBox {
public:
    explicit ScissorBox(const PixelRect* pixels) : on(pixels != nullptr)
    {
        if (!on)
            return;
        glEnable(GL_SCISSOR_TEST);
        glScissor(pixels->x, pixels->y, pixels->width, pixels->height);
    }
    ~ScissorBox()
    {
        if (on)
            glDisable(GL_SCISSOR_TEST);
    }
    ScissorBox(const ScissorBox&) = delete;
    ScissorBox& operator=(const ScissorBox&) = delete;

private:
    bool on;
};
