#pragma once

#include "mouse_tool.h"

class ViewerSettings;

// Mode 9: a press takes the picture's colour under the mouse as the bucket colour.
class ColorPickerTool : public MouseTool {
public:
    // The settings, like the viewer, must outlive the tool.
    ColorPickerTool(Viewer& viewer, ViewerSettings& settings);

    void press(QMouseEvent& event) override;

private:
    ViewerSettings& settings;
};
