#pragma once

class DiffusionSolver;
struct DrawingEdit;

// The editor's picture, kept converging over frames: the one path from a change (of the drawing,
// the view or a renderer setting) to a new picture. A change only marks what must be redone; each
// frame then calls step() once, with the context current:
// - a frame that follows a change re-rasterises the drawing and spends a fixed budget of
//   DiffusionSolver::kMovingFrameCycles multigrid cycles, going on from the previous frame's picture (nothing is thrown away). Changes that
//   arrive before the next frame (mouse moves) merge: one re-rasterising and one budget a frame;
// - a frame with no new change (the pointer rests) runs cycles (the first such frame
//   DiffusionSolver::kFirstRestCycles, later ones one) and reads back the last one's largest
//   change; once that is within DiffusionSolver::kSettledChange the picture holds the accuracy
//   of a fresh solve, the finishing work runs (overview, blur pass) unless a gesture is still
//   open, and the frames stop: the idle editor draws nothing.
class PictureRefresh {
public:
    // Cycles at rest before the picture counts as settled whatever the stop rule reads (a
    // guard: the tests' drawings settle in 3). The budgets of a frame are the solver's
    // (DiffusionSolver::kMovingFrameCycles, kFirstRestCycles).
    static constexpr int kMaxRestCycles = 12;

    explicit PictureRefresh(DiffusionSolver& solver) : solver(solver) {}

    // The drawing changed, as the document reported it.
    void drawingEdited(const DrawingEdit& edit);
    // The view or a renderer setting changed: the next solve starts afresh and ends with the
    // finishing work.
    void solveAfresh();
    // True while frames are still needed.
    bool isBusy() const { return busy; }
    // One frame's work (nothing once at rest); true when another frame is needed.
    bool step();
    // Brings the picture to rest now, for commands that read it at once.
    void settle();

private:
    DiffusionSolver& solver;
    bool busy = false;
    bool rasterPending = false; // the drawing or the view changed since the last rasterising
    bool fresh = false;         // the next solve starts from the first estimate
    bool changed = false;       // a change arrived since the last frame
    bool finishAtRest = false;  // overview and blur pass once the picture rests
    int restCycles = 0;
};
