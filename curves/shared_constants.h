#pragma once

#include <QColor>

// The values several layers of the editor share, in one place.

// Side in pixels of the square canvas the renderer solves, of a new drawing's image and of the
// example bitmap; one canvas pixel is 2 / kCanvasSize canvas units across the -1..1 canvas.
constexpr int kCanvasSize = 512;

// Largest blur value of an attribute point; a strip is drawn in grey blur / kMaxBlur.
constexpr int kMaxBlur = 16;

// Colours a new stroke takes on its two sides, and the paint bucket's start-up colour.
inline const QColor kDefaultLeftColor{255, 255, 255};
inline const QColor kDefaultRightColor{130, 25, 25};
inline const QColor kDefaultBucketColor{130, 210, 25, 255};

// The Iterations setting: the multigrid cycles of a fresh solve at start-up (each step above it
// adds one cycle to the view's solves, DiffusionSolver), and the range the panel may ask for.
constexpr int kDefaultIterations = 3;
constexpr int kMinIterations = 1;
constexpr int kMaxIterations = 20;

// Keyframe export: frames from one keyframe to the next, both included, and the name the
// frames carry before their number ("interpol0.png", "interpol1.png", ...).
constexpr int kDefaultFramesPerPair = 26;
constexpr const char* kFrameBaseName = "interpol";
