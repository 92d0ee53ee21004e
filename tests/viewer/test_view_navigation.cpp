// Steering the view through the real viewer: the wheel zooms about the cursor, Ctrl+0 and Home
// show the whole canvas, + and - zoom, and a resized window keeps the canvas square. The
// oracle is the frame itself: where a mark of the example bitmap, or a drawn circle, lands.
#include "test_mouse_support.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <cmath>

namespace {

// Pixels of `frame` for which `inside` holds: their bounding box and centroid.
struct Blob {
    int count = 0;
    QRect box;
    QPointF centre;
};

template <typename Inside>
Blob findBlob(const QImage& frame, Inside inside)
{
    Blob blob;
    double sx = 0.0, sy = 0.0;
    int x0 = frame.width(), y0 = frame.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (!inside(frame.pixelColor(x, y)))
                continue;
            ++blob.count;
            sx += x + 0.5;
            sy += y + 0.5;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    if (blob.count > 0) {
        blob.box = QRect(QPoint(x0, y0), QPoint(x1, y1));
        blob.centre = QPointF(sx / blob.count, sy / blob.count);
    }
    return blob;
}

bool isDark(const QColor& c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }

// A circle of radius r about the origin: four cubic segments (control distance 0.5523 r).
Curve circle(double r, const QColor& left, const QColor& right)
{
    const double k = 0.5523 * r;
    return makeCurve({Point(r, 0), Point(r, k), Point(k, r), Point(0, r), Point(-k, r),
                      Point(-r, k), Point(-r, 0), Point(-r, -k), Point(-k, -r), Point(0, -r),
                      Point(k, -r), Point(r, -k), Point(r, 0)},
                     left, right);
}

} // namespace

class ViewNavigation : public EditingViewer {
protected:
    // Loads a white 512 x 512 example bitmap with a black 16 x 16 square whose top left
    // pixel is (x, y), and shows it.
    void showMarkedBitmap(int x, int y)
    {
        QImage bitmap(512, 512, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        QPainter(&bitmap).fillRect(x, y, 16, 16, Qt::black);
        ASSERT_TRUE(folder.isValid());
        const QString name = folder.filePath("mark.png");
        ASSERT_TRUE(bitmap.save(name));
        dialogs->openName = name;
        commands->bitmap.loadExampleImg();
        ASSERT_TRUE(commands->bitmap.isExampleImgShown());
        viewer->settings().showSplines(false);
    }
    void wheel(const QPoint& pos, int delta)
    {
        QWheelEvent event(QPointF(pos), QPointF(viewer->mapToGlobal(pos)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer.get(), &event);
    }
    Blob mark() { return findBlob(viewer->grabFramebuffer(), isDark); }

    QTemporaryDir folder;
};

TEST_F(ViewNavigation, WheelKeepsTheCanvasPointUnderTheCursor)
{
    showMarkedBitmap(300, 200);
    const Blob start = mark();
    ASSERT_EQ(start.count, 16 * 16);
    const QPoint cursor = start.centre.toPoint(); // (308, 208)

    wheel(cursor, 120);
    EXPECT_NEAR(viewer->currentView().zoom, std::sqrt(2.0), 1e-12);
    const Blob in = mark();
    // The square grew by the zoom and stayed under the cursor.
    EXPECT_NEAR(in.box.width(), 16 * std::sqrt(2.0), 1.5);
    EXPECT_NEAR(in.centre.x(), cursor.x(), 1.0);
    EXPECT_NEAR(in.centre.y(), cursor.y(), 1.0);

    // Two more steps elsewhere: the canvas point under that cursor stays too.
    const QPoint other(250, 300);
    const QPointF before =
        viewer->placement().widgetPosition(viewer->placement().modelPosition(other.x(), other.y()));
    wheel(other, 240);
    EXPECT_NEAR(viewer->currentView().zoom, 2.0 * std::sqrt(2.0), 1e-12);
    const Point grabbed = viewer->placement().modelPosition(other.x(), other.y());
    const QPointF after = viewer->placement().widgetPosition(grabbed);
    EXPECT_NEAR(after.x(), before.x(), 1.0);
    EXPECT_NEAR(after.y(), before.y(), 1.0);
    // The square moved away from `other` by the zoom ratio of 2.
    const Blob far = mark();
    EXPECT_NEAR(far.centre.x(), other.x() + 2.0 * (in.centre.x() - other.x()), 1.5);
    EXPECT_NEAR(far.centre.y(), other.y() + 2.0 * (in.centre.y() - other.y()), 1.5);

    // Back out at the first cursor position: zoom 1 does not bring pan 0, but the square is
    // its own size again.
    wheel(other, -240);
    wheel(cursor, -120);
    EXPECT_NEAR(viewer->currentView().zoom, 1.0, 1e-12);
    EXPECT_EQ(mark().box.size(), QSize(16, 16));
    // Handles follow 1 / zoom.
    EXPECT_NEAR(curveRenderingSettings().handleSize, 0.03, 1e-12);
}

TEST_F(ViewNavigation, CtrlZeroAndHomeShowTheWholeCanvas)
{
    showMarkedBitmap(300, 200);
    viewer->changeManipMode(ModePan);
    for (int k : {Qt::Key_0, Qt::Key_Home}) {
        wheel(QPoint(50, 60), 360);
        press(QPoint(100, 100));
        moveTo(QPoint(160, 130));
        release(QPoint(160, 130));
        ASSERT_NE(viewer->currentView().zoom, 1.0);
        ASSERT_NE(viewer->currentView().pan.x, 0.0);
        if (k == Qt::Key_0)
            key(Qt::Key_0, Qt::ControlModifier);
        else
            key(Qt::Key_Home);
        EXPECT_EQ(viewer->currentView().zoom, 1.0);
        EXPECT_EQ(viewer->currentView().pan.x, 0.0);
        EXPECT_EQ(viewer->currentView().pan.y, 0.0);
        EXPECT_EQ(viewer->solver().currentView().zoom, 1.0);
        EXPECT_NEAR(curveRenderingSettings().handleSize, 0.03, 1e-12);
        const Blob whole = mark();
        EXPECT_EQ(whole.box, QRect(300, 200, 16, 16));
    }
}

TEST_F(ViewNavigation, PlusAndMinusZoomAboutTheCentre)
{
    key(Qt::Key_Plus);
    EXPECT_EQ(viewer->currentView().zoom, 2.0);
    key(Qt::Key_Equal); // + without Shift
    EXPECT_EQ(viewer->currentView().zoom, 4.0);
    EXPECT_NEAR(curveRenderingSettings().handleSize, 0.0075, 1e-12);
    key(Qt::Key_Minus);
    key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(viewer->currentView().zoom, 1.0);
    EXPECT_EQ(viewer->currentView().pan.x, 0.0);
    EXPECT_EQ(viewer->solver().currentView().zoom, 1.0);
}

TEST_F(ViewNavigation, AResizedWindowKeepsACircleRound)
{
    // A red disc on blue, outlined by the drawn curve.
    addCurve(circle(0.5, QColor(230, 20, 20), QColor(20, 20, 230)));
    resolve();
    const auto reddish = [](const QColor& c) { return c.red() > c.blue() + 80; };
    const auto bluish = [](const QColor& c) { return c.blue() > c.red() + 80; };
    const Blob square512 = findBlob(viewer->grabFramebuffer(), isDark);
    ASSERT_GT(square512.count, 100);

    for (const QSize size : {QSize(800, 500), QSize(400, 700)}) {
        viewer->resize(size);
        QTest::qWait(50);
        ASSERT_EQ(viewer->size(), size);
        const QImage frame = viewer->grabFramebuffer();
        ASSERT_EQ(frame.size(), size);
        const int side = std::min(size.width(), size.height());
        // The outline: as wide as high, half the square's side across, centred.
        const Blob outline = findBlob(frame, isDark);
        EXPECT_NEAR(outline.box.width(), outline.box.height(), 2) << size.width();
        EXPECT_NEAR(outline.box.width(), side * 0.5, 3) << size.width();
        EXPECT_NEAR(outline.centre.x(), size.width() / 2.0, 1.5);
        EXPECT_NEAR(outline.centre.y(), size.height() / 2.0, 1.5);
        // The disc inside is round too, whichever side of the curve is inside.
        const Blob red = findBlob(frame, reddish);
        const Blob blue = findBlob(frame, bluish);
        const Blob& disc = red.box.width() < blue.box.width() ? red : blue;
        EXPECT_NEAR(disc.box.width(), disc.box.height(), 2);
        // Outside the canvas square the window is a grey border.
        const QColor border = size.width() > size.height() ? frame.pixelColor(5, size.height() / 2)
                                                           : frame.pixelColor(size.width() / 2, 5);
        EXPECT_NEAR(border.red(), 127, 2);
        EXPECT_EQ(border.red(), border.blue());
        // The mouse mapping agrees with what is drawn: the circle's rightmost point.
        const Point right =
            viewer->placement().modelPosition(outline.box.right() + 0.5, outline.centre.y());
        EXPECT_NEAR(right.x, 0.5, 2.0 / side * 2);
        EXPECT_NEAR(right.y, 0.0, 2.0 / side * 2);
    }
}

TEST_F(ViewNavigation, AResizedWindowDrawsAndPicksInItsCanvasSquare)
{
    // 800 x 500: the canvas is the 500 x 500 square from x = 150, grey on either side.
    viewer->resize(800, 500);
    QTest::qWait(50);
    ASSERT_EQ(viewer->placement().canvasRect(), QRect(150, 0, 500, 500));
    showMarkedBitmap(300, 200);
    QImage frame = viewer->grabFramebuffer();
    const Blob square = findBlob(frame, isDark);
    const double scale = 500.0 / 512.0;
    EXPECT_NEAR(square.centre.x(), 150 + 308 * scale, 1.0);
    EXPECT_NEAR(square.centre.y(), 208 * scale, 1.0);
    EXPECT_NEAR(square.box.width(), 16 * scale, 1.5);
    for (const QPoint& border : {QPoint(5, 250), QPoint(145, 10), QPoint(655, 490)}) {
        EXPECT_NEAR(frame.pixelColor(border).red(), 127, 2) << border.x();
        EXPECT_EQ(frame.pixelColor(border).red(), frame.pixelColor(border).blue());
    }
    EXPECT_EQ(frame.pixelColor(160, 10), QColor(Qt::white));

    // The stroke being drawn runs through the mouse positions (the rows above the square).
    viewer->changeManipMode(ModeDrawCatmull);
    press(QPoint(250, 100));
    for (int x = 260; x <= 550; x += 10)
        moveTo(QPoint(x, 100));
    const Blob line = findBlob(viewer->grabFramebuffer().copy(0, 0, 800, 180), isDark);
    release(QPoint(550, 100));
    EXPECT_NEAR(line.box.left(), 250, 1);
    EXPECT_NEAR(line.box.right(), 550, 1);
    EXPECT_NEAR(line.centre.y(), 100.5, 1.0);
    EXPECT_LE(line.box.height(), 2);

    // A scribble mark is centred on the mouse, markerSize (0.06) of the canvas square across.
    viewer->changeManipMode(ModeSelectMulti);
    moveTo(QPoint(400, 300), Qt::NoButton, Qt::ControlModifier);
    ASSERT_EQ(viewer->tools().selection.scribblePoints().size(), 1);
    const auto orange = [](const QColor& c) {
        return c.red() > 240 && c.green() < 235 && c.blue() < 205 && c.blue() > 150;
    };
    const Blob mark = findBlob(viewer->grabFramebuffer(), orange);
    release(QPoint(400, 300), Qt::NoButton);
    EXPECT_NEAR(mark.centre.x(), 400, 1.0);
    EXPECT_NEAR(mark.centre.y(), 300, 1.0);
    EXPECT_NEAR(mark.box.width(), 0.06 * 250, 1.5);

    // A click picks what the canvas square shows there: a vertical curve at x = 0.6 is at
    // widget column 550, not where a canvas filling the window would put it (column 640).
    const int vertical = addCurve(makeLine(Point(0.6, -0.5), Point(0.6, 0.5)));
    viewer->changeManipMode(ModeMovePoint);
    click(QPoint(640, 250));
    EXPECT_EQ(doc().current_curve, -1);
    click(viewer->placement().widgetPosition(Point(0.6, 0.0)).toPoint());
    EXPECT_EQ(doc().current_curve, vertical);
}
