// Both solves of the solver run on its Multigrid (multigrid.h). A fresh solve runs F-cycles (what
// one does to the error: see MultigridStopRule) from the first estimate pulled from the
// constraints, which saves the blur map a cycle and keeps a flat drawing exactly flat. A re-solve
// from the previous answer runs an F-cycle, for the large local change a moved curve leaves, and
// then V-cycles, which are cheaper but reduce the error less; the stop rule adds F-cycles where
// that is not enough (a busy drawing, a long jump).
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
    progressiveOperators = false; // the operators now belong to this problem
    colourOperatorsKept = false;
    displayPyramidStale = true;
    leavePasses();
}
