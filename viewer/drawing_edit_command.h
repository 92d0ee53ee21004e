#pragma once

#include "drawing_change.h"

#include <QUndoCommand>

#include <functional>

class CurveSet;

// One step of the viewer's undo history: a change of the drawing that has already been made
// when the step is pushed. Undo and redo put the curve set into the state before or after it
// and then call `changed` (the viewer re-solves and repaints).
class DrawingEditCommand : public QUndoCommand {
public:
    DrawingEditCommand(const QString& name, DrawingChange change, CurveSet& set,
                       std::function<void()> changed);

    void undo() override;
    // The first call, from QUndoStack::push, does nothing: the edit is already in the set.
    void redo() override;

    const DrawingChange& drawingChange() const { return change; }

private:
    DrawingChange change;
    CurveSet& set;
    std::function<void()> changed;
    bool applied = true;
};
