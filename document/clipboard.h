#pragma once

class CurveSet;
struct View;

// The drawing's private clipboard: whole curves (`clipboard`) and one blur value (`copied_blur`).

// The current curve, else the selected curves, replace the clipboard; else it is kept.
void copySplines(CurveSet& set);
// Copies, then removes the current curve, else the selected curves.
void cutSplines(CurveSet& set);
// Pastes copies, colours and opacity as copied, into the current layer, displaced by 30 % of
// their box centre divided by the view's zoom, as the viewer shows the canvas. One copy becomes
// current; several become the selection.
void pasteSplines(CurveSet& set, const View& view);
// Mean blur of the selected curves (integer mean of their means), else of the current curve.
void copyBlur(CurveSet& set);
// Uniform copied blur on the selected curves, else on the current curve.
void pasteBlur(CurveSet& set);
