#pragma once

#include "colour_space.h"
#include "curve.h"
#include "curve_set_layers.h"

#include <QMetaType>
#include <QVector>

class CurveSet;

// The part of a curve set that is saved and undone: its curves, its layers (names, flags,
// opacities and the runs of curves they own), the image size and the colour space. Everything
// else in the set (current curve, current layer, selection, clipboard, drag state, working
// arrays, current colours) is editing state. Taking a snapshot is cheap: the curve array is implicitly shared
// with the set until either side changes it.
struct DrawingSnapshot {
    QVector<Curve> curves;
    QVector<Layer> layers;
    int image_width = 0;
    int image_height = 0;
    ColourSpace colour_space = ColourSpace::Srgb;

    static DrawingSnapshot of(const CurveSet& set);
};

// True when two curves hold the same saved content. Editing state kept in a curve (the selected
// flag, the selected control point, the drag anchor) is not compared. Arrays that are still
// shared compare in constant time.
bool sameDrawnCurve(const Curve& a, const Curve& b);

// What one edit changed in the saved part of a drawing, as the smallest run of curves that
// differs: `first` is the index of the run, `before` the curves it held before the edit and
// `after` those it holds after (either may be empty, for insertions and removals), plus both
// image sizes, colour spaces and lists of layers (a few values each). Holding only that run
// keeps a long history small on a large drawing.
class DrawingChange {
public:
    DrawingChange() = default;
    // The change that turns `before` into the saved part of `after`.
    static DrawingChange between(const DrawingSnapshot& before, const CurveSet& after);

    // True when the edit changed nothing that is saved.
    bool isEmpty() const;
    // Takes `next`, an edit made right after this one, into this change when it changed the same
    // run of curves (the state after both edits is then next's). False, and nothing changes,
    // otherwise. The combined change may be empty (the second edit undid the first).
    bool absorb(const DrawingChange& next);
    // Puts the set into the state after (apply) or before (revert) the edit. The set must hold
    // the other state; a run that no longer fits the set is clamped to it. The selection and
    // the current curve are kept where they still name a curve and dropped otherwise.
    void apply(CurveSet& set) const;
    void revert(CurveSet& set) const;

    int firstCurve() const { return first; }
    // True when the image size, the colour space or a layer's settings changed, or layers came,
    // went or moved: what the whole picture depends on. A layer that only gained or lost curves
    // (the run says which) is not such a change.
    bool changesWholeDrawing() const
    {
        return widthBefore != widthAfter || heightBefore != heightAfter || spaceBefore != spaceAfter
               || !sameLayerSettings(layersBefore, layersAfter);
    }
    const QVector<Layer>& layersBeforeChange() const { return layersBefore; }
    const QVector<Layer>& layersAfterChange() const { return layersAfter; }
    const QVector<Curve>& curvesBefore() const { return before; }
    const QVector<Curve>& curvesAfter() const { return after; }

private:
    static void replaceRun(CurveSet& set, int first, int removed, const QVector<Curve>& inserted,
                           int width, int height);
    // The layers `layers` given to `set`, fitted to its curves where they no longer agree.
    static void restoreLayers(CurveSet& set, const QVector<Layer>& layers);
    // True when both lists hold the same layers in the same order, curve counts aside.
    static bool sameLayerSettings(const QVector<Layer>& a, const QVector<Layer>& b);

    int first = 0;
    QVector<Curve> before;
    QVector<Curve> after;
    int widthBefore = 0, heightBefore = 0;
    int widthAfter = 0, heightAfter = 0;
    ColourSpace spaceBefore = ColourSpace::Srgb, spaceAfter = ColourSpace::Srgb;
    QVector<Layer> layersBefore, layersAfter;
};

// What one change of the drawing touched, as the document reports it (Document::drawingEdited):
// the run of curves that differs before and after (the old and the new curves, so that a view
// can find both extents), what changed in them, or the whole drawing at once (opened, new,
// recovered, another colour space or image size).
struct DrawingEdit {
    enum Aspect { Geometry = 1, Colours = 2, Blur = 4, AllAspects = 7 };

    bool everything = true;
    DrawingChange change; // the touched run; meaningless when `everything`
    int aspects = AllAspects;
    // Made while a gesture (a drag) is open: more changes are coming, and the gesture's end
    // reports the whole gesture once more.
    bool inGesture = false;

    static DrawingEdit wholeDrawing() { return DrawingEdit(); }
    // The edit `change` describes; the whole drawing when it changes its colour space or size.
    static DrawingEdit of(const DrawingChange& change, bool inGesture = false);
    bool touches(Aspect aspect) const { return (aspects & aspect) != 0; }
};

Q_DECLARE_METATYPE(DrawingEdit)
