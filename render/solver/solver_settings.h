#pragma once

#include "shared_constants.h"

#include <QColor>

// How a picture is written: 8 or 16 bits per channel (depth), and whether the values are
// dithered (a pattern of at most half a step, so that slow gradients show no bands) or rounded.
struct PictureEncoding {
    int depth = 8;
    bool dither = true;
    // With `flatten`, the picture is laid over `background` (its red, green and blue; the
    // picture's own opacity decides the mix) and comes out opaque, for formats and viewers
    // without alpha; without it the picture keeps its opacity in alpha.
    bool flatten = false;
    QColor background = Qt::white;
};

// The user's settings of a DiffusionSolver, read at each solve, display and export.
struct SolverSettings {
    // The Iterations setting: each step above kDefaultIterations adds one multigrid cycle to
    // every solve of the view.
    int iterations = kDefaultIterations;
    // Whether the blur pass softens the picture.
    bool blurEnabled = false;
    // How saveImage and savePicture write the picture (default: 8 bits, dithered).
    PictureEncoding exportEncoding;
    // Whether display dithers the picture to the window's 8 bits.
    bool displayDither = true;
};

// One more iteration unless already kMaxIterations or more; returns the new value.
inline int moreIterations(SolverSettings& settings)
{
    if (settings.iterations < kMaxIterations)
        ++settings.iterations;
    return settings.iterations;
}

// One fewer iteration unless already kMinIterations or less; returns the new value.
inline int fewerIterations(SolverSettings& settings)
{
    if (settings.iterations > kMinIterations)
        --settings.iterations;
    return settings.iterations;
}
