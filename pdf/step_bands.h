#pragma once

#include "gouraud_mesh.h"
#include "reference_picture.h"
#include "step_lines.h"

// PDF readers draw the triangles of a mesh without anti-aliasing, but anti-alias the edges of a
// clip path. The picture's steps along the curves are anti-aliased (each pixel the line cuts
// holds both colours by area), so two thin layers go over the mesh along every step line:
//   under: the right colour over the first `under` of the line's left side, unclipped, so that
//          every pixel the line cuts shows the right colour, wherever its centre lies;
//   over:  the left colour from `overreach` right of the line to `over` left of it, clipped to
//          the band between the line and its offset by `over` to the left: a pixel the line cuts
//          gets the left colour by the part of its area on the left.
// Away from the line the layers only repeat the mesh's colours (within the colour strip), so
// at any scale where a pixel is smaller than `under` the step is anti-aliased as the renderer
// does it. All widths in canvas units, under the strip's half-width.
struct BandWidths {
    double under = 1.5 / 512;
    double over = 3.5 / 512;
    double overreach = 1.5 / 512;
    // How far beside the line each side's colour is read (see MeshSettings::sideOffset).
    double sideOffset = 2.5 / 512;
};

struct StepBands {
    ShadedLayer under;
    ShadedLayer over;
};

StepBands stepBands(const std::vector<StepLine>& lines, const ReferencePicture& picture,
                    const BandWidths& widths = BandWidths());
