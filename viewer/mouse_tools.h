#pragma once

#include "attribute_point_tools.h"
#include "color_picker_tool.h"
#include "context_menu_controller.h"
#include "curve_point_tool.h"
#include "manipulation_mode.h"
#include "pan_tool.h"
#include "selection_tool.h"
#include "stroke_tool.h"

// The viewer's mouse tools, one per mode, and the context menus they open.
struct MouseTools {
    // Tools working in `viewer` with its `settings`; both must outlive them.
    MouseTools(Viewer& viewer, ViewerSettings& settings);

    // The tool of `mode`; the plain GL widget's (mode 7) for a value outside the enumeration.
    MouseTool& forMode(ManipulationMode mode);
    // Drops every tool's marks that outlive a gesture (clearOverlay).
    void clearOverlays();

    ContextMenuController menus;
    MovePointTool movePoint;       // mode 0
    CurvePointTool selectCurve;    // mode 1
    AttributePointTool attributes; // mode 2
    SelectionTool selection;       // mode 3
    StrokeTool stroke;             // mode 4
    InertTool inert;               // mode 5
    PanTool pan;                   // mode 6
    MouseTool camera;              // mode 7: every event to the GL widget
    BucketTool bucket;             // mode 8
    ColorPickerTool picker;        // mode 9
};
