#pragma once

#include "shader_constants.h"

#include <algorithm>

// A colour as the solver's images hold it (red, green, blue premultiplied by the opacity a, and
// a encoded as kOpacityFloor + (1 - kOpacityFloor) a in alpha) made straight in place: the
// colour divided by a, alpha a itself, clamped to 0..1. An opaque colour (alpha 1) is left
// exactly as it is; a fully transparent one gets colour 0.
inline void makeStraight(float rgba[4])
{
    const float opacity =
        std::clamp(float((double(rgba[3]) - kOpacityFloor) / (1.0 - kOpacityFloor)), 0.0f, 1.0f);
    if (opacity < 1.0f) {
        for (int k = 0; k < 3; ++k)
            rgba[k] = opacity > 0.0f ? rgba[k] / opacity : 0.0f;
    }
    rgba[3] = opacity;
}
