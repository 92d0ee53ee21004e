#include "context_menu_controller.h"

#include "mouse_tool.h"
#include "viewer.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

namespace {

// Where a context-menu pick falls on the current curve, as the curve's editing operations want
// it: `index` = 3s + 2 for segment s and `t` the parameter within it.
struct CurvePosition {
    int index = 0;
    double t = 0.0;
};

// Control point k gives its segment at t = 0.1; a position globalID g along the curve gives
// its own segment and parameter.
CurvePosition decodeCurvePosition(int pickedIndex, bool onControlPoint)
{
    if (onControlPoint)
        return {pickedIndex / 3 * 3 + 2, 0.1};
    const int g = pickedIndex;
    return {3 * (g / kSamplesPerSegment) + 2,
            static_cast<double>(g % kSamplesPerSegment) / kSamplesPerSegment};
}

} // namespace

ContextMenuController::ContextMenuController(Viewer& shown) : viewer(shown) {}

void ContextMenuController::curveMenu(const QMouseEvent& event)
{
    const PickHits hits = pickAround(viewer, event.pos(), PickPurpose::Menu, kClickRegion);
    if (hits.empty() || !viewer.curves().hasCurrentCurve())
        return;
    const PickHit item = hits.last();
    if (item.kind == PickKind::Nothing || item.kind == PickKind::CurveBox
        || viewer.mode() == ModeSelectCurve)
        return;
    if (viewer.mode() == ModeMovePoint)
        controlPointMenu(event, item.index, item.kind == PickKind::ControlPoint);
    else
        attributeMenu(event, item.index, item.kind == PickKind::CurvePosition);
}

void ContextMenuController::controlPointMenu(const QMouseEvent& event, int pickedIndex,
                                             bool onControlPoint)
{
    QMenu menu(&viewer);
    QAction* add = menu.addAction("Add control point");
    QAction* remove = menu.addAction("Delete control point");
    QAction* split = menu.addAction("Split the curve");
    QAction* chosen = viewer.dialogs().runMenu(menu, event.globalPos());
    if (!chosen)
        return;
    const Point p = canvasPosition(viewer, event);
    const CurvePosition at = decodeCurvePosition(pickedIndex, onControlPoint);
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit(chosen->text(), [&] {
        if (chosen == add)
            curves.insertControlPoint(p.x, p.y, at.index, at.t);
        else if (chosen == remove)
            curves.deleteControlPoint(at.index - 2);
        else if (chosen == split)
            curves.split(p.x, p.y, at.index, at.t);
    });
}

void ContextMenuController::attributeMenu(const QMouseEvent& event, int globalID,
                                          bool onCurvePosition)
{
    // Modes 2 and 8: attribute points at the sample position under the mouse.
    QMenu menu(&viewer);
    QAction* addLeft = menu.addAction("Add Left Color");
    QAction* deleteLeft = menu.addAction("Delete Left Color");
    menu.addSeparator();
    QAction* addRight = menu.addAction("Add Right Color");
    QAction* deleteRight = menu.addAction("Delete Right Color");
    QAction* addBlur = nullptr;
    QAction* deleteBlur = nullptr;
    if (viewer.mode() == ModeModifAttrib) {
        menu.addSeparator();
        addBlur = menu.addAction("Add Blur");
        deleteBlur = menu.addAction("Delete Blur");
    }
    QAction* chosen = viewer.dialogs().runMenu(menu, event.globalPos());
    if (!chosen)
        return;
    // Only a position along the curve says where an attribute point goes or which one goes.
    if (onCurvePosition) {
        CurveSet& curves = viewer.curves();
        viewer.document().recordEdit(chosen->text(), [&] {
            if (chosen == addLeft)
                curves.insertAttribute(globalID, LeftColor);
            else if (chosen == deleteLeft)
                curves.deleteAttribute(globalID, LeftColor);
            else if (chosen == addRight)
                curves.insertAttribute(globalID, RightColor);
            else if (chosen == deleteRight)
                curves.deleteAttribute(globalID, RightColor);
            else if (chosen == addBlur)
                curves.insertAttribute(globalID, Blur);
            else if (chosen == deleteBlur)
                curves.deleteAttribute(globalID, Blur);
        });
    }
}

void ContextMenuController::selectionMenu(const QMouseEvent& event)
{
    if (viewer.curves().selection.isEmpty())
        return;
    QMenu menu(&viewer);
    QAction* shiftBlur = menu.addAction("Increase/decrease blur");
    QAction* chosen = viewer.dialogs().runMenu(menu, event.globalPos());
    if (!chosen)
        return;
    // The blur edit (blur_edit_commands.h) shifts the blur with the panel's slider.
    if (chosen == shiftBlur)
        emit blurShiftRequested();
}
