#pragma once

#include "canvas_rect.h"
#include "curve.h"
#include "picker.h"

#include <vector>

class CurveSet;

// Picking without the GL: the curves' bodies kept as polylines in canvas units (the lines that
// drawCurve draws: 11 samples a segment, or the control points of a curve of 3 or fewer) in a
// uniform grid of kGridCells x kGridCells cells over the canvas -1 .. 1 (curves beyond its edge
// sit in the edge cells), so that a pick tests only the curves near the pick square. Kept
// between picks and brought up to date by sync(), which rebuilds only curves that changed
// (sameDrawnCurve). Needs no GL context.
class CurvePickIndex {
public:
    static constexpr int kGridCells = 64;

    // Brings the index up to date with `set`'s curves.
    void sync(const CurveSet& set);
    // Indices of the synced curves whose body's bounding box meets `rect` (canvas units),
    // ascending. Curves of no control point have no body.
    std::vector<int> curvesNear(const CanvasRect& rect) const;
    // The body of curve i: one polyline per segment, or one through the control points;
    // empty when i is out of range.
    const std::vector<std::vector<Point>>& bodyOf(int i) const;
    int curveCount() const { return static_cast<int>(entries.size()); }

private:
    struct Entry {
        Curve source;
        std::vector<std::vector<Point>> body;
        CanvasRect extent;
        int cells[4] = {0, 0, -1, -1}; // x0, y0, x1, y1 of the cells it is listed in
    };
    static Entry build(const Curve& curve);
    void list(int i);
    void unlist(int i);
    void rebuildGrid();

    std::vector<Entry> entries;
    std::vector<std::vector<int>> cells; // kGridCells * kGridCells lists, row by row
};

// What pickCurveSet (picker.h) answers for `query` on `set`, found on the CPU: the same items,
// names and order as the GL selection pass gives, where every line, disk (a 32-sided polygon,
// as GLU draws it) and box that meets the pick square is a hit. `index` is synced with `set`
// first. Nothing to bind and no context needed.
PickHits pickCurveSetIndexed(const CurveSet& set, CurvePickIndex& index, const PickQuery& query);

// The pick square of `query` in canvas units: the square of edge query.region device pixels
// around (query.x, query.y) in the query's viewport, under its view.
CanvasRect pickSquareOf(const PickQuery& query);

// Edge in widget pixels of the square a click should pick in, so that a press within 4 pixels
// of a curve (a line a pixel wide) picks it at any zoom.
constexpr int kClickPickEdge = 9;
