#pragma once

#include "interface.h"
#include "viewer.h"

// Installs the default GL surface format of every GL widget: depth 24 and a stencil buffer of
// 8 bits (the renderer counts overlapping curve strips in the stencil), and makes GL widgets
// share their GL objects. Must run before the QApplication is constructed.
void installSurfaceFormat();

// The editor's two top-level windows: the viewer, constructed first, and the control panel,
// wired together by connectWindows; the viewer is titled "Hueflow", the panel keeps its form's
// title "MainWindow". They are destroyed in reverse order (panel, then viewer). Needs a
// QApplication and the surface format installed.
class Editor {
public:
    Editor();

    // Shows the control panel, then the viewer (whose GL initialisation runs when it is first
    // shown).
    void show();

    Viewer viewer;
    Interface panel;
};
