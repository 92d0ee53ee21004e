// Both solves of the solver run on its Multigrid (multigrid.h). A fresh solve runs F-cycles from
// a uniform start (each reduces the error about 10 times). A re-solve from the previous answer
// ends with V-cycles, which are cheaper but reduce the error only about 3 times: enough after a
// small move, too little after a long jump of a curve, so the re-solve begins with two F-cycles.
#include "solver_gl.h"

#include "diffusion_solver.h"

#include <algorithm>

void DiffusionSolver::solveProblem(const Problem& problem, int cycles, bool fresh, float clearValue)
{
    solvergl::beginPasses();
    if (fresh) {
        problem.solution->bindAsTarget();
        glClearColor(clearValue, clearValue, clearValue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    const int fCycles = fresh ? cycles : std::min(cycles, kReSolveFCycles);
    multigrid.solve(problem, fCycles, cycles - fCycles);
    displayPyramidStale = true;
    leavePasses();
}
