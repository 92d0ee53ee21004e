#pragma once

#include <QObject>

class QKeyEvent;
class Viewer;

// The Edit commands of the drawing shown by a viewer: the clipboard, deleting, and the edits of
// the current curve and the multi-selection as a whole. Each is one undo step of the viewer's
// document and re-solves the picture (copying changes nothing visible).
//
// Also takes the viewer's keys for them: Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+D (copy blur), Ctrl+F
// (paste blur), and Delete, which removes the current curve in the point modes and the
// selection in the multi-selection mode.
class EditCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit EditCommands(Viewer& viewer);

public Q_SLOTS:
    void copySplines();
    void pasteSplines();
    void cutSplines();
    void copyBlur();
    void pasteBlur();
    // Removes the current curve, else the multi-selected curves.
    void deleteSplines();
    void smoothSplines();
    void stylizeSplines();
    void increaseContrast();
    void decreaseContrast();
    void switchColors();
    // Shifts the blur of the selection by shift_sigma.
    void setGlobalBlur(int shift_sigma);

private:
    // Runs the command of `event`'s key; false for a key that is not one of these commands.
    bool handleKey(const QKeyEvent& event);

    Viewer& viewer;
};
