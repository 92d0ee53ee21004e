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

ExampleBitmapCommands::ExampleBitmapCommands(Viewer& shownIn) : viewer(shownIn) {}

void ExampleBitmapCommands::loadExampleImg()
{
    const QString name =
        askOpenFileName(viewer, "Select an image file", "Images (*.jpg *.png *.bmp)");
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

void ExampleBitmapCommands::sampleFromExample()
{
    CurveSet& curves = viewer.curves();
    if (!curves.hasCurrentCurve()) {
        emit viewer.outcomeReported("No colors to read: select a curve");
        return;
    }
    if (example.isNull()) {
        emit viewer.outcomeReported("No colors to read: load a bitmap first");
        return;
    }
    viewer.document().recordEdit("Sample Colors", [&] { curves.sampleFromExample(example); });
    emit viewer.outcomeReported("Read the colors of 1 curve from the bitmap");
}

void ExampleBitmapCommands::iterSnake()
{
    CurveSet& curves = viewer.curves();
    if (!curves.hasCurrentCurve()) {
        emit viewer.outcomeReported("Nothing to snap: select a curve");
        return;
    }
    if (contour.isNull()) {
        emit viewer.outcomeReported("Nothing to snap: load a bitmap first");
        return;
    }
    viewer.document().recordEdit("Snap to Contours", [&] { curves.snakeStep(contour, snapReach); });
    emit viewer.outcomeReported(QString("Snapped 1 curve (reach %1 px)").arg(snapReach));
}

void ExampleBitmapCommands::setSnapReach(int pixels)
{
    snapReach = std::clamp(pixels, kMinSnapReach, kMaxSnapReach);
}
