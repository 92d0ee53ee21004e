#pragma once

#include "colour_space.h"
#include "solver_settings.h"

class CurveSet;

// How the colour constraint images store their values. Bytes: opaque sRGB colours, which 8 bits
// hold exactly (k / 255). Shorts: sRGB colours some of which are translucent: 16 bits still hold
// every opaque colour exactly (k / 255 is k * 257 / 65535) and the premultiplied colours and
// encoded opacities to 1/65535. HalfFloats: the colours of another space, whose values leave
// 0..1.
enum class ConstraintPrecision { Bytes, Shorts, HalfFloats };

// What a DiffusionSolver works from, read by its parts at each pass: the drawing (not owned;
// null: nothing is drawn) and the user's settings.
struct SolverInput {
    const CurveSet* curves = nullptr;
    SolverSettings settings;

    // The space the drawing is diffused in (sRGB without a drawing).
    ColourSpace colourSpace() const;
    // True when some colour point of the drawing is not fully opaque.
    bool translucent() const;
    // The storage the colour constraint images need (see ConstraintPrecision).
    ConstraintPrecision constraintPrecision() const;
};
