#include "mouse_tool.h"

#include "viewer.h"

#include <QMouseEvent>

// The GL widget's own handling: with its bindings cleared it takes no action.
void MouseTool::press(QMouseEvent& event) { viewer.QGLViewer::mousePressEvent(&event); }

void MouseTool::move(QMouseEvent& event) { viewer.QGLViewer::mouseMoveEvent(&event); }

void MouseTool::release(QMouseEvent& event) { viewer.QGLViewer::mouseReleaseEvent(&event); }

Point MouseTool::canvasPosition(const QMouseEvent& event) const
{
    return ::canvasPosition(viewer, event);
}

PickHits MouseTool::pickAround(const QPoint& pos, PickPurpose purpose, int region) const
{
    return ::pickAround(viewer, pos, purpose, region);
}

void MouseTool::startDrag(const QString& step, const QMouseEvent& event)
{
    const Point p = canvasPosition(event);
    viewer.document().beginGesture(step);
    viewer.curves().beginDrag(p.x, p.y, true);
}

Point canvasPosition(const Viewer& viewer, const QMouseEvent& event)
{
    return viewer.placement().modelPosition(event.localPos().x(), event.localPos().y());
}

PickHits pickAround(Viewer& viewer, const QPoint& pos, PickPurpose purpose, int region)
{
    if (!viewer.isGLReady())
        return {};
    PickQuery query;
    query.mode = viewer.mode();
    query.purpose = purpose;
    query.view = viewer.currentView();
    query.atWidgetPixel(pos.x(), pos.y(), viewer.width(), viewer.height(),
                        viewer.devicePixelRatioF(), region);
    // The canvas square, as the frame shows it.
    const QRect canvas = viewer.placement().canvasViewport();
    query.setViewport(canvas.x(), canvas.y(), canvas.width(), canvas.height());
    // On the CPU, from the kept bodies near the pick square: no GL pass draws every curve.
    return pickCurveSetIndexed(viewer.curves(), viewer.pickIndex(), query);
}
