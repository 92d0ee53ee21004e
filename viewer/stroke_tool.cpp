#include "stroke_tool.h"

#include "overlay_drawing.h"
#include "overview_reader.h"
#include "stroke_vectorizer.h"
#include "viewer.h"

#include <QMouseEvent>

void StrokeTool::press(QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton) {
        MouseTool::press(event);
        return;
    }
    stroke.clear();
    viewer.curves().setCurrentCurve(-1);
    stroke.append(canvasPosition(event));
}

void StrokeTool::move(QMouseEvent& event)
{
    if (stroke.isEmpty()) {
        MouseTool::move(event);
        return;
    }
    stroke.append(canvasPosition(event));
}

void StrokeTool::release(QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton) {
        MouseTool::release(event);
        return;
    }
    // Four positions at least make a curve; fewer are a click, which draws nothing.
    if (stroke.size() > 3) {
        CurveSet& curves = viewer.curves();
        // The stroke is traced in the pixel grid of the canvas square.
        const int side = viewer.placement().canvasRect().width();
        viewer.document().recordEdit("Stroke", [&] {
            if (viewer.beginGLWork()) {
                // Inactive colour sides take their colours from the rendered overview.
                const OverviewReader picture(viewer.solver());
                vectorizeStroke(curves, stroke, side, side, &picture);
                viewer.endGLWork();
            } else {
                vectorizeStroke(curves, stroke, side, side, nullptr);
            }
        });
        curves.setCurrentCurve(-1);
    }
    stroke.clear();
}

void StrokeTool::drawOverlay() const { drawStrokeLine(stroke, viewer.currentView()); }
