// File > Trace Bitmap...: a bitmap traced into curves whose colours the renderer fits, put into
// the drawing as one undo step.
#include "viewer.h"

#include "bitmap_tracer.h"
#include "example_bitmap.h"
#include "render_readiness.h"
#include "trace_refinement.h"

#include <QApplication>
#include <QProgressDialog>

#include <iostream>

namespace {

// The traced bitmap's size: the editor's canvas.
constexpr int kTraceSize = kCanvasSize;
// Colour-fitting rounds after the trace (the command line's default).
constexpr int kTraceRounds = 1;

} // namespace

void Viewer::traceBitmap()
{
    QImage bitmap = exampleImg;
    if (bitmap.isNull()) {
        const QString path =
            askOpenFileName("Select an image file to trace", "Images (*.jpg *.png *.bmp)");
        if (path.isEmpty())
            return;
        QString reason;
        bitmap = readExampleBitmap(path, kTraceSize, reason, Qt::SmoothTransformation);
        if (bitmap.isNull()) {
            const QString text = QString("Cannot trace %1: %2").arg(path, reason);
            std::cerr << text.toStdString() << "\n";
            reportFailure("Trace Bitmap", text);
            return;
        }
    }
    TraceOptions options;
    options.drawingHasCurves = curveSet.nb_curves > 0;
    if (!dialogs().askTraceOptions(this, options))
        return;
    traceIntoDrawing(bitmap, options);
    requestRepaint();
}

bool Viewer::traceIntoDrawing(const QImage& bitmap, const TraceOptions& options)
{
    // Application-modal, as the keyframe export: nothing can change the drawing meanwhile.
    QProgressDialog progress("Tracing the bitmap...", "Cancel", 0, 100, this);
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
        reportFailure("Trace Bitmap", "Nothing traced: " + traced.note);
        return false;
    }
    if (beginGLWork()) {
        if (renderingProblem(*renderer).isEmpty()) {
            progress.setLabelText("Fitting the colours...");
            QApplication::processEvents();
            // Cancel is seen between solves; repaints meanwhile may leave another context current.
            refineTracedColors(*renderer, traced.drawing, bitmap, kTraceRounds, [&] {
                QApplication::processEvents();
                makeCurrent();
                return progress.wasCanceled();
            });
        }
        renderer->setCurveSet(curveSet);
        endGLWork();
    }
    if (progress.wasCanceled())
        return false;
    doc.recordEdit("Trace Bitmap", [&] {
        if (options.replace)
            curveSet.clear();
        for (int i = 0; i < traced.drawing.nb_curves; ++i)
            curveSet.addCurve(traced.drawing.curve(i));
        curveSet.setCurrentCurve(-1);
    });
    std::cout << "Traced " << traced.drawing.nb_curves << " curves\n";
    emit outcomeReported(QString("Traced %1 curves").arg(traced.drawing.nb_curves));
    fullUpdate();
    return true;
}
