#pragma once

#include "colour_space.h"
#include "curve.h"

#include <vector>

// The vertices of the curve strips and lines, computed on the CPU from the curve's sampling walk
// (Curve::forEachSample) so that the GL code only draws them and the geometry can be checked
// without a context. Positions are canvas units. A curve with 3 control points or fewer has no
// segment and gives empty arrays. Colours of an empty colour list count as opaque black, the
// blur of an empty blur list as 0.
//
// Colours are diffused as four channels (see diffusedColour): red, green and blue in `space`
// premultiplied by the opacity a, and the opacity encoded as kOpacityFloor +
// (1 - kOpacityFloor) a (shader_constants.h). An opaque colour gives its channels as they are
// and 1.

// A sample colour as the solver diffuses it, in `space` (sRGB: 8-bit values / 255).
void diffusedColour(const QColor& c, ColourSpace space, float out[4]);

// One vertex of a gradient line: position and the encoded gradient per diffused channel,
// 0.5 + 0.5 * n[axis] * (left - right), left and right being the sample's diffused colours.
struct GradientVertex {
    Point position;
    float rgba[4];
};
// Both gradient colours of one sample: x along n.x, y along n.y.
struct GradientPairVertex {
    Point position;
    float x[4];
    float y[4];
};
// axis 0 uses n.x, axis 1 n.y. One vertex per sample: 11 per segment.
std::vector<GradientVertex> gradientLineVertices(const Curve& curve, int axis,
                                                 ColourSpace space = ColourSpace::Srgb);
// The same line with both axes' colours.
std::vector<GradientPairVertex> gradientPairVertices(const Curve& curve,
                                                     ColourSpace space = ColourSpace::Srgb);

// One vertex of a colour-constraint strip. side is 0 on the right edge (P - h n) and 1 on the
// left edge (P + h n); left and right are the sample's diffused colours (see diffusedColour).
struct ConstraintVertex {
    Point position;
    float side;
    float left[4];
    float right[4];
};
// Two vertices per sample, right edge first, then left edge: 22 per segment. halfWidth in
// canvas units.
std::vector<ConstraintVertex> constraintStripVertices(const Curve& curve, double halfWidth,
                                                      ColourSpace space = ColourSpace::Srgb);

// One vertex of a blur strip: position and grey level blur / 16.
struct BlurVertex {
    Point position;
    float grey;
};
// Two vertices per sample (P - h n, P + h n): 22 per segment.
std::vector<BlurVertex> blurStripVertices(const Curve& curve, double halfWidth);

// The samples of one segment as a polyline (11 points), segment by segment.
std::vector<std::vector<Point>> segmentPolylines(const Curve& curve);

// A named piece of the curve for sample picking: the line from P(t) to P(t + sampleStep).
struct SamplePiece {
    unsigned int name; // globalID of the piece's first sample + kSamplesPerSegment
    Point from;
    Point to;
};
// 11 pieces per segment (t = 0, 0.1, ... while t < 1; the last one runs slightly past the end).
std::vector<SamplePiece> samplePieces(const Curve& curve);

// Position of an attribute point at globalID g: segment g div 10 at t = (g mod 10) / 10, and the
// unit left normal there. False (outputs untouched) when g lies outside 0 .. 10 * segments.
bool attributePointFrame(const Curve& curve, int globalID, Point& position, Point& normal);
