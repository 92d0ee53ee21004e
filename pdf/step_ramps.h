#pragma once

#include "gouraud_mesh.h"
#include "reference_picture.h"
#include "step_lines.h"

// The renderer anti-aliases the steps along the curves: each pixel a step line cuts holds both
// colours by its area on each side. PDF readers draw a mesh's triangles without anti-aliasing,
// and only some anti-alias the edge of a clip path around a shading (pdftoppm does not), so the
// step goes over the mesh as a narrow ramp: along every step line a band of quads from
// `halfWidth` right of the line (the right colour) to `halfWidth` left of it (the left colour).
// Drawn at one pixel per 2 halfWidth the ramp is close to the renderer's anti-aliased edge, and
// it also absorbs the readers' different placing of triangle edges within a pixel (up to half
// a pixel, in opposite directions in mupdf and poppler); at coarser scales it is a step, at
// finer ones a steep ramp. Widths in canvas units.
struct RampWidths {
    // Half a canvas pixel across (a pixel at twice the canvas size): measured at 4 times the
    // canvas, it gives both readers their closest match to the renderer's edges.
    double halfWidth = 0.5 / 512;
    // How far beside the line each side's colour is read (see MeshSettings::sideOffset).
    double sideOffset = 2.5 / 512;
};

// The ramps of `lines`, their colours read from `picture`: two triangles per piece of line.
GouraudMesh stepRamps(const std::vector<StepLine>& lines, const ReferencePicture& picture,
                      const RampWidths& widths = RampWidths());
