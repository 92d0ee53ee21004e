#pragma once

#include "view.h"

// Multiplies the current GL matrix by `view`: a scale (zoom, zoom, 0), then a translation
// (pan.x, pan.y, 0), so that canvas point p is drawn at zoom * (p + pan). Needs a current
// context; the caller selects the matrix (the model-view).
void multiplyViewTransform(const View& view);
