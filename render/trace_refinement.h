#pragma once

#include "diffusion_solver.h"

#include <QImage>

#include <vector>

class CurveSet;

// Fits the colour points of a traced drawing to the bitmap it was traced from. For fixed curves
// the solved picture is linear in the colour points, so each round renders the drawing, takes
// the difference to the bitmap beside every colour point and moves the point by it.
//
// `solver` must be initialised with its context current and the curve rendering set up for it;
// it is handed `drawing` and keeps it. `bitmap` is what was traced (scaled to the solver's canvas
// here). Returns the PSNR (dB) of the render against the bitmap before the first round and after
// each round run. A round that lowers the PSNR is undone and ends the fitting (its entry repeats
// the one before). `stop`, when given and true, ends the rounds early.
std::vector<double> refineTracedColors(DiffusionSolver& solver, CurveSet& drawing,
                                       const QImage& bitmap, int rounds,
                                       const bool* stop = nullptr);

// The picture the refinement compares: the whole canvas at export quality, blurred.
QImage renderTracedPicture(DiffusionSolver& solver, QString* error = nullptr);
