// File commands of the viewer: drawings as XML, the picture as PNG, the example bitmap with its
// contour image, and the keyframe export.
#include "viewer.h"

#include "contour_image.h"
#include "diffusion_solver.h"
#include "example_bitmap.h"
#include "keyframe_export.h"
#include "recent_files.h"
#include "render_readiness.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <iostream>

namespace {

// Pictures above this side take seconds: their export shows its progress and can be cancelled.
constexpr int kQuickPictureSize = 512;

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

QString Viewer::askOpenFileName(const QString& title, const QString& filter)
{
    dialogs().setStartFolder(lastFolder());
    const QString name = dialogs().openFileName(this, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name);
    return name;
}

QString Viewer::askSaveFileName(const QString& title, const QString& filter)
{
    dialogs().setStartFolder(lastFolder());
    const QString name = dialogs().saveFileName(this, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name);
    return name;
}

void Viewer::savePng()
{
    QString name = askSaveFileName("Choose a filename to save under", "Png (*.png)");
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += ".png";
    int size = pictureSize;
    if (!dialogs().askPictureSize(this, size, DiffusionSolver::kMinPictureSize,
                                  DiffusionSolver::kMaxPictureSize)
        || !beginGLWork())
        return;
    pictureSize = size;
    // A picture made without all its programs would be wrong (blank): it is refused.
    QString why = renderingProblem(*renderer);
    renderer->setExportEncoding({pngDepth, true});
    const bool saved =
        why.isEmpty()
        && (size > kQuickPictureSize ? savePictureWithProgress(*this, *renderer, name, size, &why)
                                     : renderer->saveImage(name, size, &why));
    endGLWork();
    if (!saved && why == "cancelled") {
        emit outcomeReported("Save as Png cancelled: " + QFileInfo(name).fileName()
                             + " is unchanged");
        return;
    }
    if (!saved) {
        const QString message = QString("Could not save the picture to %1: %2").arg(name, why);
        std::cerr << message.toStdString() << "\n";
        reportFailure("Save as Png", message);
        return;
    }
    emit outcomeReported("Saved " + QFileInfo(name).fileName());
}

void Viewer::drawingSettings()
{
    doc.finishGesture();
    ColourSpace space = curveSet.colour_space;
    if (!dialogs().askColourSpace(this, space) || space == curveSet.colour_space)
        return;
    doc.recordEdit("Colour Space", [&] { curveSet.colour_space = space; });
    fullUpdate();
}

void Viewer::loadExampleImg()
{
    const QString name = askOpenFileName("Select an image file", "Images (*.jpg *.png *.bmp)");
    if (name.isEmpty())
        return;
    QString why;
    const QImage loaded = readExampleBitmap(name, kCanvasSize, why);
    if (loaded.isNull()) {
        // Keep the example image, its contour and its texture as they were.
        std::cerr << "Cannot read the image file " << name.toStdString() << " ("
                  << why.toStdString() << "): the example image is unchanged\n";
        reportFailure("Load Bitmap", QString("Could not read the bitmap %1: %2")
                                         .arg(QFileInfo(name).fileName(), why));
        return;
    }
    exampleImg = loaded;
    contourImg = computeContourImage(exampleImg);
    uploadExampleTexture();
    exampleImgLoaded = true;
    exampleImgShown = true;
    requestRepaint();
    emit outcomeReported("Loaded bitmap " + QFileInfo(name).fileName());
}

void Viewer::uploadExampleTexture()
{
    if (!beginGLWork())
        return; // no context yet: there is nothing to draw the texture with either
    exampleTexture.createFromImage(exampleImg);
    endGLWork();
}

void Viewer::interpolate()
{
    dialogs().setStartFolder(lastFolder());
    const QStringList files =
        dialogs().openFileNames(this, "Select xml files", "Vectorized splines (*.xml)");
    if (!files.isEmpty())
        rememberFolderOf(files.front());
    if (files.size() < 2)
        return;
    KeyframeOptions options;
    if (!dialogs().askKeyframeOptions(this, options))
        return;
    if (!beginGLWork())
        return;
    const QString problem = renderingProblem(*renderer);
    if (problem.isEmpty())
        exportFrames(files, options);
    endGLWork();
    if (!problem.isEmpty()) {
        std::cerr << "No frame was written: " << problem.toStdString() << "\n";
        reportFailure("Keyframes", problem);
    }
    requestRepaint();
}

void Viewer::exportFrames(const QStringList& files, const KeyframeOptions& options)
{
    // Frames are rendered at the initial view, whatever the user's view is.
    renderer->setView(View());
    exportingFrames = true;

    // Application-modal: nothing can change the drawing meanwhile, but both windows repaint.
    QProgressDialog progress("Exporting keyframes...", "Cancel", 0, 1, this);
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
        update();
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    // The export renders and solves the whole canvas itself: a full update before it would
    // be thrown away. Repaints between frames may leave another context current.
    const FrameWriter writeFrame = [this](const CurveSet& frame, const QString& path) {
        makeCurrent();
        renderer->setCurveSet(frame);
        return renderer->saveImage(path);
    };
    const QString folder = QDir::cleanPath(options.folder);
    const KeyframeExportReport report =
        exportKeyframes(files, folder + "/" + kFrameBaseName, options.framesPerPair, writeFrame,
                        showProgress, std::cout, std::cerr);
    progress.close();

    makeCurrent();
    exportingFrames = false;
    renderer->setCurveSet(curveSet);
    handViewToRenderer();
    renderer->fullUpdate();
    reportExport(report, folder + "/");
}

void Viewer::reportExport(const KeyframeExportReport& report, const QString& folder)
{
    if (report.folderMissing) {
        reportFailure("Keyframes",
                      QString("Could not create the folder %1: no frame was written").arg(folder));
        return;
    }
    if (!report.mismatch.isEmpty()) {
        reportFailure("Keyframes", "No frame was written: " + report.mismatch);
        return;
    }
    if (!report.failedFrames.isEmpty()) {
        reportFailure("Keyframes", QString("Could not save %1 of %2 frames to %3")
                                       .arg(report.failedFrames.size())
                                       .arg(report.framesAttempted)
                                       .arg(folder));
        return;
    }
    const QString written = QString("%1 frames to %2").arg(report.framesWritten()).arg(folder);
    const QString text =
        report.cancelled ? "Stopped after exporting " + written : "Exported " + written;
    emit outcomeReported(text);
    dialogs().showInformation(this, "Keyframes", text);
}
