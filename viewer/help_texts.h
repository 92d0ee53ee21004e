#pragma once

#include <QString>

// The rich-text pages of the viewer's help window.

// The program's version, shown on the About page.
extern const char* const kTintweaveVersion;

// Title, one-line description of the program and a short "Getting started": draw, colour,
// edit, save, export, trace.
QString helpPageText();
// Table of the mouse gestures of every tool (named by its tooltip's name) and of the wheel, each
// once, then the panel's action
// buttons: snap, read colours, switch colours, contrast, stylise and smooth.
QString mousePageText();
// Table of every key the viewer handles, each once, including the two debug keys that step
// through the multigrid levels: P shows the next coarser level and L the next finer one, as
// the key handler does.
QString keyboardPageText();
// What Tintweave is, its version and its licence.
QString aboutPageText();
