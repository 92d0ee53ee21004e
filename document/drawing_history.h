#pragma once

#include "drawing_change.h"

#include <QObject>
#include <QString>
#include <QVector>

class CurveSet;

// The undo history of one drawing: named steps, each the change an edit made to the set (the
// edit is already in the set when its step is pushed). Undo and redo put the set into the
// state before or after a step. One state is the clean one (the saved file); the history is
// clean when it stands there.
//
// Only QtCore: the model keeps its history without the widget library (QUndoStack lives in
// QtWidgets in Qt 5). Its rules follow QUndoStack's: pushing drops the steps that could be
// redone, a clean state that can no longer be reached is forgotten, and the oldest steps go
// beyond the limit.
class DrawingHistory : public QObject {
    Q_OBJECT

public:
    explicit DrawingHistory(CurveSet& set);

    // Adds a step named `name` for `change`, an edit made to the set just now; an empty change
    // adds nothing. A mergeable step takes in a mergeable step of the same name pushed right
    // after it when both changed the same curves (a slider dragged over many values), unless
    // the clean state lies between them; steps that cancel out leave the history.
    void push(const QString& name, DrawingChange change, bool mergeable = false);
    void undo();
    void redo();

    bool canUndo() const { return index > 0; }
    bool canRedo() const { return index < steps.size(); }
    // Names of the step that undo and redo would take back or make again; empty when none.
    QString undoText() const;
    QString redoText() const;
    // Steps kept, undone ones included.
    int count() const { return steps.size(); }
    bool isClean() const { return index == cleanIndex; }
    // The present state becomes the clean one (the drawing was saved).
    void setClean();
    // No steps; the present state is clean when `clean`, else no state is (a recovered drawing
    // that differs from its file).
    void clear(bool clean = true);
    // At most `limit` steps are kept; 0 keeps all.
    void setUndoLimit(int limit) { undoLimit = limit; }

Q_SIGNALS:
    void cleanChanged(bool clean);
    void undoTextChanged(const QString& text);
    void redoTextChanged(const QString& text);
    // The present state moved: a step was pushed, undone or redone, or the history cleared.
    void indexChanged();
    // Undo or redo changed the set.
    void setChanged();

private:
    struct Step {
        QString name;
        DrawingChange change;
        bool mergeable = false;
    };
    // Runs `action` and emits the signals of what it changed.
    template <typename Action>
    void notifying(Action action);
    bool mergeIntoTop(const QString& name, const DrawingChange& change, bool mergeable);
    void dropOldestBeyondLimit();

    CurveSet& set;
    QVector<Step> steps;
    int index = 0;      // steps applied to the set
    int cleanIndex = 0; // -1: no state is clean
    int undoLimit = 0;
};
