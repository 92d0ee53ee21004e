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
    // A mergeable step takes in the next step of the same name when that one changed the same
    // curves (the values sent by a slider while it is dragged make one step).
    DrawingEditCommand(const QString& name, DrawingChange change, CurveSet& set,
                       std::function<void()> changed, bool mergeable = false);

    void undo() override;
    // The first call, from QUndoStack::push, does nothing: the edit is already in the set.
    void redo() override;
    int id() const override;
    // Steps that cancel out become obsolete and leave the history.
    bool mergeWith(const QUndoCommand* other) override;

    const DrawingChange& drawingChange() const { return change; }

private:
    DrawingChange change;
    CurveSet& set;
    std::function<void()> changed;
    bool applied = true;
    bool mergeable = false;
};
