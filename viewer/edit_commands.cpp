#include "edit_commands.h"

#include "viewer.h"
#include "curve_set_edits.h"
#include "clipboard.h"
#include "curve_set_selection.h"
#include "layer_editing.h"

#include <QKeyEvent>
#include <QPointer>

namespace {

bool isPointMode(ManipulationMode mode)
{
    return mode == ModeMovePoint || mode == ModeSelectCurve || mode == ModeModifAttrib
           || mode == ModeBucket;
}

} // namespace

EditCommands::EditCommands(Viewer& shown) : viewer(shown)
{
    QPointer<EditCommands> self(this);
    viewer.addKeyHandler(
        [self](const QKeyEvent& event) { return self != nullptr && self->handleKey(event); });
}

bool EditCommands::handleKey(const QKeyEvent& event)
{
    // Ctrl shortcuts need Control alone: Ctrl+Shift+C is not a copy.
    if (event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
        && event.key() == Qt::Key_A) {
        deselectAll();
        return true;
    }
    if (event.key() == Qt::Key_Escape && event.modifiers() == Qt::NoModifier) {
        deselectAll();
        return true;
    }
    if (event.modifiers() == Qt::ControlModifier) {
        switch (event.key()) {
        case Qt::Key_A: selectAll(); return true;
        case Qt::Key_C: copySplines(); return true;
        case Qt::Key_X: cutSplines(); return true;
        case Qt::Key_V: pasteSplines(); return true;
        case Qt::Key_D: copyBlur(); return true;
        case Qt::Key_F: pasteBlur(); return true;
        default: return false;
        }
    }
    if (event.key() != Qt::Key_Delete)
        return false;
    if (isPointMode(viewer.mode())) {
        // The current curve, else a selection made with Select All.
        if (viewer.curves().hasCurrentCurve() || !viewer.curves().selection.isEmpty())
            deleteSplines();
        return true;
    }
    if (viewer.mode() == ModeSelectMulti) {
        CurveSet& curves = viewer.curves();
        viewer.document().recordEdit("Delete", [&] { deleteSelected(curves); });
        return true;
    }
    return false;
}

void EditCommands::copySplines() { ::copySplines(viewer.curves()); }

void EditCommands::pasteSplines()
{
    CurveSet& curves = viewer.curves();
    if (currentLayerRefusesEdits(curves)) {
        emit viewer.outcomeReported(refusedEditMessage(curves));
        return;
    }
    viewer.document().recordEdit("Paste", [&] { ::pasteSplines(curves, viewer.currentView()); });
}

void EditCommands::cutSplines()
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Cut", [&] { ::cutSplines(curves); });
}

void EditCommands::copyBlur() { ::copyBlur(viewer.curves()); }

void EditCommands::pasteBlur()
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Paste Blur", [&] { ::pasteBlur(curves); });
}

void EditCommands::deleteSplines()
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Delete", [&] {
        if (curves.hasCurrentCurve()) {
            curves.removeCurve(curves.current_curve);
            curves.setCurrentCurve(-1);
        } else {
            deleteSelected(curves);
        }
    });
}

template <typename Edit>
void EditCommands::editEach(const QString& step, Edit edit, const char* done, const char* nothing)
{
    CurveSet& curves = viewer.curves();
    int edited = 0;
    viewer.document().recordEdit(step, [&] { edited = edit(curves); });
    emit viewer.outcomeReported(
        edited == 0 ? QString(nothing) : QString(done).arg(edited).arg(edited == 1 ? "" : "s"));
}

void EditCommands::smoothSplines()
{
    editEach(
        "Smooth", [](CurveSet& c) { return ::smoothSplines(c); }, "Smoothed %1 curve%2",
        "Nothing to smooth: select a curve");
}

void EditCommands::stylizeSplines()
{
    editEach(
        "Stylize", [](CurveSet& c) { return ::stylizeSplines(c); }, "Stylized %1 curve%2",
        "Nothing to stylize: select a curve");
}

void EditCommands::increaseContrast()
{
    editEach(
        "Increase Contrast", [](CurveSet& c) { return ::increaseContrast(c); },
        "Raised the contrast of %1 curve%2", "No contrast to raise: select a curve");
}

void EditCommands::decreaseContrast()
{
    editEach(
        "Decrease Contrast", [](CurveSet& c) { return ::decreaseContrast(c); },
        "Lowered the contrast of %1 curve%2", "No contrast to lower: select a curve");
}

void EditCommands::switchColors()
{
    editEach(
        "Switch Colors", [](CurveSet& c) { return ::switchColors(c); },
        "Switched the colors of %1 curve%2", "No colors to switch: select a curve");
}

void EditCommands::setGlobalBlur(int shift_sigma)
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Shift Blur", [&] { ::setGlobalBlur(curves, shift_sigma); });
}

void EditCommands::selectAll()
{
    viewer.document().finishGesture();
    // The curves of the current layer: the others are not the mouse's to edit.
    const int selected = selectEditableCurves(viewer.curves());
    viewer.requestRepaint();
    emit viewer.outcomeReported(
        selected == 0 ? QString("Nothing to select")
                      : QString("Selected %1 curve%2").arg(selected).arg(selected == 1 ? "" : "s"));
}

void EditCommands::deselectAll()
{
    viewer.document().finishGesture();
    clearSelection(viewer.curves());
    viewer.requestRepaint();
    emit viewer.outcomeReported("Deselected");
}
