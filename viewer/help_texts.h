#pragma once

#include <QString>

// The three rich-text pages of the viewer's help window.

// Title and one-line description of the program.
QString helpPageText();
// Table of mouse gestures per mode.
QString mousePageText();
// Table of keyboard shortcuts, including the two debug keys that step through the multigrid
// levels: P shows the next coarser level and L the next finer one, as the key handler does.
QString keyboardPageText();
