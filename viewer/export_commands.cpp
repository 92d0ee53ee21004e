// File > Save as Png and File > Keyframing.
#include "export_commands.h"

#include "diffusion_solver.h"
#include "file_questions.h"
#include "pdf_export.h"
#include "recent_files.h"
#include "render_readiness.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <iostream>

namespace {

// Pictures above this side take seconds: their export shows its progress and can be cancelled.
constexpr int kQuickPictureSize = kCanvasSize;

// Saves the picture at `size` through a progress dialog with Cancel, letting both windows
// repaint between the phases of the export. A cancelled export leaves the file untouched.
bool savePictureWithProgress(Viewer& viewer, DiffusionSolver& renderer, const QString& name,
                             int size, QString* why)
{
    QProgressDialog progress("Saving the picture...", "Cancel", 0, 1, &viewer);
    progress.setWindowTitle("Save as Png");
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setValue(0);
    const PictureProgress showProgress = [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        // Phases are seconds apart: the viewer is drawn now rather than on a later update
        // request, and both windows take their events.
        viewer.repaint();
        QApplication::processEvents();
        viewer.makeCurrent(); // a repaint may have left another context current
        return !progress.wasCanceled();
    };
    return renderer.saveImage(name, size, why, showProgress);
}

} // namespace

ExportCommands::ExportCommands(Viewer& shown) : viewer(shown) {}

void ExportCommands::savePng()
{
    const QString name = askSaveFileName(viewer, FileKind::Picture,
                                         "Choose a filename to save under", "Png (*.png)", "png");
    if (name.isEmpty())
        return;
    int size = pictureSize;
    if (!viewer.dialogs().askPictureSize(&viewer, size, DiffusionSolver::kMinPictureSize,
                                         DiffusionSolver::kMaxPictureSize)
        || !viewer.beginGLWork())
        return;
    pictureSize = size;
    // A picture made without all its programs would be wrong (blank): it is refused.
    QString why = renderingProblem(viewer.solver());
    viewer.solver().settings().exportEncoding = {pngDepth, true};
    const bool saved = why.isEmpty()
                       && (size > kQuickPictureSize
                               ? savePictureWithProgress(viewer, viewer.solver(), name, size, &why)
                               : viewer.solver().saveImage(name, size, &why));
    viewer.endGLWork();
    if (!saved && why == "cancelled") {
        emit viewer.outcomeReported("Save as Png cancelled: " + QFileInfo(name).fileName()
                                    + " is unchanged");
        return;
    }
    if (!saved) {
        const QString message = QString("Could not save the picture to %1: %2").arg(name, why);
        std::cerr << message.toStdString() << "\n";
        viewer.reportFailure("Save as Png", message);
        return;
    }
    emit viewer.outcomeReported("Saved " + QFileInfo(name).fileName());
}

void ExportCommands::exportPdf()
{
    const QString name = askSaveFileName(viewer, FileKind::Pdf, "Export PDF", "PDF (*.pdf)", "pdf");
    if (name.isEmpty() || !viewer.beginGLWork())
        return;
    QString why = renderingProblem(viewer.solver());
    PdfReport report;
    if (why.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        writePdf(viewer.curves(), viewer.solver(), PdfOptions{}, name, &why, &report);
        QApplication::restoreOverrideCursor();
    }
    viewer.endGLWork();
    // The PDF's solve used the renderer's images: the view's picture is made again.
    viewer.refreshPictureAfresh();
    if (!why.isEmpty()) {
        const QString message = QString("Could not export the PDF to %1: %2").arg(name, why);
        std::cerr << message.toStdString() << "\n";
        viewer.reportFailure("Export PDF", message);
        return;
    }
    emit viewer.outcomeReported(QString("Exported %1 (%2 KB)")
                                    .arg(QFileInfo(name).fileName())
                                    .arg((report.bytes + 1023) / 1024));
}

void ExportCommands::interpolate()
{
    viewer.dialogs().setStartFolder(lastFolder(FileKind::Drawing));
    const QStringList files =
        viewer.dialogs().openFileNames(&viewer, "Select xml files", "Vectorized splines (*.xml)");
    if (!files.isEmpty())
        rememberFolderOf(files.front(), FileKind::Drawing);
    if (files.size() < 2)
        return;
    KeyframeOptions options;
    if (!viewer.dialogs().askKeyframeOptions(&viewer, options))
        return;
    // Frames of an earlier export would be overwritten: asked once for the whole series.
    const QString firstFrame =
        QDir(QDir::cleanPath(options.folder)).filePath(QString(kFrameBaseName) + "0.png");
    if (QFileInfo::exists(firstFrame) && !viewer.dialogs().askReplaceFile(&viewer, firstFrame))
        return;
    if (!viewer.beginGLWork())
        return;
    const QString problem = renderingProblem(viewer.solver());
    if (problem.isEmpty())
        exportFrames(files, options);
    viewer.endGLWork();
    if (!problem.isEmpty()) {
        std::cerr << "No frame was written: " << problem.toStdString() << "\n";
        viewer.reportFailure("Keyframes", problem);
    }
    viewer.requestRepaint();
}

void ExportCommands::exportFrames(const QStringList& files, const KeyframeOptions& options)
{
    // Frames are rendered at the initial view, whatever the user's view is.
    viewer.solver().setView(View());
    viewer.settings().display.exportingFrames = true;

    // Application-modal: nothing can change the drawing meanwhile, but both windows repaint.
    QProgressDialog progress("Exporting keyframes...", "Cancel", 0, 1, &viewer);
    progress.setWindowTitle("Keyframing");
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setValue(0);
    const FrameProgress showProgress = [&](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(QString("Frame %1 of %2").arg(done).arg(total));
        progress.setValue(done);
        // The viewer shows the frame just made; both windows take their paint events.
        viewer.update();
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    // The export renders and solves the whole canvas itself: a full update before it would
    // be thrown away. Repaints between frames may leave another context current.
    const FrameWriter writeFrame = [this](const CurveSet& frame, const QString& path) {
        viewer.makeCurrent();
        viewer.solver().setCurveSet(frame);
        return viewer.solver().saveImage(path);
    };
    const QString folder = QDir::cleanPath(options.folder);
    const KeyframeExportReport report =
        exportKeyframes(files, folder + "/" + kFrameBaseName, options.framesPerPair, writeFrame,
                        showProgress, std::cout, std::cerr);
    progress.close();

    viewer.makeCurrent();
    viewer.settings().display.exportingFrames = false;
    viewer.solver().setCurveSet(viewer.curves());
    viewer.solver().setView(viewer.currentView());
    viewer.refreshPictureAfresh();
    reportExport(report, folder + "/");
}

void ExportCommands::reportExport(const KeyframeExportReport& report, const QString& folder)
{
    if (report.folderMissing) {
        viewer.reportFailure(
            "Keyframes",
            QString("Could not create the folder %1: no frame was written").arg(folder));
        return;
    }
    if (!report.mismatch.isEmpty()) {
        viewer.reportFailure("Keyframes", "No frame was written: " + report.mismatch);
        return;
    }
    if (!report.failedFrames.isEmpty()) {
        viewer.reportFailure("Keyframes", QString("Could not save %1 of %2 frames to %3")
                                              .arg(report.failedFrames.size())
                                              .arg(report.framesAttempted)
                                              .arg(folder));
        return;
    }
    const QString written = QString("%1 frames to %2").arg(report.framesWritten()).arg(folder);
    const QString text =
        report.cancelled ? "Stopped after exporting " + written : "Exported " + written;
    emit viewer.outcomeReported(text);
    viewer.dialogs().showInformation(&viewer, "Keyframes", text);
}
