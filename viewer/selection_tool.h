#pragma once

#include "mouse_tool.h"

#include <QVector>

class ContextMenuController;

// Mode 3, the multi-selection. Shift+click toggles the curves under the mouse; a plain press on
// the selection drags it, on nothing clears it. Moving with Ctrl held (button or not) scribbles:
// every curve under a wide brush joins the selection, and the brush leaves a trail of marks that
// goes when the scribble ends (Ctrl let go, a release, another mode). The right button opens the
// selection's menu.
class SelectionTool : public MouseTool {
public:
    // The menus, like the viewer, must outlive the tool.
    SelectionTool(Viewer& viewer, ContextMenuController& menus);

    void press(QMouseEvent& event) override;
    void move(QMouseEvent& event) override;
    void release(QMouseEvent& event) override;
    void drawOverlay() const override;
    void clearOverlay() override;

    // The scribble's trail: the canvas positions of its marks.
    const QVector<Point>& scribblePoints() const { return marks; }
    // Full edge length, in canvas units, of a scribble mark: 1/zoom of its size at zoom 1, so
    // that marks keep their size on screen.
    double markerSize() const;

private:
    ContextMenuController& menus;
    QVector<Point> marks;
};
