#pragma once

#include "point.h"

// What part of the canvas a picture shows: canvas point p lands at zoom * (p + pan) in
// normalised device coordinates (-1..1 across the picture, y up), so the picture's centre shows
// canvas point -pan. A value type shared by the viewer, the picker, stroke capture, paste and
// the solver; zoom 1 and pan (0, 0) show the whole canvas.
struct View {
    double zoom = 1.0;
    Point pan;

    bool operator==(const View& o) const { return zoom == o.zoom && pan == o.pan; }
    bool operator!=(const View& o) const { return !(*this == o); }

    // Canvas point -> normalised device coordinates, and back. zoom must not be 0.
    Point canvasToNdc(const Point& p) const { return (p + pan) * zoom; }
    Point ndcToCanvas(const Point& ndc) const { return ndc * (1.0 / zoom) - pan; }

    // Canvas point -> pixel of a `size` x `size` picture (x to the right, y down, pixel centres at
    // half-integers), and back.
    Point canvasToPixel(const Point& p, int size) const
    {
        const Point ndc = canvasToNdc(p);
        return {(ndc.x + 1.0) * 0.5 * size, (1.0 - ndc.y) * 0.5 * size};
    }
    Point pixelToCanvas(const Point& pixel, int size) const
    {
        return ndcToCanvas({pixel.x * 2.0 / size - 1.0, 1.0 - pixel.y * 2.0 / size});
    }
};
