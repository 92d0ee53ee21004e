#pragma once

#include "diffusion_solver.h"

#include <QImage>

#include <functional>
#include <vector>

class CurveSet;

// Colour-fitting rounds of a trace by default (command line, benchmarks, tests): measured on
// photos and on the random-curves round trip, the first round gains about 1 to 2.5 dB, the
// second 0.2 to 0.7 dB, later ones less.
constexpr int kDefaultTraceRounds = 2;

// Fits the colour points of a traced drawing to the bitmap it was traced from, by least squares.
// For fixed curves the solved picture is linear in the colour points. Each round takes as a new
// direction the descent direction of the error left (colorDescentDirection, through a CPU model
// of the solver), renders the change that direction makes (one solve), and finds, per colour
// channel, the combination of all directions so far that leaves the least squared error.
//
// `solver` must be initialised with its context current and the curve rendering set up for it;
// it is handed `drawing` and keeps it. `bitmap` is what was traced (scaled to the solver's canvas
// here). Returns the PSNR (dB) of the render against the bitmap before the first round and after
// each round run: the rounds' values are what the linear fit predicts, the last one is measured
// by rendering the fitted drawing (colours rounded to whole levels). Fitted colours that measure
// no better than the first ones are not kept. `cancelled`, when given, is asked before each
// round's solve; true ends the fitting at once and leaves the drawing's colours as they were.
// `picture`, when given, receives the drawing's render as it is left (renderTracedPicture's), so
// that a caller wanting it need not solve again; null when cancelled.
std::vector<double> refineTracedColors(DiffusionSolver& solver, CurveSet& drawing,
                                       const QImage& bitmap, int rounds,
                                       const std::function<bool()>& cancelled = {},
                                       QImage* picture = nullptr);

// The picture the refinement compares: the whole canvas at export quality, blurred.
QImage renderTracedPicture(DiffusionSolver& solver, QString* error = nullptr);
