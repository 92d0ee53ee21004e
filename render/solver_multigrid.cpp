// Both solves of the solver run on its Multigrid (multigrid.h). A fresh solve runs F-cycles (each
// reduces the error about 10 times) from the first estimate pulled from the constraints, which
// saves the blur map a cycle and keeps a flat drawing exactly flat. A re-solve from the previous
// answer ends with V-cycles, which are cheaper but reduce the error only about 3 times: enough after a
// small move, too little after a long jump of a curve, so the re-solve begins with two F-cycles.
#include "solver_gl.h"

#include "diffusion_solver.h"

#include <algorithm>

void DiffusionSolver::solveProblem(const Problem& problem, int cycles, bool fresh, float emptyValue,
                                   MultigridStopRule stop)
{
    solvergl::beginPasses();
    if (fresh)
        multigrid.estimateFromConstraints(problem, emptyValue);
    const int fCycles = fresh ? cycles : std::min(cycles, kReSolveFCycles);
    multigrid.solve(problem, fCycles, cycles - fCycles, stop);
    displayPyramidStale = true;
    leavePasses();
}
