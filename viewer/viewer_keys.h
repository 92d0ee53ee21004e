#pragma once

class QKeyEvent;
class Viewer;

// The viewer's own keys, offered each press after the key handlers of the commands: the file
// and history shortcuts (Ctrl+Z/Y/N/O/S/Q, Ctrl+Shift+Z/S), the view (Home, Ctrl+0, + and -),
// R (a fresh drawing), P and L (the displayed level), and F1..F7 (the image shown).
// Returns true when `event` was one of them and has been acted on.
bool handleViewerKey(Viewer& viewer, const QKeyEvent& event);
