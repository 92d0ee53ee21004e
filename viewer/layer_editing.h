#pragma once

#include "curve_set_layers.h"

class CurveSet;
struct PickHits;

// What the mouse may edit in a drawing of several layers: the curves of the current layer, none
// while that layer is locked or hidden (an edit the user cannot see). Curves of other layers are
// drawn faded and are not picked; new strokes go into the current layer (CurveSet::newCurve).

// The run of curves the mouse may edit: the current layer's, empty when it refuses edits.
CurveRange editableCurves(const CurveSet& set);
// True when the current layer is locked or hidden: it takes no stroke and no edit.
bool currentLayerRefusesEdits(const CurveSet& set);
// The status text that says why the current layer refuses an edit (locked first, then hidden).
QString refusedEditMessage(const CurveSet& set);
// Drops the current curve and the selected curves that lie outside editableCurves (after the
// current layer changed, a layer was locked, or undo moved curves to another layer). Returns
// true when it dropped something.
bool keepEditingInCurrentLayer(CurveSet& set);
// Selects every curve of editableCurves and drops the current curve; returns how many are
// selected.
int selectEditableCurves(CurveSet& set);
// `hits` without the records of curves outside editableCurves (records of no curve stay).
PickHits onlyEditableHits(const PickHits& hits, const CurveSet& set);
