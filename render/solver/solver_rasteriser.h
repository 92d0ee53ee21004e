#pragma once

#include "view.h"

struct SolverImages;
struct SolverInput;
struct SolverPrograms;

// The passes that rasterise the drawing into level 0 of a solver's images at a View: the
// gradient images, the divergence (the right-hand side of the Poisson solve), the colour
// constraints with an optional ring of the overview's colours along the window's edge, and the
// blur constraints. Without a drawing the images are cleared (no jump, nothing fixed). Every
// pass does nothing before the images are made, needs the solver's GL context current and
// leaves the state of SolverImages::leavePasses.
class SolverRasteriser {
public:
    SolverRasteriser(SolverImages& images, SolverPrograms& programs, const SolverInput& input)
        : images(images), programs(programs), input(input)
    {
    }

    // gradientX[0] and gradientY[0] from the curves at view `v`.
    void drawGradients(const View& v);
    // drawGradients, then divergence[0]: the right-hand side of the Poisson solve.
    void buildDivergencePyramid(const View& v);
    // Level 0 of colorConstraints; with `border`, a one-pixel ring along the window's edge
    // holds the colours of the full-canvas solution kept in the overview image.
    void buildColorConstraints(const View& v, bool border);
    // Level 0 of blurConstraints.
    void buildBlurConstraints(const View& v);

private:
    // Gives the constraint images the precision the drawing's space needs: 8 bits hold sRGB
    // values exactly (as they always were), the other spaces need half floats.
    void matchConstraintPrecision();

    SolverImages& images;
    SolverPrograms& programs;
    const SolverInput& input;
};
