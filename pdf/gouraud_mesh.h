#pragma once

#include "point.h"

#include <array>
#include <vector>

// A free-form triangle mesh with a colour at each vertex, drawn by linear (Gouraud)
// interpolation of the colours inside each triangle. Positions in canvas units (-1 .. 1, y up);
// colours sRGB-encoded, 0 .. 255 per channel (fractional). A position may carry other colours
// in other triangles: that is how a colour step along a curve stays a step.
struct ShadedVertex {
    Point position;
    std::array<float, 3> rgb{};
};

struct ShadedTriangle {
    std::array<ShadedVertex, 3> corners;
};

using GouraudMesh = std::vector<ShadedTriangle>;

// A mesh painted only inside `clip` (closed polygons in canvas units, their union by the
// non-zero winding rule; empty: no clip), anti-aliased along the clip's edges.
// `perChannel`: the readers interpolate its colours at every pixel, at three times the cost (see
// shadedPdf); for smooth pictures, where a reader's own piecewise-flat filling shows.
struct ShadedLayer {
    GouraudMesh mesh;
    std::vector<std::vector<Point>> clip;
    bool perChannel = false;
};
