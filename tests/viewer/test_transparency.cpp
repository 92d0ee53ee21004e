// Opacity in the editor: the colour dialog's alpha channel reaches the colour points, the file
// and the picture; the colour picker takes the picture's opacity (the bitmap's colours opaque);
// the viewer shows transparent parts of the picture over a checkerboard fixed to the window,
// opaque parts exactly as they are. With TINTWEAVE_SCREENSHOTS set to a folder, the editor with
// a drawing of three translucent layers (data/translucent_layers.xml) is saved there.
#include "color_dialog_answer.h"
#include "test_editor_support.h"

#include "curve_set_xml.h"
#include "test_curves.h"

#include <QColorDialog>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using test_support::answerNextColorDialog;

const QColor kOpaqueRed(200, 40, 90);
const QColor kHalfBlue(20, 160, 220, 128);
const QColor kClear(250, 250, 0, 0);

} // namespace

class Transparency : public ScriptedEditorTest {
protected:
    DrawingHistory& history() { return viewer().document().history(); }

    // Two circles, by default on a transparent canvas: opaque red inside the left one, `blue`
    // (by default at half opacity) inside the right one, `outside` around both.
    void drawTwoCircles(const QColor& blue = kHalfBlue, const QColor& outside = kClear)
    {
        viewer().document().recordEdit("Add Circles", [&] {
            doc().addCurve(circleCurve(Point(-0.45, 0.0), 0.3, kOpaqueRed, outside));
            doc().addCurve(circleCurve(Point(0.45, 0.0), 0.3, blue, outside));
        });
    }
    // The checkerboard's grey at pixel (x, y) of a frame (rows from the top): squares of 8 window
    // pixels counted from the window's lower left corner, the lighter where their column and
    // row add up to an even number.
    static int checkerGrey(const QImage& frame, int x, int y)
    {
        const int row = frame.height() - 1 - y;
        return (x / 8 + row / 8) % 2 == 0 ? 204 : 153;
    }
    // The pixels (x, y) of the 33 x 33 block of a frame centred on canvas point `p` for which
    // wrong(x, y) holds.
    template <typename Wrong>
    int count(const Point& p, Wrong wrong)
    {
        const QPoint centre = pixel(p);
        int n = 0;
        for (int y = centre.y() - 16; y <= centre.y() + 16; ++y)
            for (int x = centre.x() - 16; x <= centre.x() + 16; ++x)
                n += wrong(x, y) ? 1 : 0;
        return n;
    }
    // Pixels around `p` whose channels are not within one 8-bit step of `expected`(x, y): the
    // display dithers to the window's 8 bits what the solve gives to 1/255.
    template <typename Expected>
    int offBy(const QImage& frame, const Point& p, Expected expected)
    {
        return count(p, [&](int x, int y) {
            const QColor shown = frame.pixelColor(x, y);
            const std::array<double, 3> e = expected(x, y);
            return std::abs(shown.red() - e[0]) > 1.0 || std::abs(shown.green() - e[1]) > 1.0
                   || std::abs(shown.blue() - e[2]) > 1.0;
        });
    }
    // Pixels around `p` that do not show `colour` over the checkerboard with its opacity: the
    // checkerboard alone for opacity 0.
    int notOverChecker(const QImage& frame, const Point& p, const QColor& colour)
    {
        const double a = colour.alphaF();
        return offBy(frame, p, [&](int x, int y) {
            const double grey = checkerGrey(frame, x, y) * (1.0 - a);
            return std::array<double, 3>{grey + colour.red() * a, grey + colour.green() * a,
                                         grey + colour.blue() * a};
        });
    }
    // Pixels around `p` that do not show the opaque `colour`.
    int notColour(const QImage& frame, const Point& p, const QColor& colour)
    {
        return offBy(frame, p, [&](int, int) {
            return std::array<double, 3>{double(colour.red()), double(colour.green()),
                                         double(colour.blue())};
        });
    }
    // Pixels around `p` that differ from `colour` in any way.
    int notExactly(const QImage& frame, const Point& p, const QColor& colour)
    {
        return count(p, [&](int x, int y) { return frame.pixelColor(x, y) != colour; });
    }
    // The picker's colour at canvas point p.
    QColor pick(const Point& p)
    {
        QTest::mouseClick(panel().buttonPicker, Qt::LeftButton);
        QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, pixel(p));
        return viewer().settings().bucketColor();
    }
};

TEST_F(Transparency, CheckerboardShowsThroughTransparentPartsOnly)
{
    drawTwoCircles();
    QImage shown = frame();
    // Opacity 0 away from the circles: the checkerboard, both greys in 8-pixel squares.
    EXPECT_EQ(notOverChecker(shown, Point(0.0, 0.6), kClear), 0);
    EXPECT_EQ(notOverChecker(shown, Point(-0.8, -0.7), kClear), 0);
    // Opacity 255 inside the red circle: exactly the picture; 128 inside the blue one: the blue
    // over the checkerboard.
    EXPECT_EQ(notExactly(shown, Point(-0.45, 0.0), kOpaqueRed), 0);
    EXPECT_EQ(notOverChecker(shown, Point(0.45, 0.0), kHalfBlue), 0);

    // The squares keep their size on screen whatever the zoom.
    viewer().setView(View{2.0, Point(0.0, 0.0)});
    shown = frame();
    EXPECT_EQ(notOverChecker(shown, Point(0.0, 0.4), kClear), 0);
    EXPECT_EQ(notExactly(shown, Point(-0.45, 0.0), kOpaqueRed), 0);
}

TEST_F(Transparency, AnOpaqueDrawingShowsNoCheckerboard)
{
    // An empty drawing shows the window's mid grey, dithered.
    const QImage empty = frame();
    EXPECT_EQ(notColour(empty, Point(0.0, 0.0), QColor(127, 127, 127)), 0);
    const QColor blue(20, 160, 220), green(60, 120, 30);
    drawTwoCircles(blue, green);
    const QImage shown = frame();
    EXPECT_EQ(notColour(shown, Point(0.0, 0.6), green), 0);
    EXPECT_EQ(notColour(shown, Point(-0.8, -0.7), green), 0);
    EXPECT_EQ(notExactly(shown, Point(0.45, 0.0), blue), 0);
}

TEST_F(Transparency, PickerTakesThePicturesOpacityAndTheBitmapsColourOpaque)
{
    drawTwoCircles();
    frame();
    // The colour and opacity solved to 1/255, truncated to 8 bits: within one step.
    const QColor red = pick(Point(-0.45, 0.0));
    EXPECT_EQ(red.alpha(), 255);
    EXPECT_NEAR(red.red(), kOpaqueRed.red(), 1);
    EXPECT_NEAR(red.green(), kOpaqueRed.green(), 1);
    EXPECT_NEAR(red.blue(), kOpaqueRed.blue(), 1);
    const QColor half = pick(Point(0.45, 0.0));
    EXPECT_NEAR(half.alpha(), kHalfBlue.alpha(), 1);
    EXPECT_NEAR(half.red(), kHalfBlue.red(), 1);
    EXPECT_NEAR(half.green(), kHalfBlue.green(), 1);
    EXPECT_NEAR(half.blue(), kHalfBlue.blue(), 1);
    EXPECT_EQ(pick(Point(0.0, 0.6)).alpha(), 0);
    const QColor swatch = swatchColor(panel().buttonBucketColor);
    EXPECT_TRUE(swatch == QColor(204, 204, 204) || swatch == QColor(153, 153, 153))
        << "a transparent bucket colour shows the checkerboard on its swatch";

    // While the bitmap is shown it is what the picker reads, opaque as the viewer shows it.
    QImage bitmap(kCanvasSize, kCanvasSize, QImage::Format_ARGB32);
    bitmap.fill(QColor(10, 20, 30, 60));
    ASSERT_TRUE(bitmap.save(path("translucent.png")));
    dialogs->openName = path("translucent.png");
    panel().actionLoad_Bitmap->trigger();
    ASSERT_TRUE(viewer().showsBackgroundImage());
    EXPECT_EQ(pick(Point(0.45, 0.0)), QColor(10, 20, 30, 255));
}

TEST_F(Transparency, DialogOpacityReachesColourPointsFileAndPicture)
{
    // The panel's left colour, with its opacity, goes to the next stroke's left side.
    answerNextColorDialog(QColor(90, 180, 60, 90));
    QTest::mouseClick(panel().buttonLeftColor, Qt::LeftButton);
    EXPECT_EQ(doc().current_left_color, QColor(90, 180, 60, 90));
    drawStroke(0.0);
    ASSERT_EQ(doc().nb_curves, 1);
    const Curve& stroke = doc().curve(0);
    for (const QColor& c : stroke.left_colors)
        EXPECT_EQ(c, QColor(90, 180, 60, 90));
    EXPECT_TRUE(writeCurveSetXml(doc()).contains("A=\"90\""));
    // Beside the curve, within its constraint strip, the picture is its left colour.
    frame();
    const QColor left = pick(stroke.pointAt(0.5, 0) + stroke.normalAt(0.5, 0) * (3.0 / 256));
    EXPECT_NEAR(left.alpha(), 90, 1);

    // A right colour point through its own dialog: one step, undone to opaque.
    doc().setCurrentCurve(0);
    QTest::mouseClick(panel().buttonModifAttrib, Qt::LeftButton);
    frame();
    const double offset = 4 * curveRenderingSettings().handleSize * 0.5;
    const Point end = stroke.pointAt(0.0, 0) - stroke.normalAt(0.0, 0) * offset;
    answerNextColorDialog(QColor(200, 10, 10, 40));
    QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, pixel(end));
    ASSERT_EQ(doc().curve(0).right_colors[0], QColor(200, 10, 10, 40));
    EXPECT_EQ(history().undoText(), "Right Color Point");
    EXPECT_TRUE(writeCurveSetXml(doc()).contains("A=\"40\""));
    undo();
    EXPECT_EQ(doc().curve(0).right_colors[0].alpha(), 255);
}

TEST_F(Transparency, TranslucentLayersShowOverTheCheckerboard)
{
    ASSERT_TRUE(viewer().document().openDrawing(QString(TINTWEAVE_TEST_DATA_DIR)
                                                + "/translucent_layers.xml"));
    ASSERT_EQ(doc().layerCount(), 3);
    QTest::mouseClick(panel().buttonMovePoint, Qt::LeftButton);
    const QImage shown = frame();
    // No layer reaches the corner; the sun's core is opaque over the sky.
    EXPECT_EQ(notOverChecker(shown, Point(-0.85, 0.85), kClear), 0);
    EXPECT_EQ(notColour(shown, Point(0.3, 0.35), QColor(255, 225, 90)), 0);

    // The editor with the drawing and the layers list, for the documentation.
    const QString folder = qEnvironmentVariable("TINTWEAVE_SCREENSHOTS");
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    const QImage side = panel().grab().toImage();
    QImage both(side.width() + 8 + shown.width(), std::max(side.height(), shown.height()),
                QImage::Format_RGB32);
    both.fill(QColor(60, 60, 60));
    QPainter painter(&both);
    painter.drawImage(0, 0, side);
    painter.drawImage(side.width() + 8, 0, shown);
    painter.end();
    EXPECT_TRUE(both.save(QDir(folder).filePath("editor_three_layers.png")));
}
