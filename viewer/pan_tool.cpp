#include "pan_tool.h"

#include "viewer.h"

#include <QMouseEvent>

void PanTool::press(QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton) {
        MouseTool::press(event);
        return;
    }
    panning = true;
    anchor = canvasPosition(event);
}

void PanTool::move(QMouseEvent& event)
{
    if (!panning) {
        MouseTool::move(event);
        return;
    }
    const View view = viewer.currentView();
    const Point current = canvasPosition(event);
    viewer.setView({view.zoom, view.pan + current - anchor}); // the picture follows
    // With the new pan the mouse is over the grabbed point again.
    anchor = canvasPosition(event);
}

void PanTool::release(QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton) {
        MouseTool::release(event);
        return;
    }
    panning = false;
}
