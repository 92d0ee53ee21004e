#pragma once

#include <QObject>

class QPointF;
class QWheelEvent;
class Viewer;

// Zooming the viewer's view: the zoom buttons and keys, the wheel and the whole canvas again.
// Zoom stays within 2^-16 .. 2^16; every change re-solves the picture (full update), and the
// handle and marker sizes follow 1/zoom (Viewer::setView).
class ViewNavigator : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit ViewNavigator(Viewer& viewer);

    // One wheel notch (120 eighths of a degree) zooms by the square root of 2 about the cursor.
    void wheel(QWheelEvent& event);

public Q_SLOTS:
    // Doubles (halves) the zoom about the window centre.
    void zoomIn();
    void zoomOut();
    // Multiplies the zoom by `factor` about widget pixel `pos`: the canvas point under it stays
    // there.
    void zoomAbout(double factor, const QPointF& pos);
    // The whole canvas again: zoom 1, no pan.
    void showWholeCanvas();

private:
    Viewer& viewer;
};
