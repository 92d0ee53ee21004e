#pragma once

#include <QImage>
#include <QObject>

#include "curve_set.h" // kDefaultSnapReach

class Viewer;

// The example bitmap: File > Load Bitmap reads it (scaled to the canvas) with its contour image;
// the viewer shows it instead of the picture while "show" is on; the drawing's colours can be
// sampled from it and its curves snapped towards its contours.
class ExampleBitmapCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit ExampleBitmapCommands(Viewer& viewer);

    bool isExampleImgLoaded() const { return loaded; }
    bool isExampleImgShown() const { return shown; }
    // Null before a bitmap was loaded.
    const QImage& exampleImage() const { return example; }
    const QImage& contourImage() const { return contour; }

public Q_SLOTS:
    // Asks for a bitmap; an unreadable one is reported and the one loaded before stays.
    void loadExampleImg();
    void showExampleImg(bool show);
    // Colours of the selected curves and the current one sampled from the bitmap (one undo
    // step); nothing without a bitmap or such curves.
    void sampleFromExample();
    // One snapping pass of the same curves towards the contour image (one undo step). Both say
    // in the status line what they did, or the first reason why nothing (the bitmap first).
    void iterSnake();
    // How far one snap may move a point, in bitmap pixels (clamped to 2 .. 30).
    void setSnapReach(int pixels);

Q_SIGNALS:
    // The viewer shows the bitmap, or no longer does, other than by the panel's check box.
    void exampleImgShownChanged(bool shown);

private:
    bool hasCurvesToWorkOn() const;

    Viewer& viewer;
    QImage example;
    QImage contour;
    bool loaded = false;
    bool shown = false;
    int snapReach = kDefaultSnapReach;
};
