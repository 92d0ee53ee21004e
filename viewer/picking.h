#pragma once

#include <QVector>

class CurveSet;

// What the viewer hands to a pick: the item set to name, the view transform and the pick square.
struct PickRequest {
    int mode = 0;        // ManipulationMode value, passed to drawForPicking
    int purpose = 0;     // 0 left press, 1 context menu, 2 Shift toggle, 3 scribble
    double zoom = 1.0;   // the viewer's view: model point p is drawn at zoom * (p + pan)
    double panX = 0.0;
    double panY = 0.0;
    double x = 0.0;      // centre of the pick square in device pixels, origin bottom left
    double y = 0.0;
    double region = 5.0; // edge of the pick square in device pixels
    int viewport[4] = {0, 0, 512, 512}; // the widget's own viewport in device pixels
};

// Names of the hit records of one pick, in the order GL wrote them (the drawing order).
struct PickResult {
    QVector<unsigned> names;

    int hits() const { return names.size(); }
    bool empty() const { return names.isEmpty(); }
    unsigned firstName() const { return names.front(); } // requires !empty()
    unsigned lastName() const { return names.back(); }   // requires !empty()
};

// Entries of the selection buffer of a normal pick: 16 hit records of 4 entries (name count,
// minimum depth, maximum depth, one name).
constexpr int kPickBufferSize = 64;

// GL selection pick of the curve set's pickable items inside the pick square. Needs the viewer's
// GL context current. Uses the viewport of the request, not whatever a previous pass left set,
// and leaves the model-view matrix selected with identity loaded and the projection as it was.
//
// The pick first runs with a kPickBufferSize-entry buffer. When more records fall into the
// square than it holds, the pick is redone once with a buffer large enough for every nameable
// item, so that the result is the full, ordered list; if even that overflows, the pick reports
// no hit rather than a truncated list.
PickResult pickItems(const CurveSet& set, const PickRequest& request);

// Decodes `hitCount` hit records from a selection buffer of `size` entries into one name per
// record (the top of the name stack). Records that do not fit the buffer, and records with an
// empty name stack, are left out; a negative count (overflow) gives an empty list.
QVector<unsigned> decodeHitRecords(const unsigned* buffer, int size, int hitCount);
