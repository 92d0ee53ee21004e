#include "window_placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace {

const char* const kPanelKey = "windows/panel";
const char* const kViewerKey = "windows/viewer";
// Room between the two windows for their frames, which are not known before they are shown.
constexpr int kGap = 24;

bool liesOnAScreen(const QRect& rect)
{
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&rect](const QScreen* screen) {
        return screen->availableGeometry().contains(rect);
    });
}

void placeSideBySide(QWidget& panel, QWidget& viewer)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const int width = panel.width() + kGap + viewer.width();
    const int height = std::max(panel.height(), viewer.height());
    const int left = area.left() + std::max(0, (area.width() - width) / 2);
    const int top = area.top() + std::max(0, (area.height() - height) / 2);
    panel.move(left, top);
    viewer.move(left + panel.width() + kGap, top);
}

} // namespace

void placeWindows(QWidget& panel, QWidget& viewer)
{
    const QSettings settings;
    const QRect panelPlace = settings.value(kPanelKey).toRect();
    const QRect viewerPlace(settings.value(kViewerKey).toPoint(), viewer.size());
    if (panelPlace.isValid() && settings.contains(kViewerKey) && liesOnAScreen(panelPlace)
        && liesOnAScreen(viewerPlace)) {
        panel.resize(panelPlace.size());
        panel.move(panelPlace.topLeft());
        viewer.move(viewerPlace.topLeft());
        return;
    }
    placeSideBySide(panel, viewer);
}

void rememberWindowPlacement(const QWidget& panel, const QWidget& viewer)
{
    QSettings settings;
    settings.setValue(kPanelKey, QRect(panel.pos(), panel.size()));
    settings.setValue(kViewerKey, viewer.pos());
}
