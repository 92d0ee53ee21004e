#include "curve_point_tool.h"

#include "context_menu_controller.h"
#include "curve_rendering.h"
#include "viewer.h"

#include <QMouseEvent>

#include <cmath>

namespace {

// How far from a control point a press takes it, in handle sizes: the drawn disk of radius half
// a handle size with its outline (1.4 times that), which also reaches a key point's cross ends.
constexpr double kHandleGrabRadius = 0.7;

} // namespace

CurvePointTool::CurvePointTool(Viewer& viewer, ContextMenuController& menus)
    : MouseTool(viewer), menus(menus)
{
}

void CurvePointTool::press(QMouseEvent& event)
{
    if (event.button() == Qt::RightButton) {
        menus.curveMenu(event);
        return;
    }
    if (event.button() != Qt::LeftButton) {
        MouseTool::press(event);
        return;
    }
    CurveSet& curves = viewer.curves();
    const PickHits hits = pickAround(event.pos(), PickPurpose::Press, kClickRegion);
    if (hits.empty()) {
        curves.setCurrentCurve(-1);
        return;
    }
    // Without a current curve the hits are curves: the first click only chooses one.
    if (!curves.hasCurrentCurve()) {
        curves.setCurrentCurve(hits.first().curve);
        return;
    }
    // With one, the last hit is the item drawn last, i.e. the most specific one; a control
    // point only where the press lies within its disk.
    const std::optional<PickHit> pressed = pressedItem(hits, canvasPosition(event));
    if (!pressed)
        return;
    if (pressed->kind == PickKind::Nothing) {
        curves.setCurrentCurve(-1);
        return;
    }
    pressItem(*pressed, event);
}

void CurvePointTool::pressItem(const PickHit&, const QMouseEvent&) {}

std::optional<PickHit> CurvePointTool::pressedItem(const PickHits& hits, const Point& at) const
{
    // A tangent handle's line shares the handle's name, and the pick square reaches past a
    // handle's edge: such hits belong to what lies under them.
    const CurveSet& curves = viewer.curves();
    const double onePixel =
        2.0 / (viewer.placement().canvasRect().width() * viewer.currentView().zoom);
    const double reach = kHandleGrabRadius * curveRenderingSettings().handleSize + onePixel;
    for (int k = hits.count() - 1; k >= 0; --k) {
        const PickHit& hit = hits.hits[k];
        if (hit.kind != PickKind::ControlPoint || !curves.hasCurrentCurve())
            return hit;
        const Point centre = curves.curve(curves.current_curve).controlPoint(hit.index);
        if (std::hypot(at.x - centre.x, at.y - centre.y) <= reach)
            return hit;
    }
    return std::nullopt;
}

void CurvePointTool::move(QMouseEvent& event)
{
    CurveSet& curves = viewer.curves();
    const Point p = canvasPosition(event);
    Document& document = viewer.document();
    if (curves.dragging) {
        document.beginGesture("Move Curve");
        document.recordEdit("Move Curve", [&] { curves.dragTo(p.x, p.y); });
    } else if (curves.selectedControlPoint() >= 0) {
        document.beginGesture("Move Point");
        document.recordEdit("Move Point", [&] { curves.moveSelectedControlPoint(p.x, p.y); });
    }
    MouseTool::move(event);
}

void CurvePointTool::release(QMouseEvent&)
{
    CurveSet& curves = viewer.curves();
    if (curves.dragging) {
        curves.beginDrag(0.0, 0.0, false);
        viewer.document().endGesture();
    } else if (curves.selectedControlPoint() >= 0) {
        curves.clearControlPointSelection();
        viewer.document().endGesture();
    }
}

void MovePointTool::pressItem(const PickHit& item, const QMouseEvent& event)
{
    if (item.kind == PickKind::CurveBox || item.kind == PickKind::CurveBody) {
        startDrag("Move Curve", event);
    } else if (item.kind == PickKind::ControlPoint) {
        viewer.document().beginGesture("Move Point");
        viewer.curves().selectControlPoint(item.index);
    }
}
