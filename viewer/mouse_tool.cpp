#include "mouse_tool.h"

#include "layer_editing.h"
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

namespace {

PickHits pickWith(Viewer& viewer, const QPoint& pos, ManipulationMode mode, PickPurpose purpose,
                  int region)
{
    if (!viewer.isGLReady())
        return {};
    PickQuery query;
    query.mode = mode;
    query.purpose = purpose;
    query.view = viewer.currentView();
    query.atWidgetPixel(pos.x(), pos.y(), viewer.width(), viewer.height(),
                        viewer.devicePixelRatioF(), region);
    // The canvas square, as the frame shows it.
    const QRect canvas = viewer.placement().canvasViewport();
    query.setViewport(canvas.x(), canvas.y(), canvas.width(), canvas.height());
    // On the CPU, from the kept bodies near the pick square: no GL pass draws every curve. Only
    // curves of the current layer are picked.
    return onlyEditableHits(pickCurveSetIndexed(viewer.curves(), viewer.pickIndex(), query),
                            viewer.curves());
}

} // namespace

PickHits pickAround(Viewer& viewer, const QPoint& pos, PickPurpose purpose, int region)
{
    return pickWith(viewer, pos, viewer.mode(), purpose, region);
}

int curveUnder(Viewer& viewer, const QPoint& pos)
{
    // The multiselection's toggle pick names whole curves by index, in drawing order.
    const PickHits hits = pickWith(viewer, pos, ModeSelectMulti, PickPurpose::Toggle, kClickRegion);
    for (int i = hits.count() - 1; i >= 0; --i)
        if (hits.hits[i].curve >= 0)
            return hits.hits[i].curve;
    return -1;
}
