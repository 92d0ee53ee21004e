#include "curve_set.h"

#include <cmath>

void CurveSet::copySplines()
{
    if (hasCurrentCurve()) {
        clipboard.clear();
        clipboard.append(curves[current_curve]);
        clipboard.last().setSelected(false);
        return;
    }
    QVector<Curve> copies;
    for (int i : selection) {
        if (i < 0 || i >= nb_curves)
            continue;
        copies.append(curves[i]);
        copies.last().setSelected(false);
    }
    // A selection naming no existing curve copies nothing and keeps the clipboard.
    if (!copies.isEmpty())
        clipboard = copies;
}

void CurveSet::cutSplines()
{
    copySplines();
    if (hasCurrentCurve()) {
        removeCurve(current_curve);
        current_curve = -1;
    } else if (!selection.isEmpty()) {
        deleteSelected();
    }
}

void CurveSet::pasteSplines(const View& view)
{
    if (clipboard.isEmpty())
        return;
    // A zoom of 0 or a broken view would put the copies at infinity.
    const double zoom = std::isfinite(view.zoom) && view.zoom > 0.0 ? view.zoom : 1.0;
    const double panX = std::isfinite(view.pan.x) ? view.pan.x : 0.0;
    const double panY = std::isfinite(view.pan.y) ? view.pan.y : 0.0;

    Point centre;
    if (clipboard.size() == 1) {
        addCurve(clipboard.first());
        setCurrentCurve(nb_curves - 1);
        const Curve& pasted = curves.last();
        centre = pasted.bbox_min + (pasted.bbox_max - pasted.bbox_min) * 0.5;
    } else {
        clearSelection();
        for (const Curve& entry : qAsConst(clipboard)) {
            addCurve(entry);
            addToSelection(nb_curves - 1);
        }
        centre = selection_min + (selection_max - selection_min) * 0.5;
    }

    // Drag the copies from their box centre to 130 % of it, in view coordinates: they move by
    // 30 % of the centre over the zoom, so copies of curves around the origin stay in place.
    const double cx = centre.x;
    const double cy = centre.y;
    beginDrag(cx / zoom - panX, cy / zoom - panY, true);
    dragTo((cx + 0.3 * cx) / zoom - panX, (cy + 0.3 * cy) / zoom - panY);
    beginDrag(0.0, 0.0, false);
}

void CurveSet::copyBlur()
{
    copied_blur = -1;
    if (selection.isEmpty()) {
        if (hasCurrentCurve())
            copied_blur = curves[current_curve].meanBlur();
        return;
    }
    int sum = 0;
    int count = 0;
    for (int i : selection) {
        if (i < 0 || i >= nb_curves)
            continue;
        sum += curves[i].meanBlur();
        ++count;
    }
    if (count > 0)
        copied_blur = sum / count;
}

void CurveSet::pasteBlur()
{
    if (copied_blur == -1)
        return;
    if (selection.isEmpty()) {
        if (hasCurrentCurve())
            curves[current_curve].setUniformBlur(copied_blur);
        return;
    }
    for (int i : selection)
        if (i >= 0 && i < nb_curves)
            curves[i].setUniformBlur(copied_blur);
}
