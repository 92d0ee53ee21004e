#pragma once

#include "curve.h"
#include "curve_set_layers.h"
#include "manipulation_mode.h"
#include "pick_names.h"

class CurveSet;
class CurveGeometryCache;
struct CanvasRect;

// GL drawing of curves and of whole curve sets, in canvas coordinates under whatever projection
// and model-view the caller has set. Every function needs a current GL context. They read the
// settings of curve_rendering.h; the caller binds the target framebuffer.
//
// Strips and curve lines go to GL as client-side vertex arrays, all curves of a set in one draw
// call where the state between them is the same; handles and boxes are drawn in immediate mode.
// Client arrays are disabled again afterwards, the client active texture unit is 0 and the
// array-buffer binding 0; the current colour and texture coordinates are only what each
// function's comment states.
//
// A curve whose lifetime is below the lifetime threshold is skipped by every per-curve function
// except drawSampleNames. The rasterising functions (gradients, footprint, colour and blur
// strips) also skip curves of 3 control points or fewer. Selection names (glLoadName) are given
// for GL_SELECT picking; in render mode they are ignored.

// ---- constraint images, per curve
// Line strip along the sampling walk with colour 0.5 + 0.5 * n.x (resp. n.y) * (L - R) / 255 per
// channel; texturing off on units 1 and 0, colour white at the end.
void drawGradientX(const Curve& curve);
void drawGradientY(const Curve& curve);
// Triangle strip of half-width 5 pixelSize, no colour or program; used for stencil counting.
void drawStencilFootprint(const Curve& curve);
// The same strip with the colour-constraints program: texture-coordinate sets 1..3 carry
// (right, left) of red, green, blue in 0..1, set 0 carries (side, 0.2) with side 0 on the right
// edge and 1 on the left edge. Texturing off on units 1 and 0; the program is released after.
void drawColorConstraintStrip(const Curve& curve);
// Triangle strip of half-width 2 pixelSize in grey blur / 16, alpha 1; colour white at the end.
void drawBlurStrip(const Curve& curve);

// ---- display and picking, per curve
// Line strips of 11 samples per segment, width lineWidth; a curve of 3 control points or fewer is
// a dashed polyline (stipple 1, 0xF0F0) through its control points. Uses the current colour.
void drawCurve(const Curve& curve);
// One short line per sample piece named kSamplesPerSegment * (s + 1) + k (k = 0..10) for piece k
// of segment s, i.e. the globalID of its first sample plus 10. Ignores the lifetime threshold.
void drawSampleNames(const Curve& curve);
// Rings and disks for the colour and blur points, only when each list has more than one point.
// Left points at P + 4r n, right at P - 4r n, blur at P, r = handleSize / 2; the first point of
// each list is skipped on a closed curve. Names: with indexNames 20000 + i (left), 30000 + i
// (right), 10000 + i (blur); otherwise globalID + 10.
void drawAttributePoints(const Curve& curve, bool indexNames);
// Tangent lines and disks (yellow) named 10000 + index, key point crosses (blue, width 3) named
// 10000 + index. A count that is not 0 and not 3m + 1 prints "!!! i = <next multiple of 3> and
// nbPoint = <count>\n" on stderr; only existing points are drawn. Colour black, width 1 after.
void drawControlPoints(const Curve& curve);
// Dashed black rectangle over bbox_min..bbox_max and an invisible (alpha 0, blended) quad over it
// for picking. Blending is off again afterwards; colour black, width 1.
void drawBoundingBox(const Curve& curve);

// ---- whole sets, curves visited in index order
void drawGradientsX(const CurveSet& set);
void drawGradientsY(const CurveSet& set);
// Both at once, in one pass of the lines: the x gradients into colour attachment 0 of the bound
// framebuffer, the y gradients into attachment 1 (gradientPairProgram).
void drawGradientPairs(const CurveSet& set);
// Into the bound framebuffer, which must have a stencil buffer: clears colour to (0, 0, 0, 0)
// and the stencil to 0, draws the colour strips while counting in the stencil the strip
// triangles over each pixel, then writes (0, 0, 0, 0) again where the count is 2 or more, so that
// pixels covered twice (crossings, folds) stay unconstrained: the colour strips as drawn only
// where the count is 0 or 1. Expects blending and the depth test off, as for every constraint
// image. Colour mask all on, stencil test off after.
void drawColorConstraints(const CurveSet& set);
// Clears colour to (0, 0, 0, 0), then every blur strip (alpha 1 marks a constrained pixel).
void drawBlurStrips(const CurveSet& set);

// ---- from kept geometry (curve_geometry_cache.h), curves visited in index order
// The same images as the functions above draw for the set `cache` was last synced with, from
// the cache's vertices: only the curves whose extent meets `within` (canvas units; every curve
// with nullptr). Clears and draws like the functions above and, like them, respect the
// caller's scissor box: with the scissor set to pixels that `within` holds (plus a pixel of
// margin), those pixels come out exactly as a drawing of every curve makes them, since every
// curve that can reach them is drawn, in the same order, from the same vertices. With `run`,
// only the curves of that run (one layer's) are drawn.
void drawCachedGradientPairs(const CurveGeometryCache& cache, const CanvasRect* within,
                             const CurveRange* run = nullptr);
void drawCachedColorConstraints(const CurveGeometryCache& cache, const CanvasRect* within,
                                const CurveRange* run = nullptr);
void drawCachedBlurStrips(const CurveGeometryCache& cache, const CanvasRect* within,
                          const CurveRange* run = nullptr);

// Display: every curve; then the current curve's box and its control points (or its attribute
// points when show_attributes is set); or, without a current curve, the selection box and the
// control points of every selected curve.
void drawCurves(const CurveSet& set);
// Dashed rectangle over selection_min..selection_max and an invisible quad for picking.
void drawSelectionBox(const CurveSet& set);
// Named drawing for GL picking in the viewer's mouse mode for a pick of `purpose` (left press,
// context menu, Shift toggle or scribble). The
// names are those of pick_names.h; picker.h runs the selection pass around this drawing.
// Unknown modes or purposes draw nothing.
void drawForPicking(const CurveSet& set, ManipulationMode mode, PickPurpose purpose);
