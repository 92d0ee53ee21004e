#pragma once

class QWidget;

// Where the editor's two windows stand. At first start the control panel stands to the left of
// the viewer, side by side without overlap, the pair centred on the primary screen. Later they
// open where the user left them: both positions and the panel's size are kept in the user's
// settings. The viewer's size is not kept: it follows the drawing (a new drawing, or the one
// opened at start, sizes it).
//
// Both need a QApplication and the application's settings names.

// Moves the windows, before they are shown, to their remembered places when each remembered
// rectangle still lies on some screen; otherwise (first start, a screen since removed or made
// smaller) side by side as at first start.
void placeWindows(QWidget& panel, QWidget& viewer);

// Remembers both windows' positions and the panel's size.
void rememberWindowPlacement(const QWidget& panel, const QWidget& viewer);
