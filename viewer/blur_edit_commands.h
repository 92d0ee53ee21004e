#pragma once

#include "blur_edit.h"

#include <QObject>

class QKeyEvent;
class Viewer;

// Blur editing without a dialog: a press on a blur point (mode 2), or "Increase/decrease blur"
// on the selection (mode 3), opens a blur edit (blur_edit.h) that the panel's Blur slider drives
// with a live preview. Return commits it, Escape cancels it, and so does the panel; a press
// anywhere in the viewer commits it before the press does its own work. Whoever ends the edit,
// blurEditEnded follows, and the outcome goes to the status line.
class BlurEditCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit BlurEditCommands(Viewer& viewer);

    bool isEditing() const { return edit.isOpen(); }

public Q_SLOTS:
    // Open an edit (committing one in progress first).
    void editBlurPoint(int index);
    void editBlurShift();
    // Shows `value` (the point's blur, or the shift) and re-solves the picture.
    void preview(int value);
    void commit();
    void cancel();

Q_SIGNALS:
    // An edit opened: the panel's slider now edits the point from `value`, or the shift from 0.
    void blurPointEditStarted(int value);
    void blurShiftEditStarted();
    // The edit is over (committed, cancelled, or ended by an undo or another drawing).
    void blurEditEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(const QKeyEvent& event);
    // An edit that no longer stands (BlurEdit::forgetIfClosed) is over: says so.
    void endIfClosed(bool drawingMoved = false);
    void finish(const QString& outcome);

    Viewer& viewer;
    BlurEdit edit;
};
