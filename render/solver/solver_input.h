#pragma once

#include "colour_space.h"
#include "curve_set_layers.h"
#include "solver_settings.h"

class CurveSet;

// How the colour constraint images store their values. Bytes: opaque sRGB colours, which 8 bits
// hold exactly (k / 255). Shorts: sRGB colours some of which are translucent: 16 bits still hold
// every opaque colour exactly (k / 255 is k * 257 / 65535) and the premultiplied colours and
// encoded opacities to 1/65535. HalfFloats: the colours of another space, whose values leave
// 0..1.
enum class ConstraintPrecision { Bytes, Shorts, HalfFloats };

// What a DiffusionSolver works from, read by its parts at each pass: the drawing (not owned;
// null: nothing is drawn), the user's settings and the layer being solved.
struct SolverInput {
    const CurveSet* curves = nullptr;
    SolverSettings settings;
    // The layer whose curves the gradient, colour-constraint and blur passes draw and the solves
    // diffuse, in a layered drawing; -1 (or a layer the drawing lacks): every curve.
    int layer = -1;

    // The space the drawing is diffused in (sRGB without a drawing).
    ColourSpace colourSpace() const;
    // The curves the colour passes draw: `layer`'s run, or every curve.
    CurveRange run() const;
    // True when some colour point of run() is not fully opaque.
    bool translucent() const;
    // The storage the colour constraint images need for every layer of the drawing (see
    // ConstraintPrecision).
    ConstraintPrecision constraintPrecision() const;
    // True when the picture is made of layers solved apart and composited: the drawing has
    // several layers, or its one layer is hidden or not fully opaque. False for a drawing of
    // one visible, opaque layer (solved as one, with no compositing) and without a drawing.
    bool layered() const;
};
