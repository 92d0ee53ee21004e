#include "drawing_change.h"

#include "curve_set.h"
#include "curve_set_selection.h"

#include <algorithm>

namespace {

// A stored curve carries no editing state: it is unselected and has no selected point.
Curve withoutEditingState(Curve curve)
{
    curve.setSelected(false);
    curve.clearControlPointSelection();
    return curve;
}

QVector<Curve> storedRun(const QVector<Curve>& curves, int first, int count)
{
    QVector<Curve> run;
    run.reserve(count);
    for (int i = first; i < first + count; ++i)
        run.append(withoutEditingState(curves[i]));
    return run;
}

// After curves were replaced: selection entries and the current curve that name no curve are
// dropped, the selected flags follow the selection list again, and its box and hull are renewed.
void keepEditingStateValid(CurveSet& set, int first, int count)
{
    QVector<int> valid;
    for (int index : set.selection) {
        if (index >= 0 && index < set.nb_curves && !valid.contains(index))
            valid.append(index);
    }
    set.selection = valid;
    for (int i = first; i < first + count; ++i)
        set.curves[i].setSelected(false);
    for (int index : set.selection)
        set.curves[index].setSelected(true);
    if (!set.hasCurrentCurve())
        set.current_curve = -1;
    selectionBox(set);
    selectionHull(set);
}

} // namespace

DrawingSnapshot DrawingSnapshot::of(const CurveSet& set)
{
    return DrawingSnapshot{set.curves, set.layers, set.image_width, set.image_height,
                           set.colour_space};
}

bool sameDrawnCurve(const Curve& a, const Curve& b)
{
    return a.stylized == b.stylized && a.nb_control_points == b.nb_control_points
           && a.nb_left_colors == b.nb_left_colors && a.nb_right_colors == b.nb_right_colors
           && a.nb_blur_points == b.nb_blur_points && a.lifetime == b.lifetime
           && a.closed == b.closed && a.default_left_color == b.default_left_color
           && a.default_right_color == b.default_right_color && a.default_blur == b.default_blur
           && a.bbox_min == b.bbox_min && a.bbox_max == b.bbox_max
           && a.control_points == b.control_points && a.left_colors == b.left_colors
           && a.right_colors == b.right_colors && a.blur_values == b.blur_values
           && a.left_color_ids == b.left_color_ids && a.right_color_ids == b.right_color_ids
           && a.blur_ids == b.blur_ids;
}

DrawingChange DrawingChange::between(const DrawingSnapshot& before, const CurveSet& after)
{
    const QVector<Curve>& old = before.curves;
    const QVector<Curve>& now = after.curves;
    const int shorter = std::min(old.size(), now.size());
    int prefix = 0;
    while (prefix < shorter && sameDrawnCurve(old[prefix], now[prefix]))
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix
           && sameDrawnCurve(old[old.size() - 1 - suffix], now[now.size() - 1 - suffix]))
        ++suffix;

    DrawingChange change;
    change.first = prefix;
    change.before = storedRun(old, prefix, old.size() - prefix - suffix);
    change.after = storedRun(now, prefix, now.size() - prefix - suffix);
    change.widthBefore = before.image_width;
    change.heightBefore = before.image_height;
    change.widthAfter = after.image_width;
    change.heightAfter = after.image_height;
    change.spaceBefore = before.colour_space;
    change.spaceAfter = after.colour_space;
    change.layersBefore = before.layers;
    change.layersAfter = after.layers;
    return change;
}

bool DrawingChange::isEmpty() const
{
    return before.isEmpty() && after.isEmpty() && widthBefore == widthAfter
           && heightBefore == heightAfter && spaceBefore == spaceAfter
           && layersBefore == layersAfter;
}

bool DrawingChange::sameLayerSettings(const QVector<Layer>& a, const QVector<Layer>& b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(),
                         [](const Layer& x, const Layer& y) { return x.sameSettings(y); });
}

bool DrawingChange::absorb(const DrawingChange& next)
{
    if (next.first != first || next.before.size() != after.size())
        return false;
    after = next.after;
    widthAfter = next.widthAfter;
    heightAfter = next.heightAfter;
    spaceAfter = next.spaceAfter;
    layersAfter = next.layersAfter;
    // When the two edits cancel out, the run holds nothing that changed.
    if (before.size() == after.size()
        && std::equal(before.begin(), before.end(), after.begin(), sameDrawnCurve)) {
        before.clear();
        after.clear();
    }
    return true;
}

void DrawingChange::apply(CurveSet& set) const
{
    replaceRun(set, first, before.size(), after, widthAfter, heightAfter);
    set.colour_space = spaceAfter;
    restoreLayers(set, layersAfter);
}

void DrawingChange::revert(CurveSet& set) const
{
    replaceRun(set, first, after.size(), before, widthBefore, heightBefore);
    set.colour_space = spaceBefore;
    restoreLayers(set, layersBefore);
}

void DrawingChange::restoreLayers(CurveSet& set, const QVector<Layer>& layers)
{
    if (layers.isEmpty())
        return; // a change made without layers (every drawing has one): leave the set's
    set.layers = layers;
    set.fitLayersToCurves();
}

void DrawingChange::replaceRun(CurveSet& set, int first, int removed,
                               const QVector<Curve>& inserted, int width, int height)
{
    const int size = set.curves.size();
    first = std::clamp(first, 0, size);
    removed = std::clamp(removed, 0, size - first);
    if (removed == inserted.size()) {
        // A run of the same length (a drag, a recolouring) is overwritten in place.
        for (int i = 0; i < removed; ++i)
            set.curves[first + i] = inserted[i];
    } else {
        QVector<Curve> curves;
        curves.reserve(size - removed + inserted.size());
        curves << set.curves.mid(0, first) << inserted << set.curves.mid(first + removed);
        set.curves = curves;
    }
    set.nb_curves = set.curves.size();
    set.image_width = width;
    set.image_height = height;
    keepEditingStateValid(set, first, inserted.size());
}

namespace {

bool sameGeometry(const Curve& a, const Curve& b)
{
    return a.control_points == b.control_points && a.closed == b.closed && a.stylized == b.stylized
           && a.lifetime == b.lifetime;
}

bool sameColours(const Curve& a, const Curve& b)
{
    return a.left_colors == b.left_colors && a.right_colors == b.right_colors
           && a.left_color_ids == b.left_color_ids && a.right_color_ids == b.right_color_ids
           && a.default_left_color == b.default_left_color
           && a.default_right_color == b.default_right_color;
}

bool sameBlur(const Curve& a, const Curve& b)
{
    return a.blur_values == b.blur_values && a.blur_ids == b.blur_ids
           && a.default_blur == b.default_blur;
}

} // namespace

DrawingEdit DrawingEdit::of(const DrawingChange& change, bool inGesture)
{
    DrawingEdit edit;
    edit.inGesture = inGesture;
    if (change.changesWholeDrawing())
        return edit;
    edit.everything = false;
    edit.change = change;
    const QVector<Curve>& before = change.curvesBefore();
    const QVector<Curve>& after = change.curvesAfter();
    if (before.size() != after.size())
        return edit; // curves came or went: everything about them changed
    edit.aspects = 0;
    for (int i = 0; i < before.size(); ++i) {
        if (!sameGeometry(before[i], after[i]))
            edit.aspects |= Geometry;
        if (!sameColours(before[i], after[i]))
            edit.aspects |= Colours;
        if (!sameBlur(before[i], after[i]))
            edit.aspects |= Blur;
    }
    return edit;
}
