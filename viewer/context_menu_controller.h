#pragma once

#include <QObject>

class QMouseEvent;
class Viewer;

// The viewer's right-button menus: control points and splitting (mode 0), attribute points
// (modes 2 and 8) and the blur shift of a multi-selection (mode 3). The menus run through the
// viewer's dialogs seam; each chosen edit is one step of the document's history.
class ContextMenuController : public QObject {
    Q_OBJECT

public:
    // Works in `viewer`, which must outlive this object.
    explicit ContextMenuController(Viewer& viewer);

    // The menu of the current curve at the press `event`: nothing without a current curve, on
    // its box, or in mode 1.
    void curveMenu(const QMouseEvent& event);
    // The menu of the multi-selection; nothing while none is selected.
    void selectionMenu(const QMouseEvent& event);

Q_SIGNALS:
    // "Increase/decrease blur" of the selection: the blur edit takes it (blur_edit_commands.h).
    void blurShiftRequested();

private:
    void controlPointMenu(const QMouseEvent& event, int pickedIndex, bool onControlPoint);
    void attributeMenu(const QMouseEvent& event, int globalID, bool onCurvePosition);

    Viewer& viewer;
};
