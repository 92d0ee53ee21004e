#pragma once

#include <QObject>

class QKeyEvent;
class Viewer;

// The Edit commands of the drawing shown by a viewer: the clipboard, deleting, and the edits of
// the current curve and the multi-selection as a whole. Each is one undo step of the viewer's
// document and re-solves the picture (copying changes nothing visible).
//
// The edits of the current curve and the selection as a whole (smooth, stylize, contrast, switch
// colours) say in the status line how many curves they changed, or why none ("Smoothed 2
// curves", "Nothing to smooth: select a curve").
//
// Also takes the viewer's keys for them: Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+D (copy blur), Ctrl+F
// (paste blur), Ctrl+A (select all), Escape and Ctrl+Shift+A (deselect), and Delete, which
// removes the current curve, else the selection.
class EditCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit EditCommands(Viewer& viewer);

public Q_SLOTS:
    void copySplines();
    // Into the current layer; refused with a status text when it is locked.
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
    // Every curve of the current layer joins the selection (none of a locked layer, and none
    // stays current); Deselect empties the selection.
    void selectAll();
    void deselectAll();

private:
    // Runs `edit` as the step `step`, re-solves, and reports `done` (with %1 the number of
    // curves edited and %2 the plural ending) or `nothing` when it edited no curve.
    template <typename Edit>
    void editEach(const QString& step, Edit edit, const char* done, const char* nothing);
    // Runs the command of `event`'s key; false for a key that is not one of these commands.
    bool handleKey(const QKeyEvent& event);

    Viewer& viewer;
};
