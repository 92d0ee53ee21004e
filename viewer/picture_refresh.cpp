#include "picture_refresh.h"

#include "diffusion_solver.h"
#include "drawing_change.h"

void PictureRefresh::drawingEdited(const DrawingEdit& edit)
{
    busy = rasterPending = changed = true;
    // Inside a gesture the finishing work waits for its end, which reports once more.
    finishAtRest = !edit.inGesture;
}

void PictureRefresh::solveAfresh() { busy = rasterPending = changed = fresh = finishAtRest = true; }

bool PictureRefresh::step()
{
    if (!busy)
        return false;
    if (rasterPending) {
        solver.beginProgressiveSolve(fresh);
        rasterPending = fresh = false;
    }
    if (changed) {
        changed = false;
        restCycles = 0;
        solver.progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
        return true; // the next frame looks whether the picture rests
    }
    const int cycles = restCycles == 0 ? DiffusionSolver::kFirstRestCycles : 1;
    restCycles += cycles;
    const bool settled = solver.progressiveStep(true, cycles) || restCycles >= kMaxRestCycles;
    if (!settled)
        return true;
    if (finishAtRest)
        solver.finishProgressiveSolve();
    busy = finishAtRest = false;
    return false;
}

void PictureRefresh::settle()
{
    while (step()) {
    }
}
