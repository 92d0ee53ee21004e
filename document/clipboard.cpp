#include "clipboard.h"

#include "curve_set.h"
#include "curve_set_selection.h"
#include "curve_transforms.h"

#include <cmath>

void copySplines(CurveSet& set)
{
    if (set.hasCurrentCurve()) {
        set.clipboard.clear();
        set.clipboard.append(set.curves[set.current_curve]);
        set.clipboard.last().setSelected(false);
        return;
    }
    QVector<Curve> copies;
    for (int i : set.selection) {
        if (i < 0 || i >= set.nb_curves)
            continue;
        copies.append(set.curves[i]);
        copies.last().setSelected(false);
    }
    // A selection naming no existing curve copies nothing and keeps the clipboard.
    if (!copies.isEmpty())
        set.clipboard = copies;
}

void cutSplines(CurveSet& set)
{
    copySplines(set);
    if (set.hasCurrentCurve()) {
        set.removeCurve(set.current_curve);
        set.current_curve = -1;
    } else if (!set.selection.isEmpty()) {
        deleteSelected(set);
    }
}

void pasteSplines(CurveSet& set, const View& view)
{
    if (set.clipboard.isEmpty())
        return;
    // A zoom of 0 or a broken view would put the copies at infinity.
    const double zoom = std::isfinite(view.zoom) && view.zoom > 0.0 ? view.zoom : 1.0;
    const double panX = std::isfinite(view.pan.x) ? view.pan.x : 0.0;
    const double panY = std::isfinite(view.pan.y) ? view.pan.y : 0.0;

    Point centre;
    if (set.clipboard.size() == 1) {
        set.setCurrentCurve(set.addCurve(set.clipboard.first()));
        const Curve& pasted = set.curves[set.current_curve];
        centre = pasted.bbox_min + (pasted.bbox_max - pasted.bbox_min) * 0.5;
    } else {
        clearSelection(set);
        for (const Curve& entry : qAsConst(set.clipboard))
            addToSelection(set, set.addCurve(entry));
        centre = set.selection_min + (set.selection_max - set.selection_min) * 0.5;
    }

    // Drag the copies from their box centre to 130 % of it, in view coordinates: they move by
    // 30 % of the centre over the zoom, so copies of curves around the origin stay in place.
    const double cx = centre.x;
    const double cy = centre.y;
    set.beginDrag(cx / zoom - panX, cy / zoom - panY, true);
    set.dragTo((cx + 0.3 * cx) / zoom - panX, (cy + 0.3 * cy) / zoom - panY);
    set.beginDrag(0.0, 0.0, false);
}

void copyBlur(CurveSet& set)
{
    set.copied_blur = -1;
    if (set.selection.isEmpty()) {
        if (set.hasCurrentCurve())
            set.copied_blur = meanBlur(set.curves[set.current_curve]);
        return;
    }
    int sum = 0;
    int count = 0;
    for (int i : set.selection) {
        if (i < 0 || i >= set.nb_curves)
            continue;
        sum += meanBlur(set.curves[i]);
        ++count;
    }
    if (count > 0)
        set.copied_blur = sum / count;
}

void pasteBlur(CurveSet& set)
{
    if (set.copied_blur == -1)
        return;
    if (set.selection.isEmpty()) {
        if (set.hasCurrentCurve())
            setUniformBlur(set.curves[set.current_curve], set.copied_blur);
        return;
    }
    for (int i : set.selection)
        if (i >= 0 && i < set.nb_curves)
            setUniformBlur(set.curves[i], set.copied_blur);
}
