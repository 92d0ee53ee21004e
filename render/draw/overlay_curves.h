#pragma once

#include "coverage_mesh.h"
#include "overlay_geometry.h"

#include "curve.h"
#include "curve_set_layers.h"

#include <limits>
#include <vector>

class CurveSet;

// The curves as the editor's view shows them, anti-aliased (CoverageMesh) in window pixels: the
// same shapes, colours and order as drawCurves of curve_drawing.h, which stays the aliased
// drawing that picking uses. Bodies in black at the settings' lineWidth, unfinished curves
// dashed 4 pixels on, 4 off; then the current curve's dashed box and its control points (yellow
// tangent lines and disks, blue crosses 3 pixels wide) or attribute points (black rings of
// radius 1.5 r around disks of radius r in the point's colour); or, without a current curve, the
// dashed selection box (width 1) and the control points of every selected curve. Curves below
// the lifetime threshold are left out. Needs no GL context.
//
// `options` thin the overlay of a dense drawing (see OverlayOptions); the default draws all.
struct OverlayOptions {
    // Whose lines are drawn: every curve's, or only those of the current curve and of the
    // selected curves (the handles are drawn as ever).
    enum class Lines { All, SelectedOnly };
    Lines lines = Lines::All;
    // The control points of the selected curves (without a current curve) are drawn only while
    // the selection holds at most this many curves; the current curve's are always drawn.
    int maxSelectedWithHandles = std::numeric_limits<int>::max();
    // A curve whose line is drawn whatever `lines` says (the one under the pointer); -1: none.
    int hoveredCurve = -1;
    // Curves outside this run (layers the mouse does not edit) are drawn faded; curves of hidden
    // layers are not drawn.
    CurveRange editable{0, std::numeric_limits<int>::max()};
};
CoverageMesh curveOverlayMesh(const CurveSet& set, const WindowMapping& toWindow,
                              const OverlayOptions& options = {});

// The same overlay kept between frames: each curve's line is made once and kept until the curve
// changes (sameDrawnCurve), the mapping, the line width or the lifetime threshold changes; the
// handles, which are few, are made afresh at each update. The lines come in two parts, so that a
// frame of a drag draws again only what moves: the kept lines, of the curves that did not change
// since the part was last made (the viewer keeps them drawn in a texture, see OverlayLayer), and
// the live lines, of the curves that did. A curve's first change makes the kept lines again
// without it; its next changes remake only the live lines. A new view, a curve added or removed,
// another set of shown curves, or a frame without changes while many curves are live puts every
// line back into the kept ones. Lines are black, so the order they are drawn in does not change
// the pixels. Needs no GL context.
class CurveOverlayCache {
public:
    void update(const CurveSet& set, const WindowMapping& toWindow, const OverlayOptions& options);
    // Lines of the shown curves that did not change lately, in index order.
    const CoverageMesh& keptLines() const { return keptMesh; }
    // Counts the changes of keptLines: a layer drawn at another count is out of date.
    int keptVersion() const { return version; }
    // Lines of the shown curves that changed lately, in index order.
    const CoverageMesh& liveLines() const { return liveMesh; }
    // Boxes and control or attribute points, drawn over the lines.
    const CoverageMesh& handles() const { return handlesMesh; }
    // Curves whose line the last update made afresh.
    int rebuiltLines() const { return rebuilt; }

private:
    struct Entry {
        Curve source;
        CoverageMesh line;
        bool faded = false; // drawn as a line of a layer not edited
    };
    // Makes the kept and live lines again from `shown`, the live ones being `live`.
    void joinLines();
    void joinLiveLines();

    std::vector<Entry> entries;
    WindowMapping mapping;
    int lineWidth = -1;
    int lifetimeThreshold = 0;
    std::vector<int> shown; // curves whose lines are drawn, in index order
    std::vector<int> live;  // the shown curves whose lines liveMesh holds, in index order
    CoverageMesh keptMesh;
    CoverageMesh liveMesh;
    CoverageMesh handlesMesh;
    int version = 0;
    int rebuilt = 0;
};
