#pragma once

#include "gouraud_mesh.h"
#include "reference_picture.h"
#include "step_lines.h"

#include <cstddef>

// How closely the mesh follows the picture.
struct MeshSettings {
    // Largest difference allowed between the mesh's colour and the picture's, in 1/255 levels
    // of one channel, at any pixel of the picture the comparison reads (see stepMargin).
    double tolerance = 1.0;
    // Canvas units: a corner on a step line takes the colour read this far beside the line on
    // its triangle's side, inside the colour strip, clear of the line's anti-aliased pixels.
    double sideOffset = 2.5 / 512;
    // Canvas units: pixels whose centre lies this close to a step line are not compared. They
    // hold the anti-aliased step, which the mesh leaves to the step bands (step_bands.h).
    double stepMargin = 1.5 / 512;
    // A triangle whose longest edge is shorter than this many pixels of the picture is not
    // split further: where the picture is singular (the end of a curve, a crossing) no finer
    // mesh would follow it. A thin triangle is split whatever its area: slivers along the step
    // lines reach far. 6 pixels of a solve at twice the canvas size are 3 canvas pixels.
    double shortestSplitEdge = 6.0;
    // The refinement stops once the mesh has this many triangles.
    std::size_t maxTriangles = 4000000;
};

struct MeshStatistics {
    int rounds = 0;        // rounds of refinement
    bool capped = false;   // stopped by maxTriangles
    double worstError = 0; // largest difference left in a triangle large enough to split
};

// Triangulates the canvas (-1 .. 1 on both axes) so that linear interpolation of the corner
// colours inside every triangle stays within `settings.tolerance` of `picture` at every
// compared pixel centre. Edges follow every step line (clipped to the canvas) as the
// constraints of a constrained Delaunay triangulation, whose corners on a line take the colour
// of their own side, so the step stays a step at any scale. Starting from the canvas corners
// and the lines, each round measures every new triangle against the picture's pixels inside it
// and adds a corner at the worst pixel of each triangle still out of tolerance; a corner off
// the lines takes the picture's colour at its point. Ends when no triangle is out of
// tolerance or the mesh reaches maxTriangles. An empty picture gives an empty mesh.
GouraudMesh buildAdaptiveMesh(const ReferencePicture& picture, const std::vector<StepLine>& lines,
                              const MeshSettings& settings, MeshStatistics* statistics = nullptr);
