#pragma once

#include <QString>

class DiffusionSolver;

// Why the pictures the renderer makes now would be wrong: it has no usable OpenGL, or one of its
// shader programs (the solver's seven image programs, the colour-constraints program) was not
// built, so that colours are not diffused and an export would come out blank. Empty when every
// program is ready. Needs no current context.
QString renderingProblem(const DiffusionSolver& solver);
