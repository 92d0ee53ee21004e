#include "layer_editing.h"

#include "curve_set.h"
#include "curve_set_selection.h"
#include "picker.h"

namespace {

// Adds `curves` (unselected ones) to the selection, then makes its box and hull once: adding
// them one by one would make the hull again for each.
void selectCurves(CurveSet& set, const QVector<int>& curves)
{
    for (int i : curves) {
        set.curves[i].setSelected(true);
        set.selection.append(i);
    }
    selectionBox(set);
    selectionHull(set);
}

} // namespace

CurveRange editableCurves(const CurveSet& set)
{
    const CurveRange run = set.layerRange(set.currentLayer());
    return currentLayerRefusesEdits(set) ? CurveRange{run.first, run.first} : run;
}

bool currentLayerRefusesEdits(const CurveSet& set)
{
    const int layer = set.currentLayer();
    return layer >= 0 && layer < set.layers.size()
           && (set.layers[layer].locked || !set.layers[layer].visible);
}

QString refusedEditMessage(const CurveSet& set)
{
    const int layer = set.currentLayer();
    if (layer < 0 || layer >= set.layers.size())
        return QString();
    const Layer& current = set.layers[layer];
    if (current.locked)
        return QString("%1 is locked: untick its Lock box in the Layers list to edit it")
            .arg(current.name);
    return QString("%1 is hidden: tick its Show box in the Layers list to edit it")
        .arg(current.name);
}

bool keepEditingInCurrentLayer(CurveSet& set)
{
    const CurveRange editable = editableCurves(set);
    bool dropped = false;
    if (set.hasCurrentCurve() && !editable.contains(set.current_curve)) {
        set.setCurrentCurve(-1);
        dropped = true;
    }
    QVector<int> kept;
    for (int i : set.selection)
        if (editable.contains(i))
            kept.append(i);
    if (kept.size() != set.selection.size()) {
        const int current = set.current_curve;
        clearSelection(set);
        selectCurves(set, kept);
        set.setCurrentCurve(current);
        dropped = true;
    }
    return dropped;
}

int selectEditableCurves(CurveSet& set)
{
    clearSelection(set);
    const CurveRange editable = editableCurves(set);
    QVector<int> all;
    for (int i = editable.first; i < editable.end; ++i)
        all.append(i);
    selectCurves(set, all);
    return set.selection.size();
}

PickHits onlyEditableHits(const PickHits& hits, const CurveSet& set)
{
    const CurveRange editable = editableCurves(set);
    PickHits kept;
    for (int k = 0; k < hits.count(); ++k) {
        const PickHit& hit = hits.hits[k];
        if (hit.curve >= 0 && !editable.contains(hit.curve))
            continue;
        kept.hits.append(hit);
        if (k < hits.names.size())
            kept.names.append(hits.names[k]);
    }
    return kept;
}
