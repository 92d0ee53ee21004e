#pragma once

#include "point.h"

#include <vector>

class CurveSet;

// A polyline along which the picture steps from a curve's right colour to its left one: the
// middle of the curve's colour strip, where the strip's rasteriser puts the step. Between two
// samples P(i), P(i+1) of the curve's sampling walk, with unit left normals n(i), n(i+1) and the
// strip's half-width h, the strip's two triangles put it on P(i), M(i), P(i+1) with
// M(i) = (P(i) + h n(i) + P(i+1) - h n(i+1)) / 2: the middle of their shared diagonal.
struct StepLine {
    std::vector<Point> points;  // canvas units, in the curve's direction, at least two
    std::vector<Point> normals; // unit, towards the curve's left side, one per point
};

// The step lines of the curves the renderer rasterises (above the lifetime threshold, with
// more than 3 control points), `halfWidth` being the colour strips' half-width in canvas units.
// With `blurred`, the runs of samples whose blur is above 0 are left out: the blur pass
// softens the step there, so the picture is smooth across the curve. Points closer than 1e-9
// to the one before are dropped.
std::vector<StepLine> curveStepLines(const CurveSet& drawing, bool blurred, double halfWidth);
