// The one path of drawing changes: edits and gestures become steps of the undo history.
#include "viewer.h"

#include "drawing_edit_command.h"

void Viewer::recordEdit(const QString& name, const std::function<void()>& change, bool mergeable)
{
    if (editDepth > 0 || gesture) {
        change();
        return;
    }
    const DrawingSnapshot before = DrawingSnapshot::of(curveSet);
    ++editDepth;
    change();
    --editDepth;
    pushChange(name, before, mergeable);
}

void Viewer::beginGesture(const QString& name)
{
    if (editDepth > 0 || gesture)
        return;
    gesture = Gesture{name, DrawingSnapshot::of(curveSet)};
}

void Viewer::endGesture()
{
    if (!gesture)
        return;
    Gesture ended = std::move(*gesture);
    gesture.reset();
    pushChange(ended.name, ended.before);
}

void Viewer::finishGesture()
{
    if (!gesture)
        return;
    curveSet.beginDrag(0.0, 0.0, false);
    curveSet.clearControlPointSelection();
    endGesture();
}

void Viewer::pushChange(const QString& name, const DrawingSnapshot& before, bool mergeable)
{
    DrawingChange change = DrawingChange::between(before, curveSet);
    if (change.isEmpty())
        return;
    history.push(new DrawingEditCommand(
        name, std::move(change), curveSet, [this] { historyMoved(); }, mergeable));
}

void Viewer::historyMoved()
{
    fullUpdate();
    reportCurrentValues();
}

void Viewer::undo()
{
    // Not while an edit waits for a modal answer: its step is not complete yet.
    if (editDepth > 0)
        return;
    finishGesture();
    history.undo();
}

void Viewer::redo()
{
    if (editDepth > 0)
        return;
    finishGesture();
    history.redo();
}
