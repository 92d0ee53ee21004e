#pragma once

#include "coverage_mesh.h"
#include "point.h"
#include "vertex_batch.h"
#include "view_transform.h"

#include <QVector>

// The vertices of the viewer's overlays, computed on the CPU so that overlay_drawing.cpp only
// draws them and the geometry can be checked without a context.

// Textured vertex: position, then texture coordinates (s, t).
struct PackedTexturedPoint {
    float position[2];
    float texCoord[2];
};

// The stroke being drawn: one run, a line strip through every point in order (canvas units).
// No run for an empty stroke.
VertexBatch<PackedPoint> strokeVertices(const QVector<Point>& stroke);

// Scribble marks: one run of 4 vertices (a quad) per mark, a square of edge `edge` canvas units
// centred on it, corners (x - h, y - h), (x + h, y - h), (x + h, y + h), (x - h, y + h) with
// h = edge / 2.
VertexBatch<PackedPoint> scribbleMarkVertices(const QVector<Point>& marks, double edge);

// The background quad of an example bitmap of width x height texels: one run of 4 vertices
// covering normalised device coordinates -1 .. 1, with rectangle-texture coordinates in texels
// such that the bitmap follows the view as the canvas does (the bitmap spans the canvas): the
// window centre shows texel ((1 - pan.x) w / 2, (1 - pan.y) h / 2) and the window spans
// w / zoom by h / zoom texels.
VertexBatch<PackedTexturedPoint> backgroundVertices(const View& view, int width, int height);

// Canvas units to window pixels for a view without rotation: canvas point (x, y) lies at window
// pixel position (scaleX x + offsetX, scaleY y + offsetY).
struct WindowMapping {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;

    Point operator()(const Point& p) const
    {
        return {scaleX * p.x + offsetX, scaleY * p.y + offsetY};
    }
    // Pixels per canvas unit for lengths that must stay round (radii): the geometric mean.
    double lengthScale() const;

    bool operator==(const WindowMapping& o) const
    {
        return scaleX == o.scaleX && scaleY == o.scaleY && offsetX == o.offsetX
               && offsetY == o.offsetY;
    }
};

// The scribble marks of scribbleMarkVertices as anti-aliased rectangles in window pixels, each in
// `colour` (CoverageMesh::rectangle).
CoverageMesh scribbleMarkMesh(const QVector<Point>& marks, double edge, OverlayColour colour,
                              const WindowMapping& toWindow);
