#pragma once

class Curve;

// One-click edits of a whole curve: its shape, position, colours and blur values.

// One pass of neighbour averaging over control points 1 .. n - 2 (the ends stay).
void smooth(Curve& curve);
// Move every colour point a tenth of its difference away from (increase) or towards (decrease)
// the colour on the other side at the same place; channels clamp to 0..255. A side without
// colour points leaves the other unchanged.
void increaseContrast(Curve& curve);
void decreaseContrast(Curve& curve);
// Adds shift to every blur value, clamped to 0..16.
void shiftBlur(Curve& curve, int shift);
// Swaps the left and right colour lists, and the default colours with them.
void switchColors(Curve& curve);
// The curve's default colours and blur (those the panel shows for it and new points get) become
// its first colour and blur points; a list without points leaves its default as it is.
void takeDefaultsFromPoints(Curve& curve);
// Two blur points with `value`, at the start and at the end of the curve.
void setUniformBlur(Curve& curve, int value);
// Mean blur value (rounded down); 0 when the curve has no blur point.
int meanBlur(const Curve& curve);
// Moves the curve (and its box) by (x, y) - drag_anchor, then anchors at (x, y).
void translateTo(Curve& curve, double x, double y);
