#include "selection_tool.h"

#include "context_menu_controller.h"
#include "overlay_drawing.h"
#include "curve_set_selection.h"
#include "viewer.h"

#include <QMouseEvent>

namespace {

// Edge of a scribble mark at zoom 1, in canvas units.
constexpr double kMarkerSizeAtZoom1 = 0.06;

} // namespace

SelectionTool::SelectionTool(Viewer& viewer, ContextMenuController& menus)
    : MouseTool(viewer), menus(menus)
{
}

double SelectionTool::markerSize() const { return kMarkerSizeAtZoom1 / viewer.currentView().zoom; }

void SelectionTool::press(QMouseEvent& event)
{
    if (event.button() == Qt::RightButton) {
        menus.selectionMenu(event);
        return;
    }
    if (event.button() != Qt::LeftButton) {
        MouseTool::press(event);
        return;
    }
    CurveSet& curves = viewer.curves();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers == Qt::ShiftModifier) {
        for (const PickHit& hit : pickAround(event.pos(), PickPurpose::Toggle, kClickRegion).hits)
            if (hit.kind == PickKind::Curve)
                toggleSelection(curves, hit.curve);
        return;
    }
    if (modifiers != Qt::NoModifier)
        return;
    const PickHits hits = pickAround(event.pos(), PickPurpose::Press, kClickRegion);
    if (hits.empty() || hits.last().kind == PickKind::Nothing)
        clearSelection(curves);
    else if (hits.last().kind == PickKind::Selection)
        startDrag("Move Selection", event);
}

void SelectionTool::move(QMouseEvent& event)
{
    CurveSet& curves = viewer.curves();
    const Point p = canvasPosition(event);
    if (event.modifiers() == Qt::ControlModifier) {
        // Scribble: every curve under the brush joins the selection; none leaves it.
        for (const PickHit& hit :
             pickAround(event.pos(), PickPurpose::Scribble, kScribbleRegion).hits)
            if (hit.kind == PickKind::Curve)
                addToSelection(curves, hit.curve);
        marks.append(p);
        return;
    }
    // Without Ctrl a scribble is over, and so is its trail.
    clearOverlay();
    if (curves.dragging) {
        viewer.document().beginGesture("Move Selection");
        viewer.document().recordEdit("Move Selection", [&] { curves.dragTo(p.x, p.y); });
    } else {
        MouseTool::move(event);
    }
}

void SelectionTool::release(QMouseEvent& event)
{
    CurveSet& curves = viewer.curves();
    const bool wasDragging = curves.dragging;
    if (wasDragging)
        curves.beginDrag(0.0, 0.0, false);
    viewer.document().endGesture();
    marks.clear();
    MouseTool::release(event);
}

void SelectionTool::drawOverlay() const
{
    drawScribbleMarks(marks, markerSize(), viewer.currentView());
}

void SelectionTool::clearOverlay()
{
    if (marks.isEmpty())
        return;
    marks.clear();
    viewer.requestRepaint();
}
