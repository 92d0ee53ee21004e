#pragma once

#include <vector>

// The falling levels of the blur pass, one per smoothing cycle, computed in single precision:
// v starts at 16; while v * v - 1 >= 0, e = sqrt(v * v - 1) gives the level e / 16 and v = e.
// That is 255 levels from 0.998045 down to 0.0624948, all above 0: a pixel whose blur-map
// value is b is smoothed in about 256 b^2 cycles.
std::vector<float> blurPassLevels();

#include "curve_set_layers.h"

class CurveSet;

// Largest blur amount (blur / 16, at most 1) any curve of the set asks for; 0 without a set. The
// blur map is a Laplace solve of the rasterised blur values, so no pixel of it exceeds this.
float largestBlur(const CurveSet* set);
// The same over the curves of `run` (one layer's), clipped to the set's curves.
float largestBlur(const CurveSet* set, CurveRange run);
// True when a picture whose largest blur is `largest` is changed by the blur pass: some level
// of blurPassLevels lies below it.
bool blurPassChanges(float largest);
