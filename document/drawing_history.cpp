#include "drawing_history.h"

#include "curve_set.h"

#include <utility>

DrawingHistory::DrawingHistory(CurveSet& set) : set(set) {}

QString DrawingHistory::undoText() const { return canUndo() ? steps[index - 1].name : QString(); }

QString DrawingHistory::redoText() const { return canRedo() ? steps[index].name : QString(); }

template <typename Action>
void DrawingHistory::notifying(Action action)
{
    const bool wasClean = isClean();
    const QString undoBefore = undoText();
    const QString redoBefore = redoText();
    action();
    emit indexChanged();
    if (isClean() != wasClean)
        emit cleanChanged(isClean());
    if (undoText() != undoBefore)
        emit undoTextChanged(undoText());
    if (redoText() != redoBefore)
        emit redoTextChanged(redoText());
}

void DrawingHistory::push(const QString& name, DrawingChange change, bool mergeable)
{
    if (change.isEmpty())
        return;
    notifying([&] {
        steps.resize(index);
        if (cleanIndex > index)
            cleanIndex = -1;
        if (mergeIntoTop(name, change, mergeable))
            return;
        steps.append(Step{name, std::move(change), mergeable});
        ++index;
        dropOldestBeyondLimit();
    });
}

bool DrawingHistory::mergeIntoTop(const QString& name, const DrawingChange& change, bool mergeable)
{
    if (!mergeable || index == 0 || index == cleanIndex)
        return false;
    Step& top = steps[index - 1];
    if (!top.mergeable || top.name != name || !top.change.absorb(change))
        return false;
    if (top.change.isEmpty()) {
        steps.removeLast();
        --index;
        if (cleanIndex > index)
            cleanIndex = -1;
    }
    return true;
}

void DrawingHistory::dropOldestBeyondLimit()
{
    if (undoLimit <= 0 || steps.size() <= undoLimit)
        return;
    const int dropped = steps.size() - undoLimit;
    steps.remove(0, dropped);
    index -= dropped;
    cleanIndex = cleanIndex < dropped ? -1 : cleanIndex - dropped;
}

void DrawingHistory::undo()
{
    if (!canUndo())
        return;
    notifying([&] { steps[--index].change.revert(set); });
    emit setChanged();
}

void DrawingHistory::redo()
{
    if (!canRedo())
        return;
    notifying([&] { steps[index++].change.apply(set); });
    emit setChanged();
}

void DrawingHistory::setClean()
{
    notifying([&] { cleanIndex = index; });
}

void DrawingHistory::clear(bool clean)
{
    notifying([&] {
        steps.clear();
        index = 0;
        cleanIndex = clean ? 0 : -1;
    });
}
