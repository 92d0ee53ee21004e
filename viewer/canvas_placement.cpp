#include "canvas_placement.h"

#include <algorithm>

CanvasPlacement::CanvasPlacement(const QSize& widgetSize, double devicePixelRatio,
                                 const View& shownView)
    : widget(widgetSize), ratio(devicePixelRatio), view(shownView)
{
}

QRect CanvasPlacement::canvasRect() const
{
    const int side = std::max(1, std::min(widget.width(), widget.height()));
    return QRect((widget.width() - side) / 2, (widget.height() - side) / 2, side, side);
}

QRect CanvasPlacement::canvasViewport() const
{
    const QRect canvas = canvasRect();
    return QRect(static_cast<int>(canvas.x() * ratio),
                 static_cast<int>((widget.height() - canvas.bottom() - 1) * ratio),
                 static_cast<int>(canvas.width() * ratio),
                 static_cast<int>(canvas.height() * ratio));
}

Point CanvasPlacement::modelPosition(double mx, double my) const
{
    const QRect canvas = canvasRect();
    const double half = canvas.width() * 0.5;
    return view.ndcToCanvas(Point((mx - canvas.x()) / half - 1.0, 1.0 - (my - canvas.y()) / half));
}

QPointF CanvasPlacement::widgetPosition(const Point& p) const
{
    const QRect canvas = canvasRect();
    const double half = canvas.width() * 0.5;
    const Point ndc = view.canvasToNdc(p);
    return QPointF(canvas.x() + (ndc.x + 1.0) * half, canvas.y() + (1.0 - ndc.y) * half);
}
