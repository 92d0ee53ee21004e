#include "color_picker_tool.h"

#include "canvas_rect.h"
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
    const QPointF at = event.localPos();
    if (viewer.showsBackgroundImage())
        settings.pickBucketColor(bitmapColorAt(at));
    else if (viewer.beginGLWork()) {
        const QColor picked = pictureColorAt(at);
        viewer.endGLWork();
        settings.pickBucketColor(picked);
    }
}

QColor ColorPickerTool::pictureColorAt(const QPointF& at)
{
    // Fractions of the canvas square, origin bottom left.
    const QRectF canvas = viewer.placement().canvasRect();
    const double fx = (at.x() - canvas.x()) / canvas.width();
    const double fy = (canvas.y() + canvas.height() - at.y()) / canvas.height();
    return viewer.solver().display().colorAt(fx, fy);
}

QColor ColorPickerTool::bitmapColorAt(const QPointF& at) const
{
    // The bitmap covers the canvas, -1..1 on both axes (y up), whatever the view; its rows run
    // from the top.
    const QImage& bitmap = viewer.backgroundImage();
    const Point p = viewer.placement().modelPosition(at.x(), at.y());
    QColor color = bitmap.pixelColor(pixelAtFraction((p.x + 1.0) * 0.5, bitmap.width()),
                                     pixelAtFraction((1.0 - p.y) * 0.5, bitmap.height()));
    color.setAlpha(255);
    return color;
}
