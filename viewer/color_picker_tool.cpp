#include "color_picker_tool.h"

#include "diffusion_solver.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QMouseEvent>

ColorPickerTool::ColorPickerTool(Viewer& viewer, ViewerSettings& settings)
    : MouseTool(viewer), settings(settings)
{
}

void ColorPickerTool::press(QMouseEvent& event)
{
    if (!viewer.beginGLWork())
        return;
    // Fractions of the canvas square, origin bottom left.
    const QRectF canvas = viewer.placement().canvasRect();
    const double fx = (event.localPos().x() - canvas.x()) / canvas.width();
    const double fy = (canvas.y() + canvas.height() - event.localPos().y()) / canvas.height();
    const QColor picked = viewer.solver().display().colorAt(fx, fy);
    viewer.endGLWork();
    settings.pickBucketColor(picked);
}
