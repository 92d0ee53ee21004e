#include "view_navigator.h"

#include "viewer.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Zoom is kept within 2^-16 .. 2^16: beyond 2^16 one canvas pixel is smaller than the
// single-precision resolution of GL vertex coordinates, and repeated doubling would otherwise
// end in infinite coordinates.
constexpr double kMaxZoom = 65536.0;
constexpr double kMinZoom = 1.0 / 65536.0;
// One wheel notch is 120 eighths of a degree; two notches double the zoom.
constexpr double kWheelNotch = 120.0;
constexpr double kZoomPerNotch = 1.4142135623730951;

} // namespace

ViewNavigator::ViewNavigator(Viewer& shown) : viewer(shown) {}

void ViewNavigator::zoomIn()
{
    const View view = viewer.currentView();
    if (view.zoom * 2.0 > kMaxZoom)
        return;
    viewer.setView({view.zoom * 2.0, view.pan});
}

void ViewNavigator::zoomOut()
{
    const View view = viewer.currentView();
    if (view.zoom * 0.5 < kMinZoom)
        return;
    viewer.setView({view.zoom * 0.5, view.pan});
}

void ViewNavigator::zoomAbout(double factor, const QPointF& pos)
{
    const View view = viewer.currentView();
    const double newZoom = std::clamp(view.zoom * factor, kMinZoom, kMaxZoom);
    if (!(newZoom != view.zoom))
        return;
    // The grabbed canvas point keeps its normalised device position ndc = zoom (p + pan).
    const Point grabbed = viewer.placement().modelPosition(pos.x(), pos.y());
    const Point ndc = view.canvasToNdc(grabbed);
    viewer.setView({newZoom, ndc * (1.0 / newZoom) - grabbed});
}

void ViewNavigator::showWholeCanvas() { viewer.setView(View()); }

void ViewNavigator::wheel(QWheelEvent& event)
{
    const double notches = event.angleDelta().y() / kWheelNotch;
    if (notches != 0.0)
        zoomAbout(std::pow(kZoomPerNotch, notches), event.position());
    event.accept();
}
