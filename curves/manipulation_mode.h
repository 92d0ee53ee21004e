#pragma once

#include <QtCore/QMetaType>

// The viewer's mouse mode, chosen by the control panel's tool buttons and passed by value through
// the signal manipModeChanged(ManipulationMode) to the viewer's changeManipMode(ManipulationMode).
// The values are fixed: they are the numbers the panel emits.
enum ManipulationMode {
    ModeMovePoint = 0,   // pick and drag control points
    ModeSelectCurve = 1, // pick a whole curve
    ModeModifAttrib = 2, // edit colour and blur points
    ModeSelectMulti = 3, // multi-selection by click and scribble
    ModeDrawCatmull = 4, // free-hand drawing of a new curve
    ModeInert = 5,       // the mouse does nothing
    ModePan = 6,         // drag the view
    ModeCamera = 7,      // initial mode
    ModeBucket = 8,      // paint bucket
    ModePicker = 9       // colour picker
};

// Declared here, once for the whole program, so that the mode can travel through queued
// connections, QVariant and QSignalSpy. Do not declare it again elsewhere.
Q_DECLARE_METATYPE(ManipulationMode)
