#pragma once

#include "pick_names.h"
#include "shared_constants.h"
#include "view_transform.h"

#include <QVector>

class CurveSet;

// One GL selection pick: which items to name, the view they are drawn in and the pick square.
struct PickQuery {
    ManipulationMode mode = ModeMovePoint;
    PickPurpose purpose = PickPurpose::Press;
    View view;
    double x = 0.0; // centre of the pick square in device pixels, origin bottom left
    double y = 0.0;
    double region = 5.0;                                // edge of the pick square in device pixels
    int viewport[4] = {0, 0, kCanvasSize, kCanvasSize}; // the window's viewport, device pixels

    // Centres the square on widget pixel (mx, my) (origin top left, as mouse events give it) of
    // a widget of width x height widget pixels with `ratio` device pixels per widget pixel;
    // `edge` is the square's edge in widget pixels. Sets x, y, region and the viewport.
    void atWidgetPixel(double mx, double my, int width, int height, double ratio, double edge);
    // The viewport the items are drawn in, in device pixels with the origin bottom left: a
    // window that shows the canvas in part of itself picks in that part.
    void setViewport(int x0, int y0, int width, int height);
};

// The hit records of one pick, in the order GL wrote them (the drawing order): the last one is
// the item drawn last, i.e. the most specific one.
struct PickHits {
    QVector<unsigned> names; // one name per record (the top of the name stack)
    QVector<PickHit> hits;   // the same names, decoded for the query's context

    bool empty() const { return hits.isEmpty(); }
    int count() const { return hits.size(); }
    const PickHit& first() const { return hits.front(); } // requires !empty()
    const PickHit& last() const { return hits.back(); }   // requires !empty()
};

// Entries of the selection buffer of a normal pick: 16 hit records of 4 entries (name count,
// minimum depth, maximum depth, one name).
constexpr int kPickBufferEntries = 64;

// GL selection pick of the curve set's items (drawForPicking) inside the pick square, decoded
// with the set's current curve. Needs a current context with GLEW initialised; binds nothing,
// so the caller's framebuffer stays bound. Sets the query's viewport, and leaves the model-view
// matrix selected with identity loaded and the projection as it was.
//
// The pick runs with a kPickBufferEntries-entry buffer. When more records fall into the square
// than it holds, it is redone once with a buffer large enough for every item a drawing names,
// so that the result is the full, ordered list; if even that overflows, the pick reports no hit
// rather than a truncated list.
PickHits pickCurveSet(const CurveSet& set, const PickQuery& query);

// The names of `hitCount` hit records in a selection buffer of `size` entries, one per record
// (the top of its name stack). Records that do not fit the buffer, and records with an empty
// name stack, are left out; a negative count (overflow) gives an empty list.
QVector<unsigned> hitRecordNames(const unsigned* buffer, int size, int hitCount);
