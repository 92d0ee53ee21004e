#pragma once

#include "curve_pick_index.h"

#include "picker.h"
#include "point.h"

class QMouseEvent;
class QPoint;
class QString;
class Viewer;

// One mouse tool of the viewer: what a press, a move and a release do while its mode is active,
// and what it draws over the picture. The viewer hands each mouse event to the tool of its
// current mode (mouse_tools.h). This base passes every event to the GL widget's own handling,
// which is what a mode without a tool does.
class MouseTool {
public:
    // Works in `viewer`, which must outlive the tool.
    explicit MouseTool(Viewer& viewer) : viewer(viewer) {}
    virtual ~MouseTool() = default;

    virtual void press(QMouseEvent& event);
    virtual void move(QMouseEvent& event);
    virtual void release(QMouseEvent& event);
    // Draws the tool's marks over the picture with the viewer's view; the context is current.
    virtual void drawOverlay() const {}
    // Drops marks that outlive a gesture (the scribble trail) and repaints if there were any.
    virtual void clearOverlay() {}

protected:
    Point canvasPosition(const QMouseEvent& event) const;
    PickHits pickAround(const QPoint& pos, PickPurpose purpose, int region) const;
    // Opens the gesture `step` and starts dragging the current curve or the multi-selection
    // from the mouse's canvas position.
    void startDrag(const QString& step, const QMouseEvent& event);

    Viewer& viewer;
};

// Canvas position of the mouse in `event` over `viewer`.
Point canvasPosition(const Viewer& viewer, const QMouseEvent& event);
// Pick around widget pixel `pos` of `viewer` with its mode and view, as the GL selection pass
// would answer it, from the viewer's pick index; `region` is the pick square's edge in widget
// pixels. No hits before the viewer's GL initialisation.
PickHits pickAround(Viewer& viewer, const QPoint& pos, PickPurpose purpose, int region);
// The curve under widget pixel `pos` of `viewer` within a click's reach, whatever the mode: the
// one drawn last where several are; -1 for none (and before the GL initialisation).
int curveUnder(Viewer& viewer, const QPoint& pos);

// Edge of the pick square in widget pixels: a click (within 4 pixels of a curve picks it, at
// every zoom), and the wider brush of the scribble.
constexpr int kClickRegion = kClickPickEdge;
constexpr int kScribbleRegion = 20;

// Mode 5: a press goes to the GL widget; moves and releases are ignored.
class InertTool : public MouseTool {
public:
    using MouseTool::MouseTool;
    void move(QMouseEvent&) override {}
    void release(QMouseEvent&) override {}
};
