#pragma once

#include <QObject>

class ExampleBitmapCommands;
class QImage;
class Viewer;
struct TraceOptions;

// File > Drawing Settings and File > Trace Bitmap...: the File menu's commands that change the
// drawing shown by a viewer (opening and saving belong to the Document).
class FileMenuCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`; traces the bitmap of `bitmap` when one is loaded. Both must outlive
    // this object.
    FileMenuCommands(Viewer& viewer, const ExampleBitmapCommands& bitmap);

public Q_SLOTS:
    // Asks for the colour space the drawing is diffused in; a change is one undo step and
    // re-solves the picture.
    void drawingSettings();
    // Traces the example bitmap, or a bitmap asked for when none is loaded, with the settings
    // asked for, fits the colours with the renderer and puts the curves into the drawing
    // (replacing it or added, as asked) as one undo step "Trace Bitmap". Progress and Cancel
    // while it runs.
    void traceBitmap();

private:
    // The trace of `bitmap` with `options` into the drawing; false when cancelled or nothing
    // was found (reported).
    bool traceIntoDrawing(const QImage& bitmap, const TraceOptions& options);

    Viewer& viewer;
    const ExampleBitmapCommands& example;
};
