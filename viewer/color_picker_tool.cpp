#include "color_picker_tool.h"

#include "diffusion_solver.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

// The pixel of a `size`-pixel side that holds `fraction` of it, clamped to 0 .. size - 1 (NaN
// gives 0).
int pixelOf(double fraction, int size)
{
    if (!(fraction > 0.0))
        return 0;
    return int(std::min(std::floor(size * fraction), double(size - 1)));
}

} // namespace

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
    QColor color = bitmap.pixelColor(pixelOf((p.x + 1.0) * 0.5, bitmap.width()),
                                     pixelOf((1.0 - p.y) * 0.5, bitmap.height()));
    color.setAlpha(255);
    return color;
}
