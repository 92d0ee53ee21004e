#pragma once

#include "overlay_curves.h"
#include "point.h"
#include "view_transform.h"

#include <QVector>

class CurveSet;
class OverlayLayer;
class Texture;

// What the viewer draws over (or instead of) the renderer's picture each frame: the example
// bitmap as background, the curves, the scribble marks of the multiselection and the stroke
// being drawn, all in the viewer's view. Each needs a current context and draws into the bound
// framebuffer with the viewport already set, except drawBackgroundImage, which binds and sets
// them as the renderer's display does. Geometry comes from overlay_geometry.h as client-side
// vertex arrays; the anti-aliased ones are triangles in window pixels, drawn under a projection
// of the viewport that is restored after. Afterwards the model-view matrix is selected with identity loaded, texturing
// and blending are off, client arrays are disabled and the current colour is white.

// The example bitmap `image` (a rectangle texture, one texel per canvas pixel) in the viewport
// of viewportWidth x viewportHeight device pixels whose lower left corner is (x0, y0): binds
// `framebuffer` (the window's, which is not 0 for a QOpenGLWidget), clears it all to the grey
// the renderer's display shows outside its picture (0.5), sets the viewport, loads identity
// projection and model-view, and draws the part of the bitmap the view shows, unlit and
// unblended. Nothing is drawn, nor cleared, for an uncreated texture.
void drawBackgroundImage(const Texture& image, const View& view, int viewportWidth,
                         int viewportHeight, unsigned int framebuffer, int x0 = 0, int y0 = 0);

// The curves in black under the view, with their box and handles, anti-aliased
// (curveOverlayMesh of overlay_curves.h) and blended over the picture, the framebuffer's alpha
// left opaque. The viewport and projection in place map the canvas to the window.
void drawCurvesInView(const CurveSet& set, const View& view);
// The same from the lines kept in `cache` (updated here for the set, the view and `options`):
// only curves that changed since the last frame are made again, and the kept lines are drawn
// into `layer` only when they changed, the layer then composited. With default options the
// pixels are those of the call above, but where lines cross (the layer rounds once where the
// window rounds after each line: at most 1/255 apart).
void drawCurvesInView(const CurveSet& set, const View& view, CurveOverlayCache& cache,
                      OverlayLayer& layer, const OverlayOptions& options = {});

// One filled square of edge `markerSize` canvas units per mark, in orange (1, 0.521, 0.121) at
// alpha 0.3 blended over the picture (source alpha, one minus source alpha), its edges
// anti-aliased over one pixel (CoverageMesh::rectangle). Nothing for none.
void drawScribbleMarks(const QVector<Point>& marks, double markerSize, const View& view);

// The stroke as one black line strip of width 1 through its points. Nothing for an empty stroke.
void drawStrokeLine(const QVector<Point>& stroke, const View& view);
