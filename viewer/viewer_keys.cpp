// Keyboard shortcuts of the viewer and its help pages.
#include "viewer.h"

#include "diffusion_solver.h"
#include "help_texts.h"
#include "help_window.h"

#include <QKeyEvent>

namespace {

bool isPointMode(ManipulationMode mode)
{
    return mode == ModeMovePoint || mode == ModeSelectCurve || mode == ModeModifAttrib
           || mode == ModeBucket;
}

// Display mode shown by F1..F7 (image numbers of the renderer's display), -1 for other keys.
int displayModeForKey(int key)
{
    switch (key) {
    case Qt::Key_F1: return 0; // diffused colours
    case Qt::Key_F2: return 1; // colour constraints
    case Qt::Key_F3: return 2; // blur constraints
    case Qt::Key_F4: return 3; // blur solution
    case Qt::Key_F5: return 5; // horizontal gradient
    case Qt::Key_F6: return 6; // vertical gradient
    case Qt::Key_F7: return 4; // background only
    default: return -1;
    }
}

} // namespace

void Viewer::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    // Ctrl shortcuts need Control alone: Ctrl+Shift+C falls through to the later checks.
    if (event->modifiers() == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_C: copySplines(); return;
        case Qt::Key_X: cutSplines(); return;
        case Qt::Key_V: pasteSplines(); return;
        case Qt::Key_D: copyBlur(); return;
        case Qt::Key_F: pasteBlur(); return;
        case Qt::Key_Z: undo(); return;
        case Qt::Key_Y: redo(); return;
        case Qt::Key_N: newDrawing(); return;
        case Qt::Key_O: loadXml(); return;
        case Qt::Key_S: saveDrawing(); return;
        case Qt::Key_Q: close(); return;
        case Qt::Key_0: showWholeCanvas(); return;
        default: break;
        }
    }
    if (event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        switch (key) {
        case Qt::Key_Z: redo(); return;
        case Qt::Key_S: saveDrawingAs(); return;
        default: break;
        }
    }
    // The view: Home shows the whole canvas, + and - (with or without Shift, on the keypad
    // too) zoom about the window centre.
    if (key == Qt::Key_Home) {
        showWholeCanvas();
        return;
    }
    if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
        zoomIn();
        return;
    }
    if (key == Qt::Key_Minus) {
        zoomOut();
        return;
    }
    if (key == Qt::Key_R) {
        // A fresh drawing: no curves, no current curve, no selection, the initial view. It is
        // a step of the history, and unsaved changes are offered for saving first.
        finishGesture();
        if (!maybeSaveChanges())
            return;
        recordEdit("Clear", [&] {
            curveSet.clearSelection();
            curveSet.clear();
        });
        setView(1.0, 0.0, 0.0);
        fullUpdate();
        return;
    }
    if (key == Qt::Key_P) {
        renderer->coarserDisplayLevel();
        requestRepaint();
        return;
    }
    if (key == Qt::Key_L) {
        renderer->finerDisplayLevel();
        requestRepaint();
        return;
    }
    const int shownImage = displayModeForKey(key);
    if (shownImage >= 0) {
        displayMode = shownImage;
        requestRepaint();
        return;
    }
    if (key == Qt::Key_Delete) {
        if (isPointMode(manipMode)) {
            if (curveSet.hasCurrentCurve())
                deleteSplines();
            return;
        }
        if (manipMode == ModeSelectMulti) {
            recordEdit("Delete", [&] { curveSet.deleteSelected(); });
            fullUpdate();
            return;
        }
    }
    QGLViewer::keyPressEvent(event);
}

void Viewer::help()
{
    if (helpPages != nullptr && helpPages->isVisible()) {
        helpPages->close();
        return;
    }
    if (helpPages == nullptr)
        helpPages = new HelpWindow(this);
    helpPages->show();
    helpPages->raise();
    helpPages->activateWindow();
}

QString Viewer::helpString() const { return helpPageText(); }

QString Viewer::mouseString() const { return mousePageText(); }

QString Viewer::keyboardString() const { return keyboardPageText(); }
