// Keyboard shortcuts of the viewer and its help pages.
#include "viewer.h"

#include "diffusion_solver.h"
#include "help_texts.h"
#include "curve_set_selection.h"

#include <QKeyEvent>

#include <optional>

namespace {

// Display mode shown by F1..F7; none for other keys.
std::optional<DisplayMode> displayModeForKey(int key)
{
    switch (key) {
    case Qt::Key_F1: return DisplayMode::Picture;
    case Qt::Key_F2: return DisplayMode::ColorConstraints;
    case Qt::Key_F3: return DisplayMode::BlurConstraints;
    case Qt::Key_F4: return DisplayMode::BlurMap;
    case Qt::Key_F5: return DisplayMode::GradientX;
    case Qt::Key_F6: return DisplayMode::GradientY;
    case Qt::Key_F7: return DisplayMode::Background;
    default: return std::nullopt;
    }
}

} // namespace

void Viewer::keyPressEvent(QKeyEvent* event)
{
    for (const KeyHandler& handler : keyHandlers)
        if (handler(*event))
            return;
    const int key = event->key();
    // Ctrl shortcuts need Control alone: Ctrl+Shift+C falls through to the later checks.
    if (event->modifiers() == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_Z: doc.undo(); return;
        case Qt::Key_Y: doc.redo(); return;
        case Qt::Key_N: doc.newDrawing(); return;
        case Qt::Key_O: doc.open(); return;
        case Qt::Key_S: doc.save(); return;
        case Qt::Key_Q: close(); return;
        case Qt::Key_0: showWholeCanvas(); return;
        default: break;
        }
    }
    if (event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        switch (key) {
        case Qt::Key_Z: doc.redo(); return;
        case Qt::Key_S: doc.saveAs(); return;
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
        doc.finishGesture();
        if (!doc.maybeSaveChanges())
            return;
        doc.recordEdit("Clear", [&] {
            clearSelection(curveSet);
            curveSet.clear();
        });
        setView(View());
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
    if (const std::optional<DisplayMode> shownImage = displayModeForKey(key)) {
        displayMode = *shownImage;
        requestRepaint();
        return;
    }
    QGLViewer::keyPressEvent(event);
}

void Viewer::help() { emit helpRequested(); }

void Viewer::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control)
        clearScribbleTrail();
    QGLViewer::keyReleaseEvent(event);
}

void Viewer::addKeyHandler(KeyHandler handler) { keyHandlers.push_back(std::move(handler)); }

QString Viewer::helpString() const { return helpPageText(); }

QString Viewer::mouseString() const { return mousePageText(); }

QString Viewer::keyboardString() const { return keyboardPageText(); }
