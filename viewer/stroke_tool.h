#pragma once

#include "mouse_tool.h"

#include <QVector>

// Mode 4: drawing a stroke. A left press starts it (and drops the current curve), every move
// adds the mouse position, and the release turns four positions or more into a curve, one step
// of the history; fewer are a click, which draws nothing. The stroke is drawn as a line until
// then.
class StrokeTool : public MouseTool {
public:
    using MouseTool::MouseTool;

    void press(QMouseEvent& event) override;
    void move(QMouseEvent& event) override;
    void release(QMouseEvent& event) override;
    void drawOverlay() const override;

    // The canvas positions of the stroke being drawn; empty between strokes.
    const QVector<Point>& strokePoints() const { return stroke; }

private:
    QVector<Point> stroke;
};
