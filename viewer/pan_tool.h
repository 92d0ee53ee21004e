#pragma once

#include "mouse_tool.h"

// Mode 6: a left drag moves the view so that the canvas point grabbed stays under the mouse.
class PanTool : public MouseTool {
public:
    using MouseTool::MouseTool;

    void press(QMouseEvent& event) override;
    void move(QMouseEvent& event) override;
    void release(QMouseEvent& event) override;

    bool isPanning() const { return panning; }

private:
    Point anchor; // the canvas point grabbed
    bool panning = false;
};
