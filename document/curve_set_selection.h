#pragma once

class CurveSet;

// The multi-selection of a drawing: the curves listed in `selection`, each with its `selected`
// flag set, and the box and hull drawn around them. Indices that name no curve are ignored.

// Adds curve i to the selection and recomputes the box and hull.
void addToSelection(CurveSet& set, int i);
// Adds curve i, or removes it when it is already selected; recomputes the box and hull.
void toggleSelection(CurveSet& set, int i);
// Selects every curve and drops the current curve (the selection is what set-wide edits,
// dragging and deletion then act on); returns the number of curves selected.
int selectAll(CurveSet& set);
// Unselects every curve, empties the selection and drops the current curve; returns the former
// current_curve.
int clearSelection(CurveSet& set);
// Erases every selected curve; current_curve keeps naming the same curve (or -1 when it was
// erased).
void deleteSelected(CurveSet& set);
// selection_min / selection_max: the current curve's box, else the union of the selected curves'
// boxes, else unchanged.
void selectionBox(CurveSet& set);
// selection_hull: convex hull (Melkman) of the selected curves' control points, first vertex
// repeated at the end; empty with fewer than three points.
void selectionHull(CurveSet& set);
