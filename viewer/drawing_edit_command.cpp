#include "drawing_edit_command.h"

#include <utility>

namespace {

// The one id of mergeable steps; QUndoStack merges only steps of equal id, and names are
// compared in mergeWith.
constexpr int kMergeableId = 1;

} // namespace

DrawingEditCommand::DrawingEditCommand(const QString& name, DrawingChange change, CurveSet& set,
                                       std::function<void()> changed, bool mergeable)
    : QUndoCommand(name), change(std::move(change)), set(set), changed(std::move(changed)),
      mergeable(mergeable)
{
}

int DrawingEditCommand::id() const { return mergeable ? kMergeableId : -1; }

bool DrawingEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const DrawingEditCommand*>(other);
    if (next == nullptr || next->text() != text() || &next->set != &set
        || !change.absorb(next->change))
        return false;
    setObsolete(change.isEmpty());
    return true;
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
