#pragma once

#include "curve_point_tool.h"

class ViewerSettings;

// Mode 2: a press on a colour point asks the panel for its new colour (the settings'
// changeControlPoint*Color, answered through their setControlPoint*Color); a press on a blur
// point hands it to the blur edit (blurPointPressed). The picture is re-solved after the press.
class AttributePointTool : public CurvePointTool {
public:
    // The menus and settings, like the viewer, must outlive the tool.
    AttributePointTool(Viewer& viewer, ContextMenuController& menus, ViewerSettings& settings);

protected:
    void pressItem(const PickHit& item, const QMouseEvent& event) override;
    ViewerSettings& settings;

private:
    void askPointColor(const PickHit& point);
};

// Mode 8: a press on a colour point gives it the bucket colour, one step of the history.
class BucketTool : public AttributePointTool {
public:
    using AttributePointTool::AttributePointTool;

protected:
    void pressItem(const PickHit& item, const QMouseEvent& event) override;
};
