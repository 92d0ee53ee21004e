#include "example_bitmap_commands.h"

#include "contour_image.h"
#include "example_bitmap.h"
#include "file_questions.h"
#include "shared_constants.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QFileInfo>

#include <algorithm>
#include <iostream>

namespace {

// "1 curve", "2 curves".
QString curveCount(int n) { return QString("%1 curve%2").arg(n).arg(n == 1 ? "" : "s"); }

} // namespace

ExampleBitmapCommands::ExampleBitmapCommands(Viewer& shownIn) : viewer(shownIn) {}

void ExampleBitmapCommands::loadExampleImg()
{
    const QString name = askOpenFileName(viewer, FileKind::Bitmap, "Select an image file",
                                         "Images (*.jpg *.png *.bmp)");
    if (name.isEmpty())
        return;
    QString why;
    const QImage read = readExampleBitmap(name, kCanvasSize, why);
    if (read.isNull()) {
        // Keep the example image, its contour and its texture as they were.
        std::cerr << "Cannot read the image file " << name.toStdString() << " ("
                  << why.toStdString() << "): the example image is unchanged\n";
        viewer.reportFailure("Load Bitmap", QString("Could not read the bitmap %1: %2")
                                                .arg(QFileInfo(name).fileName(), why));
        return;
    }
    example = read;
    contour = computeContourImage(example);
    viewer.setBackgroundImage(example);
    loaded = true;
    showExampleImg(true);
    emit exampleImgShownChanged(true);
    emit viewer.outcomeReported("Loaded bitmap " + QFileInfo(name).fileName());
}

void ExampleBitmapCommands::showExampleImg(bool show)
{
    shown = show;
    viewer.settings().showBackgroundImage(shown && loaded);
}

// The curves Read colors and Snap work on: the selected ones and the current one.
bool ExampleBitmapCommands::hasCurvesToWorkOn() const
{
    const CurveSet& curves = viewer.curves();
    return curves.hasCurrentCurve() || !curves.selection.isEmpty();
}

void ExampleBitmapCommands::sampleFromExample()
{
    // The first reason that stands in the way is named: without a bitmap, selecting will not help.
    if (example.isNull()) {
        emit viewer.outcomeReported("No colors to read: load a bitmap first");
        return;
    }
    if (!hasCurvesToWorkOn()) {
        emit viewer.outcomeReported("No colors to read: select a curve");
        return;
    }
    CurveSet& curves = viewer.curves();
    int read = 0;
    viewer.document().recordEdit("Sample Colors",
                                 [&] { read = curves.sampleFromExample(example); });
    emit viewer.outcomeReported(
        QString("Read the colors of %1 from the bitmap").arg(curveCount(read)));
}

void ExampleBitmapCommands::iterSnake()
{
    if (contour.isNull()) {
        emit viewer.outcomeReported("Nothing to snap: load a bitmap first");
        return;
    }
    if (!hasCurvesToWorkOn()) {
        emit viewer.outcomeReported("Nothing to snap: select a curve");
        return;
    }
    CurveSet& curves = viewer.curves();
    int snapped = 0;
    viewer.document().recordEdit("Snap to Contours",
                                 [&] { snapped = curves.snakeStep(contour, snapReach); });
    emit viewer.outcomeReported(
        QString("Snapped %1 (reach %2 px)").arg(curveCount(snapped)).arg(snapReach));
}

void ExampleBitmapCommands::setSnapReach(int pixels)
{
    snapReach = std::clamp(pixels, kMinSnapReach, kMaxSnapReach);
}
