#pragma once

#include "curve.h"

class PixelReader;
class QImage;

// Snapping a curve to the contours of an image and reading its colours from an image or from
// the rendered picture. Distances are in pixel steps of `pixelStep` canvas units.

// One greedy active-contour pass towards the dark pixels of `contour` (row 0 at the top),
// moving control points 1 .. n - 2 by up to `reachSteps` pixel steps along each axis; a null
// image does nothing. Recomputes the bounding box.
void snakeStep(Curve& curve, const QImage& contour, double pixelStep = kCanvasPixel,
               int reachSteps = kSnakeReachSteps);
// Replaces both colour lists by colours of `example` read 6 pixel steps beside the curve; a
// side that falls outside the image is left empty. A null image or a curve without a segment
// does nothing.
void sampleFromExample(Curve& curve, const QImage& example, double pixelStep = kCanvasPixel);
// Replaces one colour list (side 0 left, 1 right) by the colours of the rendered picture read 5
// pixel steps beside the curve. Other sides, an empty picture or a curve without a segment do
// nothing.
void sampleRenderedColors(Curve& curve, int side, const PixelReader& picture,
                          double pixelStep = kCanvasPixel);
