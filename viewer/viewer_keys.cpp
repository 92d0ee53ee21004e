#include "viewer_keys.h"

#include "diffusion_solver.h"
#include "view_navigator.h"
#include "curve_set_selection.h"
#include "viewer.h"
#include "viewer_settings.h"

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

// Ctrl shortcuts need Control alone: Ctrl+Shift+C falls through to the later checks.
bool handleControlKey(Viewer& viewer, int key)
{
    Document& document = viewer.document();
    switch (key) {
    case Qt::Key_Z: document.undo(); return true;
    case Qt::Key_Y: document.redo(); return true;
    case Qt::Key_N: document.newDrawing(); return true;
    case Qt::Key_O: document.open(); return true;
    case Qt::Key_S: document.save(); return true;
    case Qt::Key_Q: viewer.close(); return true;
    case Qt::Key_0: viewer.navigation().showWholeCanvas(); return true;
    default: return false;
    }
}

bool handleControlShiftKey(Viewer& viewer, int key)
{
    switch (key) {
    case Qt::Key_Z: viewer.document().redo(); return true;
    case Qt::Key_S: viewer.document().saveAs(); return true;
    default: return false;
    }
}

// A fresh drawing: no curves, no current curve, no selection, the initial view. It is a step
// of the history, and unsaved changes are offered for saving first.
void clearDrawing(Viewer& viewer)
{
    Document& document = viewer.document();
    document.finishGesture();
    if (!document.maybeSaveChanges())
        return;
    CurveSet& curves = viewer.curves();
    document.recordEdit("Clear", [&] {
        clearSelection(curves);
        curves.clear();
    });
    viewer.setView(View());
}

// The keys without a modifier that change the view or what is shown.
bool handlePlainKey(Viewer& viewer, int key)
{
    switch (key) {
    // Home shows the whole canvas, + and - (with or without Shift, on the keypad too) zoom
    // about the window centre.
    case Qt::Key_Home: viewer.navigation().showWholeCanvas(); return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: viewer.navigation().zoomIn(); return true;
    case Qt::Key_Minus: viewer.navigation().zoomOut(); return true;
    case Qt::Key_R: clearDrawing(viewer); return true;
    case Qt::Key_P:
        viewer.solver().display().coarserLevel();
        viewer.requestRepaint();
        return true;
    case Qt::Key_L:
        viewer.solver().display().finerLevel();
        viewer.requestRepaint();
        return true;
    default: break;
    }
    if (const std::optional<DisplayMode> shownImage = displayModeForKey(key)) {
        viewer.settings().display.mode = *shownImage;
        viewer.requestRepaint();
        return true;
    }
    return false;
}

} // namespace

bool handleViewerKey(Viewer& viewer, const QKeyEvent& event)
{
    const int key = event.key();
    if (event.modifiers() == Qt::ControlModifier && handleControlKey(viewer, key))
        return true;
    if (event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
        && handleControlShiftKey(viewer, key))
        return true;
    return handlePlainKey(viewer, key);
}
