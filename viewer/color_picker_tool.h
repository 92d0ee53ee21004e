#pragma once

#include "mouse_tool.h"

#include <QColor>

class QPointF;
class ViewerSettings;

// Mode 9: a press takes the colour shown under the mouse as the bucket colour: the picture's
// colour with its opacity, or, while the viewer shows the example bitmap instead, the bitmap's
// colour, opaque (the viewer shows the bitmap without its transparency).
class ColorPickerTool : public MouseTool {
public:
    // The settings, like the viewer, must outlive the tool.
    ColorPickerTool(Viewer& viewer, ViewerSettings& settings);

    void press(QMouseEvent& event) override;

private:
    // The colour of the picture or of the bitmap at widget pixel `at` (origin top left); outside
    // the canvas, that of the nearest canvas pixel.
    QColor pictureColorAt(const QPointF& at);
    QColor bitmapColorAt(const QPointF& at) const;

    ViewerSettings& settings;
};
