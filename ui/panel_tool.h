#pragma once

#include <QtCore/QMetaType>

// The tool a tool button of the panel chooses, passed by value through the signal
// manipModeChanged(PanelTool). The values are fixed: they are the numbers of the viewer's mouse
// modes, to which the entry point turns them.
enum PanelTool {
    ToolMovePoint = 0,   // pick and drag control points
    ToolModifAttrib = 2, // edit colour and blur points
    ToolSelectMulti = 3, // multi-selection by click and scribble
    ToolDrawCatmull = 4, // free-hand drawing of a new curve
    ToolPan = 6,         // drag the view
    ToolBucket = 8,      // paint bucket
    ToolPicker = 9       // colour picker
};

// Whose lines the viewer draws when Show Splines is on, as comboSplineLines lists them: every
// spline's; only the selected ones' and the one under the pointer; or (Auto) every spline's
// until the drawing is dense, then as Selected.
enum class PanelLines { Auto = 0, All = 1, Selected = 2 };

// Declared here, once for the whole program, so that the tool can travel through queued
// connections, QVariant and QSignalSpy.
Q_DECLARE_METATYPE(PanelTool)
Q_DECLARE_METATYPE(PanelLines)
