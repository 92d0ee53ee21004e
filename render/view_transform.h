#pragma once

// The viewer's two-dimensional view: canvas point p is drawn at zoom * (p + pan) in normalised
// device coordinates, so the window shows canvas point (-panX, -panY) at its centre.
struct ViewTransform {
    double zoom = 1.0;
    double panX = 0.0;
    double panY = 0.0;
};

// Multiplies the current GL matrix by the view: a scale (zoom, zoom, 0), then a translation
// (panX, panY, 0). Needs a current context; the caller selects the matrix (the model-view).
void multiplyViewTransform(const ViewTransform& view);
