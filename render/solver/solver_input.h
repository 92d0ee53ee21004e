#pragma once

#include "colour_space.h"
#include "solver_settings.h"

class CurveSet;

// What a DiffusionSolver works from, read by its parts at each pass: the drawing (not owned;
// null: nothing is drawn) and the user's settings.
struct SolverInput {
    const CurveSet* curves = nullptr;
    SolverSettings settings;

    // The space the drawing is diffused in (sRGB without a drawing).
    ColourSpace colourSpace() const;
};
