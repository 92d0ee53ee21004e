#pragma once

#include "coverage_mesh.h"
#include "overlay_geometry.h"

class CurveSet;

// The curves as the editor's view shows them, anti-aliased (CoverageMesh) in window pixels: the
// same shapes, colours and order as drawCurves of curve_drawing.h, which stays the aliased
// drawing that picking uses. Bodies in black at the settings' lineWidth, unfinished curves
// dashed 4 pixels on, 4 off; then the current curve's dashed box and its control points (yellow
// tangent lines and disks, blue crosses 3 pixels wide) or attribute points (black rings of
// radius 1.5 r around disks of radius r in the point's colour); or, without a current curve, the
// dashed selection box (width 1) and the control points of every selected curve. Curves below
// the lifetime threshold are left out. Needs no GL context.
CoverageMesh curveOverlayMesh(const CurveSet& set, const WindowMapping& toWindow);
