#pragma once

#include "mouse_tool.h"

#include <optional>

class ContextMenuController;

// Modes 0, 1, 2 and 8 work on the current curve. A left press without a current curve chooses
// the curve under the mouse; with one, it takes the most specific item under the mouse (a
// control point only within its drawn disk), and a press on nothing drops the current curve.
// A drag of the curve or of one control point follows the mouse until the release. The right
// button opens the curve's context menu.
//
// As such this is mode 1, which only chooses the current curve; the subclasses say what a
// press on an item does.
class CurvePointTool : public MouseTool {
public:
    // The menus, like the viewer, must outlive the tool.
    CurvePointTool(Viewer& viewer, ContextMenuController& menus);

    void press(QMouseEvent& event) override;
    void move(QMouseEvent& event) override;
    void release(QMouseEvent& event) override;

protected:
    // What a left press on `item` of the current curve does.
    virtual void pressItem(const PickHit& item, const QMouseEvent& event);

private:
    // The item a left press takes among `hits` of a press at canvas point `at`: the last one,
    // except that a control point counts only where `at` lies within its drawn disk (outline
    // included). None when no hit remains.
    std::optional<PickHit> pressedItem(const PickHits& hits, const Point& at) const;

    ContextMenuController& menus;
};

// Mode 0: a press on the curve drags it, a press on a control point drags that point.
class MovePointTool : public CurvePointTool {
public:
    using CurvePointTool::CurvePointTool;

protected:
    void pressItem(const PickHit& item, const QMouseEvent& event) override;
};
