// File > Drawing Settings, and File > Trace Bitmap...: a bitmap traced into curves whose colours
// the renderer fits, put into the drawing as one undo step.
#include "file_menu_commands.h"

#include "example_bitmap_commands.h"
#include "file_questions.h"
#include "viewer.h"

#include "bitmap_tracer.h"
#include "curve_set_layers.h"
#include "curve_transforms.h"
#include "example_bitmap.h"
#include "render_readiness.h"
#include "trace_refinement.h"

#include <QApplication>
#include <QProgressDialog>

#include <iostream>

namespace {

// The traced bitmap's size: the editor's canvas.
constexpr int kTraceSize = kCanvasSize;

} // namespace

FileMenuCommands::FileMenuCommands(Viewer& shown, ExampleBitmapCommands& bitmap)
    : viewer(shown), example(bitmap)
{
}

void FileMenuCommands::drawingSettings()
{
    viewer.document().finishGesture();
    ColourSpace space = viewer.curves().colour_space;
    if (!viewer.dialogs().askColourSpace(&viewer, space) || space == viewer.curves().colour_space)
        return;
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Colour Space", [&] { curves.colour_space = space; });
}

void FileMenuCommands::traceBitmap()
{
    QImage bitmap = example.exampleImage();
    if (bitmap.isNull()) {
        const QString path =
            askOpenFileName(viewer, FileKind::Bitmap, "Select an image file to trace",
                            "Images (*.jpg *.png *.bmp)");
        if (path.isEmpty())
            return;
        QString reason;
        bitmap = readExampleBitmap(path, kTraceSize, reason, Qt::SmoothTransformation);
        if (bitmap.isNull()) {
            const QString text = QString("Cannot trace %1: %2").arg(path, reason);
            std::cerr << text.toStdString() << "\n";
            viewer.reportFailure("Trace Bitmap", text);
            return;
        }
    }
    TraceOptions options;
    options.drawingHasCurves = viewer.curves().nb_curves > 0;
    if (!viewer.dialogs().askTraceOptions(&viewer, options))
        return;
    // The drawing replaced goes as New lets it go: its unsaved changes are offered first.
    if (options.replace && !viewer.document().maybeSaveChanges())
        return;
    if (traceIntoDrawing(bitmap, options) && example.isExampleImgShown()) {
        // The traced drawing is what the user wants to see now.
        example.showExampleImg(false);
        emit example.exampleImgShownChanged(false);
    }
    viewer.requestRepaint();
}

bool FileMenuCommands::traceIntoDrawing(const QImage& bitmap, const TraceOptions& options)
{
    // Application-modal, as the keyframe export: nothing can change the drawing meanwhile.
    QProgressDialog progress("Tracing the bitmap...", "Cancel", 0, 100, &viewer);
    progress.setWindowTitle("Trace Bitmap");
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    const TraceProgress showProgress = [&](int percent) {
        progress.setValue(percent);
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    TraceResult traced = ::traceBitmap(bitmap, {options.detail, options.sensitivity}, showProgress);
    if (traced.cancelled)
        return false;
    if (traced.drawing.nb_curves == 0) {
        viewer.reportFailure("Trace Bitmap", "Nothing traced: " + traced.note);
        return false;
    }
    if (viewer.beginGLWork()) {
        if (renderingProblem(viewer.solver()).isEmpty()) {
            progress.setLabelText("Fitting the colours...");
            QApplication::processEvents();
            // Cancel is seen between solves; repaints meanwhile may leave another context current.
            refineTracedColors(viewer.solver(), traced.drawing, bitmap, kDefaultTraceRounds, [&] {
                QApplication::processEvents();
                viewer.makeCurrent();
                return progress.wasCanceled();
            });
        }
        viewer.solver().setCurveSet(viewer.curves());
        viewer.endGLWork();
    }
    if (progress.wasCanceled())
        return false;
    // A traced curve shows its own colours and blur in the panel when selected, as it will once
    // saved and opened again.
    for (int i = 0; i < traced.drawing.nb_curves; ++i)
        takeDefaultsFromPoints(traced.drawing.curve(i));
    Document& document = viewer.document();
    if (options.replace)
        document.startNewDrawing(); // untitled: Save asks for a name
    CurveSet& curves = viewer.curves();
    document.recordEdit("Trace Bitmap", [&] {
        // Over a drawing that has curves, the traced ones come as a layer of their own, above
        // the current one, so that they can be hidden, faded or deleted as one.
        if (curves.nb_curves > 0)
            addLayer(curves, "Traced");
        for (int i = 0; i < traced.drawing.nb_curves; ++i)
            curves.addCurve(traced.drawing.curve(i));
        curves.setCurrentCurve(-1);
    });
    std::cout << "Traced " << traced.drawing.nb_curves << " curves\n";
    emit viewer.outcomeReported(QString("Traced %1 curves").arg(traced.drawing.nb_curves));
    return true;
}
