#include "edit_commands.h"

#include "viewer.h"

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
    if (event.modifiers() == Qt::ControlModifier) {
        switch (event.key()) {
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
        if (viewer.document().hasCurrentCurve())
            deleteSplines();
        return true;
    }
    if (viewer.mode() == ModeSelectMulti) {
        CurveSet& curves = viewer.document();
        viewer.drawing().recordEdit("Delete", [&] { curves.deleteSelected(); });
        viewer.fullUpdate();
        return true;
    }
    return false;
}

void EditCommands::copySplines() { viewer.document().copySplines(); }

void EditCommands::pasteSplines()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Paste", [&] { curves.pasteSplines(viewer.currentView()); });
    viewer.fullUpdate();
}

void EditCommands::cutSplines()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Cut", [&] { curves.cutSplines(); });
    viewer.fullUpdate();
}

void EditCommands::copyBlur() { viewer.document().copyBlur(); }

void EditCommands::pasteBlur()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Paste Blur", [&] { curves.pasteBlur(); });
    viewer.fullUpdate();
}

void EditCommands::deleteSplines()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Delete", [&] {
        if (curves.hasCurrentCurve()) {
            curves.removeCurve(curves.current_curve);
            curves.setCurrentCurve(-1);
        } else {
            curves.deleteSelected();
        }
    });
    viewer.fullUpdate();
}

void EditCommands::smoothSplines()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Smooth", [&] { curves.smoothSplines(); });
    viewer.fullUpdate();
}

void EditCommands::stylizeSplines()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Stylize", [&] { curves.stylizeSplines(); });
    viewer.fullUpdate();
}

void EditCommands::increaseContrast()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Increase Contrast", [&] { curves.increaseContrast(); });
    viewer.fullUpdate();
}

void EditCommands::decreaseContrast()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Decrease Contrast", [&] { curves.decreaseContrast(); });
    viewer.fullUpdate();
}

void EditCommands::switchColors()
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Switch Colors", [&] { curves.switchColors(); });
    viewer.fullUpdate();
}

void EditCommands::setGlobalBlur(int shift_sigma)
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Shift Blur", [&] { curves.setGlobalBlur(shift_sigma); });
    viewer.fullUpdate();
}
