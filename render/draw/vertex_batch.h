#pragma once

#include "curve_geometry.h"

#include <algorithm>
#include <vector>

// The strips and lines of many curves gathered into one array, so that the GL code sends a
// whole set in one draw call. Vertices are packed as the GL reads them: a float position
// (x, y; the GL supplies z = 0, w = 1) followed by float attributes. The floats are the double
// values of curve_geometry.h rounded to nearest, as immediate-mode glVertex3d / glColor3f do.
// Needs no GL context.

// Gradient line vertex: colour (r, g, b, a), the diffused channels' encoded gradients.
struct PackedGradientVertex {
    float position[2];
    float rgba[4];
};

// Gradient line vertex for both images at once: colour = the x gradient, texture-coordinate
// set 0 = the y gradient (see shaders/gradient_pair.vert).
struct PackedGradientPairVertex {
    float position[2];
    float x[4];
    float y[4];
};

// Colour-constraint strip vertex as the colour-constraints program reads it:
// texture-coordinate set 0 = (side, 0.2), sets 1..4 = (right, left) of the diffused red, green,
// blue and opacity (see diffusedColour).
struct PackedConstraintVertex {
    float position[2];
    float sideAndHeight[2];
    float rightLeft[4][2];
};

// Blur strip vertex: colour (grey, grey, grey), alpha 1.
struct PackedBlurVertex {
    float position[2];
    float grey[3];
};

// Polyline vertex: position only.
struct PackedPoint {
    float position[2];
};

// Runs of vertices in one array: run i is one primitive of counts[i] vertices starting at
// vertices[firsts[i]]. firsts and counts have one entry per run, in the order of appending.
template <typename Packed>
struct VertexBatch {
    std::vector<Packed> vertices;
    std::vector<int> firsts;
    std::vector<int> counts;

    bool empty() const { return counts.empty(); }
    int runCount() const { return static_cast<int>(counts.size()); }
};

// Each appends `run` as one new run at the end of the batch; an empty run adds nothing.
void appendRun(VertexBatch<PackedGradientVertex>& batch, const std::vector<GradientVertex>& run);
void appendRun(VertexBatch<PackedGradientPairVertex>& batch,
               const std::vector<GradientPairVertex>& run);
void appendRun(VertexBatch<PackedConstraintVertex>& batch,
               const std::vector<ConstraintVertex>& run);
void appendRun(VertexBatch<PackedBlurVertex>& batch, const std::vector<BlurVertex>& run);
void appendRun(VertexBatch<PackedPoint>& batch, const std::vector<Point>& run);

// Smallest box holding every position of a batch; for an empty batch min > max.
struct PositionBounds {
    float min[2] = {1.0f, 1.0f};
    float max[2] = {-1.0f, -1.0f};
};

template <typename Packed>
PositionBounds boundsOf(const VertexBatch<Packed>& batch)
{
    PositionBounds b;
    if (batch.vertices.empty())
        return b;
    for (int k = 0; k < 2; ++k)
        b.min[k] = b.max[k] = batch.vertices.front().position[k];
    for (const Packed& v : batch.vertices)
        for (int k = 0; k < 2; ++k) {
            b.min[k] = std::min(b.min[k], v.position[k]);
            b.max[k] = std::max(b.max[k], v.position[k]);
        }
    return b;
}
