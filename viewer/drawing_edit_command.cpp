#include "drawing_edit_command.h"

#include <utility>

DrawingEditCommand::DrawingEditCommand(const QString& name, DrawingChange change, CurveSet& set,
                                       std::function<void()> changed)
    : QUndoCommand(name), change(std::move(change)), set(set), changed(std::move(changed))
{
}

void DrawingEditCommand::undo()
{
    change.revert(set);
    applied = false;
    changed();
}

void DrawingEditCommand::redo()
{
    if (applied)
        return;
    change.apply(set);
    applied = true;
    changed();
}
