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
    // Works on `viewer`; traces the bitmap of `bitmap` when one is loaded, and shows the traced
    // drawing instead of it. Both must outlive this object.
    FileMenuCommands(Viewer& viewer, ExampleBitmapCommands& bitmap);

public Q_SLOTS:
    // Asks for the colour space the drawing is diffused in; a change is one undo step and
    // re-solves the picture.
    void drawingSettings();
    // Traces the example bitmap, or a bitmap asked for when none is loaded, with the settings
    // asked for and fits the colours with the renderer. "Add" puts the curves into a new layer
    // "Traced" above the current one, as one undo step "Trace Bitmap"; "Replace" (or an empty drawing) opens them as a new,
    // untitled drawing, after the question about unsaved changes that New asks. Progress and
    // Cancel while it runs. The traced drawing is shown, not the bitmap.
    void traceBitmap();

private:
    // The trace of `bitmap` with `options` into the drawing; false when cancelled or nothing
    // was found (reported).
    bool traceIntoDrawing(const QImage& bitmap, const TraceOptions& options);

    Viewer& viewer;
    ExampleBitmapCommands& example;
};
