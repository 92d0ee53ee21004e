// Both solves of the solver run on its Multigrid (multigrid.h). A fresh solve runs F-cycles (each
// reduces the error about 10 times) from a uniform start, or, for the blur map, from the first
// estimate pulled from its constraints, which leaves one cycle fewer to run. A re-solve from the previous answer
// ends with V-cycles, which are cheaper but reduce the error only about 3 times: enough after a
// small move, too little after a long jump of a curve, so the re-solve begins with two F-cycles.
#include "solver_gl.h"

#include "diffusion_solver.h"

#include <algorithm>

void DiffusionSolver::solveProblem(const Problem& problem, int cycles, Start start, float value,
                                   MultigridStopRule stop)
{
    solvergl::beginPasses();
    if (start == Start::Uniform) {
        problem.solution->bindAsTarget();
        glClearColor(value, value, value, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    } else if (start == Start::FromConstraints) {
        multigrid.estimateFromConstraints(problem, value);
    }
    const bool fresh = start != Start::Previous;
    const int fCycles = fresh ? cycles : std::min(cycles, kReSolveFCycles);
    multigrid.solve(problem, fCycles, cycles - fCycles, stop);
    displayPyramidStale = true;
    leavePasses();
}
