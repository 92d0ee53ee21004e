#pragma once

class CurveSet;

// Set-wide edits: each acts on every selected curve in list order, then on the current curve (a
// curve both listed and current is edited twice), and returns the number of curves it edited,
// each curve counted once.

// Adds shift to every blur value (clamped to 0 .. the largest blur).
int setGlobalBlur(CurveSet& set, int shift);
// Toggles the stylized flag.
int stylizeSplines(CurveSet& set);
int increaseContrast(CurveSet& set);
int decreaseContrast(CurveSet& set);
// Swaps the left and right colours.
int switchColors(CurveSet& set);
// One smoothing pass; recomputes the selection box and hull.
int smoothSplines(CurveSet& set);
