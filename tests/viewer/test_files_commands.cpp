// File commands of the real viewer: dialog titles and filters, XML round trip, PNG export and
// the example bitmap with its contour image and texture.
#include "test_mouse_support.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

Curve fillingCurve()
{
    return makeLine(Point(-0.3, -0.4), Point(0.3, 0.5), QColor(200, 40, 92), QColor(200, 40, 92));
}

bool sameColor(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class FileCommands : public EditingViewer {
protected:
    QString path(const char* name) const { return folder.filePath(name); }
    // Writes a uniformly coloured bitmap of the given size.
    QString writeBitmap(const char* name, QRgb colour, int w = 64, int h = 32)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(path(name)));
        return path(name);
    }
    QTemporaryDir folder;
};

TEST_F(FileCommands, CancelledDialogsAskTheRightQuestionsAndChangeNothing)
{
    addCurve(fillingCurve());
    viewer->navigation().zoomIn();
    viewer->document().saveAs();
    commands->exports.savePng();
    commands->bitmap.loadExampleImg();
    commands->exports.interpolate();
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_FALSE(commands->bitmap.isExampleImgLoaded());
    EXPECT_EQ(viewer->currentView().zoom, 2.0);
    // A cancelled load keeps the drawing but still resets the view.
    viewer->document().open();
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(viewer->currentView().zoom, 1.0);

    EXPECT_EQ(dialogs->titles,
              QStringList({"Choose a filename to save under", "Choose a filename to save under",
                           "Select an image file", "Select xml files", "Select an xml file"}));
    EXPECT_EQ(dialogs->filters,
              QStringList({"XML (*.xml)", "Png (*.png)", "Images (*.jpg *.png *.bmp)",
                           "Vectorized splines (*.xml)", "Vectorized splines (*.xml)"}));
}

TEST_F(FileCommands, SavedDrawingLoadsBack)
{
    addCurve(fillingCurve());
    addCurve(makeCurve({Point(-0.8, 0.7), Point(-0.2, 0.9), Point(0.2, 0.1), Point(0.7, 0.6),
                        Point(0.8, 0.2), Point(0.6, -0.1), Point(0.4, -0.7)},
                       QColor(10, 20, 30), QColor(250, 240, 230), 3));
    dialogs->saveName = path("drawing.xml");
    viewer->document().saveAs();
    const CurveSet saved = doc();
    key(Qt::Key_R);
    ASSERT_EQ(doc().nb_curves, 0);

    dialogs->openName = path("drawing.xml");
    viewer->document().open();
    ASSERT_EQ(doc().nb_curves, 2);
    for (int c = 0; c < 2; ++c) {
        const Curve& loaded = doc().curve(c);
        ASSERT_EQ(loaded.nb_control_points, saved.curve(c).nb_control_points);
        for (int i = 0; i < loaded.nb_control_points; ++i)
            EXPECT_TRUE(near(loaded.controlPoint(i), saved.curve(c).controlPoint(i), 1e-4));
        EXPECT_EQ(loaded.left_colors, saved.curve(c).left_colors);
        EXPECT_EQ(loaded.right_colors, saved.curve(c).right_colors);
        EXPECT_EQ(loaded.blur_values, saved.curve(c).blur_values);
    }
}

TEST_F(FileCommands, LoadedDrawingSizesTheWindow)
{
    addCurve(fillingCurve());
    doc().image_width = 400;
    doc().image_height = 300;
    dialogs->saveName = path("wide.xml");
    viewer->document().saveAs();
    dialogs->openName = path("wide.xml");
    viewer->document().open();
    EXPECT_EQ(viewer->size(), QSize(400, 300));
}

TEST_F(FileCommands, SavedPictureShowsEachSidesColour)
{
    // From (-0.3, -0.4) to (0.3, 0.5): the left side is up and to the left.
    const QColor left(200, 40, 92);
    const QColor right(24, 160, 220);
    addCurve(makeLine(Point(-0.3, -0.4), Point(0.3, 0.5), left, right));
    viewer->navigation().zoomIn(); // the export renders the whole canvas whatever the view
    dialogs->saveName = path("picture.png");
    commands->exports.savePng();
    const QImage picture(path("picture.png"));
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(picture.size(), QSize(512, 512));
    // Three pixels beside the middle of the curve, (256, 243) in the image, lie in its strip.
    const QColor leftSeen = picture.pixelColor(253, 241);
    const QColor rightSeen = picture.pixelColor(258, 245);
    EXPECT_TRUE(sameColor(leftSeen, left, 4)) << leftSeen.name().toStdString();
    EXPECT_TRUE(sameColor(rightSeen, right, 4)) << rightSeen.name().toStdString();
}

TEST_F(FileCommands, SaveAsPngWritesThePictureAtTheSizeAskedFor)
{
    const QColor left(200, 40, 40), right(40, 40, 200);
    addCurve(makeLine(Point(-0.3, -0.4), Point(0.3, 0.5), left, right));
    dialogs->saveName = path("poster.png");
    dialogs->pictureSizeAnswer = 1024;
    commands->exports.savePng();
    EXPECT_EQ(dialogs->pictureSizesOffered, QList<int>({512}));
    const QImage poster(path("poster.png"));
    ASSERT_EQ(poster.size(), QSize(1024, 1024));
    // The same canvas points as at 512, twice the pixel coordinates.
    const QColor leftSeen = poster.pixelColor(2 * 253, 2 * 241);
    const QColor rightSeen = poster.pixelColor(2 * 258, 2 * 245);
    EXPECT_TRUE(sameColor(leftSeen, left, 4)) << leftSeen.name().toStdString();
    EXPECT_TRUE(sameColor(rightSeen, right, 4)) << rightSeen.name().toStdString();

    // The next export offers the size chosen last; cancelling the size writes nothing.
    dialogs->saveName = path("cancelled.png");
    dialogs->pictureSizeAnswer = 0;
    commands->exports.savePng();
    EXPECT_EQ(dialogs->pictureSizesOffered, QList<int>({512, 1024}));
    EXPECT_FALSE(QFile::exists(path("cancelled.png")));
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join("\n").toStdString();
}

// A large export shows its progress, keeps the viewer repainting and can be cancelled: the
// file it would have replaced stays as it was.
TEST_F(FileCommands, CancellingALargeExportKeepsTheOldFile)
{
    addCurve(
        makeLine(Point(-0.3, -0.4), Point(0.3, 0.5), QColor(200, 40, 40), QColor(40, 40, 200)));
    QFile old(path("poster.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old picture");
    old.close();
    dialogs->saveName = path("poster.png");
    dialogs->pictureSizeAnswer = 2048;
    QSignalSpy outcome(viewer.get(), &Viewer::outcomeReported);
    QTest::qWait(50); // no repaint left pending from the set-up
    const long framesBefore = viewer->framesDrawn();
    bool progressShown = false;
    long framesAtCancel = -1;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* progress = viewer->findChild<QProgressDialog*>();
        if (progress == nullptr || !progress->isVisible() || progress->wasCanceled())
            return;
        progressShown = true;
        if (progress->value() >= 2) { // the curves are laid out, no channel solved yet
            framesAtCancel = viewer->framesDrawn();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        }
    });
    watcher.start(0);
    commands->exports.savePng();
    watcher.stop();

    EXPECT_TRUE(progressShown);
    EXPECT_GT(framesAtCancel, framesBefore) << "the viewer did not repaint meanwhile";
    QFile kept(path("poster.png"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the old picture"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"poster.png"}));
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join("\n").toStdString();
    ASSERT_EQ(outcome.count(), 1);
    EXPECT_EQ(outcome.at(0).at(0).toString(), "Save as Png cancelled: poster.png is unchanged");
    EXPECT_EQ(viewer->findChild<QProgressDialog*>(), nullptr);
}

TEST_F(FileCommands, PngNameWithoutExtensionGetsOne)
{
    addCurve(fillingCurve());
    dialogs->saveName = path("export1");
    commands->exports.savePng();
    EXPECT_EQ(QImage(path("export1.png")).size(), QSize(512, 512));
    EXPECT_FALSE(QFile::exists(path("export1")));
}

TEST_F(FileCommands, ExampleBitmapIsScaledShownAndHasAContour)
{
    dialogs->openName = writeBitmap("example.png", qRgb(40, 120, 200), 64, 32);
    commands->bitmap.loadExampleImg();
    ASSERT_TRUE(commands->bitmap.isExampleImgLoaded());
    EXPECT_TRUE(commands->bitmap.isExampleImgShown());
    EXPECT_NE(viewer->exampleTextureName(), 0u);
    EXPECT_EQ(commands->bitmap.exampleImage().size(), QSize(512, 512));
    const QImage& contour = commands->bitmap.contourImage();
    ASSERT_EQ(contour.size(), QSize(512, 512));
    EXPECT_EQ(contour.pixel(0, 200), qRgb(0, 0, 0));
    EXPECT_EQ(contour.pixel(511, 511), qRgb(0, 0, 0));
    EXPECT_EQ(contour.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(contour.pixel(300, 510), qRgb(255, 255, 255));

    // The window shows the bitmap instead of the picture; a second bitmap replaces it.
    EXPECT_EQ(viewer->grabFramebuffer().pixelColor(256, 256), QColor(40, 120, 200));
    dialogs->openName = writeBitmap("second.bmp", qRgb(240, 16, 8));
    commands->bitmap.loadExampleImg();
    EXPECT_EQ(viewer->grabFramebuffer().pixelColor(100, 400), QColor(240, 16, 8));
}

TEST_F(FileCommands, UndecodableBitmapKeepsTheCurrentExample)
{
    dialogs->openName = writeBitmap("example.png", qRgb(40, 120, 200));
    commands->bitmap.loadExampleImg();
    const unsigned texture = viewer->exampleTextureName();
    const QImage example = commands->bitmap.exampleImage();
    const QImage contour = commands->bitmap.contourImage();

    QFile broken(path("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG this is not an image");
    broken.close();
    dialogs->openName = path("broken.png");
    commands->bitmap.loadExampleImg();
    EXPECT_EQ(viewer->exampleTextureName(), texture);
    EXPECT_EQ(commands->bitmap.exampleImage(), example);
    EXPECT_EQ(commands->bitmap.contourImage(), contour);
    EXPECT_TRUE(commands->bitmap.isExampleImgLoaded());

    dialogs->openName = path("missing.jpg");
    commands->bitmap.loadExampleImg();
    EXPECT_EQ(commands->bitmap.exampleImage(), example);
}

TEST_F(FileCommands, UndecodableFirstBitmapLoadsNothing)
{
    QFile broken(path("broken.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM garbage");
    broken.close();
    dialogs->openName = path("broken.bmp");
    commands->bitmap.loadExampleImg();
    EXPECT_FALSE(commands->bitmap.isExampleImgLoaded());
    EXPECT_FALSE(commands->bitmap.isExampleImgShown());
    EXPECT_TRUE(commands->bitmap.exampleImage().isNull());
    EXPECT_TRUE(commands->bitmap.contourImage().isNull());
}
