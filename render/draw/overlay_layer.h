#pragma once

#include "gl_objects.h"

#include <array>

// The kept lines of a CurveOverlayCache drawn once into a texture of the viewport's size, and
// composited over the window's picture at each frame by one textured quad instead of drawing
// thousands of curves again. The texture holds the lines premultiplied by their coverage over
// transparent black, so that for a pixel one line covers the composite gives what drawing the
// line over the picture gives. Needs a current context for every call.
class OverlayLayer {
public:
    // x, y, width, height of a GL viewport, in window pixels.
    using Viewport = std::array<int, 4>;

    // True when the layer holds the kept lines of version `version` for `viewport`.
    bool holds(int version, const Viewport& viewport) const;
    // Binds the layer, at the viewport's size and cleared to transparent, as the target of
    // the lines of `version`; a viewport of the layer's whole size is set.
    void beginRedraw(int version, const Viewport& viewport);
    // Binds back the framebuffer that was bound before beginRedraw, and its viewport.
    void endRedraw();
    // Blends the layer over the bound framebuffer in its viewport (the one given to
    // beginRedraw); the framebuffer's alpha stays opaque. Leaves the matrices as they were,
    // blending and texturing off.
    void composite() const;

private:
    RenderTarget target;
    Viewport viewport{0, 0, 0, 0};
    int heldVersion = -1;
    unsigned int previousFramebuffer = 0;
};
