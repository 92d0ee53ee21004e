#pragma once

#include "point.h"
#include "view.h"

#include <QPointF>
#include <QRect>
#include <QSize>

// Where the canvas appears in the viewer's widget, and the mapping between widget pixels and
// canvas positions that goes with the view. The canvas square is as large as the widget's
// shorter side and centred, so that a resize never stretches the drawing (the rest of the
// window is a grey border). A value: it holds the widget size, pixel ratio and view given.
class CanvasPlacement {
public:
    CanvasPlacement(const QSize& widgetSize, double devicePixelRatio, const View& view);

    // The canvas square in widget pixels (origin top left).
    QRect canvasRect() const;
    // canvasRect() as the GL viewport that draws and picks the canvas: device pixels, rows
    // counted from the bottom of the widget.
    QRect canvasViewport() const;
    // Canvas position of widget pixel (mx, my), origin top left; with canvasRect() at (x0, y0)
    // of side s: x = ((mx - x0) / (s/2) - 1) / zoom - panX, y = (1 - (my - y0) / (s/2)) / zoom
    // - panY.
    Point modelPosition(double mx, double my) const;
    // Widget pixel at which canvas point p appears: the inverse of modelPosition.
    QPointF widgetPosition(const Point& p) const;

private:
    QSize widget;
    double ratio;
    View view;
};
