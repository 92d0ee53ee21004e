// Right-button context menus: control points and splitting (mode 0), attribute points (modes 2
// and 8) and the blur shift of a multi-selection (mode 3). The menus are answered through the
// viewer's dialogs seam.
#include "viewer.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

namespace {

constexpr int kClickRegion = 5;

// Where a context-menu pick falls on the current curve, as the curve's editing operations want
// it: `index` = 3s + 2 for segment s and `t` the parameter within it.
struct CurvePosition {
    int index = 0;
    double t = 0.0;
};

// Control point k gives its segment at t = 0.1; a position globalID g along the curve gives
// its own segment and parameter.
CurvePosition decodeCurvePosition(const PickHit& hit)
{
    if (hit.kind == PickKind::ControlPoint)
        return {hit.index / 3 * 3 + 2, 0.1};
    const int g = hit.index;
    return {3 * (g / kSamplesPerSegment) + 2,
            static_cast<double>(g % kSamplesPerSegment) / kSamplesPerSegment};
}

} // namespace

void Viewer::pointContextMenu(QMouseEvent* event)
{
    const PickHits hits = pickAt(event->pos(), PickPurpose::Menu, kClickRegion);
    if (hits.empty() || !curveSet.hasCurrentCurve())
        return;
    const PickHit item = hits.last();
    if (item.kind == PickKind::Nothing || item.kind == PickKind::CurveBox
        || manipMode == ModeSelectCurve)
        return;

    QMenu menu(this);
    if (manipMode == ModeMovePoint) {
        QAction* add = menu.addAction("Add control point");
        QAction* remove = menu.addAction("Delete control point");
        QAction* split = menu.addAction("Split the curve");
        QAction* chosen = dialogs().runMenu(menu, event->globalPos());
        if (!chosen)
            return;
        const Point p = mousePosition(event);
        const CurvePosition at = decodeCurvePosition(item);
        doc.recordEdit(chosen->text(), [&] {
            if (chosen == add)
                curveSet.insertControlPoint(p.x, p.y, at.index, at.t);
            else if (chosen == remove)
                curveSet.deleteControlPoint(at.index - 2);
            else if (chosen == split)
                curveSet.split(p.x, p.y, at.index, at.t);
        });
        fullUpdate();
        return;
    }

    // Modes 2 and 8: attribute points at the sample position under the mouse.
    QAction* addLeft = menu.addAction("Add Left Color");
    QAction* deleteLeft = menu.addAction("Delete Left Color");
    menu.addSeparator();
    QAction* addRight = menu.addAction("Add Right Color");
    QAction* deleteRight = menu.addAction("Delete Right Color");
    QAction* addBlur = nullptr;
    QAction* deleteBlur = nullptr;
    if (manipMode == ModeModifAttrib) {
        menu.addSeparator();
        addBlur = menu.addAction("Add Blur");
        deleteBlur = menu.addAction("Delete Blur");
    }
    QAction* chosen = dialogs().runMenu(menu, event->globalPos());
    if (!chosen)
        return;
    // Only a position along the curve says where an attribute point goes or which one goes.
    if (item.kind == PickKind::CurvePosition) {
        const int globalID = item.index;
        doc.recordEdit(chosen->text(), [&] {
            if (chosen == addLeft)
                curveSet.insertAttribute(globalID, LeftColor);
            else if (chosen == deleteLeft)
                curveSet.deleteAttribute(globalID, LeftColor);
            else if (chosen == addRight)
                curveSet.insertAttribute(globalID, RightColor);
            else if (chosen == deleteRight)
                curveSet.deleteAttribute(globalID, RightColor);
            else if (chosen == addBlur)
                curveSet.insertAttribute(globalID, Blur);
            else if (chosen == deleteBlur)
                curveSet.deleteAttribute(globalID, Blur);
        });
    }
    fullUpdate();
}

void Viewer::blurMenu(QMouseEvent* event)
{
    if (curveSet.selection.isEmpty())
        return;
    QMenu menu(this);
    QAction* shiftBlur = menu.addAction("Increase/decrease blur");
    QAction* chosen = dialogs().runMenu(menu, event->globalPos());
    if (!chosen)
        return;
    // The blur edit (blur_edit_commands.h) shifts the blur with the panel's slider.
    if (chosen == shiftBlur)
        emit blurShiftRequested();
}
