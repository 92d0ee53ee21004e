// The viewer driven through the real control panel and the editor's own wiring: zoom, sliders,
// colour sides, tool buttons, what the frame shows, and the window's life cycle.

#include "test_viewer_core_support.h"

#include "diffusion_solver.h"
#include "curve_set_xml.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QCheckBox>
#include <QSlider>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QColor kReddish(230, 20, 20);
const QColor kBluish(20, 20, 230);
const QColor kBackgroundGrey(128, 128, 128);

// Away from the curve the diffused colour need not equal the curve's colour exactly; the side
// keeps its dominant channel.
bool reddish(const QColor& c) { return c.red() > c.blue() + 80 && c.red() > c.green() + 80; }
bool bluish(const QColor& c) { return c.blue() > c.red() + 40 && c.blue() > c.green() + 40; }

// ---------------------------------------------------------------- zoom

using ViewerZoom = WiredWindows;

TEST_F(ViewerZoom, ZoomButtonsKeepHandlesAndMarksAtTheirScreenSize)
{
    QTest::mouseClick(panel->buttonZoomIn, Qt::LeftButton);
    QTest::mouseClick(panel->buttonZoomIn, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(viewer->currentView().zoom, 4.0);
    EXPECT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.0075);
    EXPECT_DOUBLE_EQ(viewer->tools().selection.markerSize(), 0.015);

    QTest::mouseClick(panel->buttonZoomOut, Qt::LeftButton);
    QTest::mouseClick(panel->buttonZoomOut, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(viewer->currentView().zoom, 1.0);
    EXPECT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.03);
    EXPECT_DOUBLE_EQ(viewer->tools().selection.markerSize(), 0.06);
}

// Before the first show the zoom runs no solve: the bounds are checked without GL work.
TEST(ViewerZoomBounds, RepeatedZoomStopsAtItsBoundsWithFiniteSizes)
{
    Viewer viewer;
    for (int i = 0; i < 40; ++i)
        viewer.navigation().zoomIn();
    EXPECT_DOUBLE_EQ(viewer.currentView().zoom, 65536.0);
    EXPECT_DOUBLE_EQ(viewer.solver().currentView().zoom, 65536.0);
    EXPECT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.03 / 65536.0);
    EXPECT_DOUBLE_EQ(viewer.tools().selection.markerSize(), 0.06 / 65536.0);

    for (int i = 0; i < 80; ++i)
        viewer.navigation().zoomOut();
    EXPECT_DOUBLE_EQ(viewer.currentView().zoom, 1.0 / 65536.0);
    EXPECT_DOUBLE_EQ(curveRenderingSettings().handleSize, 0.03 * 65536.0);
    const Point corner = viewer.placement().modelPosition(0, 0);
    EXPECT_TRUE(std::isfinite(corner.x) && std::isfinite(corner.y));
}

TEST_F(ViewerZoom, ModelPositionFollowsZoom)
{
    const int w = viewer->width();
    const int h = viewer->height();
    const Point centre = viewer->placement().modelPosition(w / 2.0, h / 2.0);
    EXPECT_NEAR(centre.x, 0.0, 1e-12);
    EXPECT_NEAR(centre.y, 0.0, 1e-12);
    const Point topLeft = viewer->placement().modelPosition(0, 0);
    EXPECT_DOUBLE_EQ(topLeft.x, -1.0);
    EXPECT_DOUBLE_EQ(topLeft.y, 1.0);

    viewer->navigation().zoomIn();
    const Point zoomedTopLeft = viewer->placement().modelPosition(0, 0);
    EXPECT_DOUBLE_EQ(zoomedTopLeft.x, -0.5);
    EXPECT_DOUBLE_EQ(zoomedTopLeft.y, 0.5);
}

// ---------------------------------------------------------------- sliders and colour sides

using PanelValues = WiredWindows;

TEST_F(PanelValues, SliderRangesReachTheViewer)
{
    panel->sliderIter->setValue(panel->sliderIter->maximum());
    EXPECT_EQ(viewer->solver().settings().iterations, 20);
    panel->sliderIter->setValue(panel->sliderIter->minimum());
    EXPECT_EQ(viewer->solver().settings().iterations, 1);

    panel->sliderLifetimeThreshold->setValue(panel->sliderLifetimeThreshold->maximum());
    EXPECT_EQ(curveRenderingSettings().lifetimeThreshold, 30);
    panel->sliderLifetimeThreshold->setValue(panel->sliderLifetimeThreshold->minimum());
    EXPECT_EQ(curveRenderingSettings().lifetimeThreshold, 0);

    panel->sliderBlur->setValue(panel->sliderBlur->maximum());
    EXPECT_EQ(viewer->curves().current_blur, 16);
    panel->sliderBlur->setValue(panel->sliderBlur->minimum());
    EXPECT_EQ(viewer->curves().current_blur, 0);
}

TEST_F(PanelValues, BothColourSidesCannotBeSwitchedOff)
{
    QTest::mouseClick(panel->checkBoxLeftColor, Qt::LeftButton);
    EXPECT_FALSE(viewer->curves().left_colors_active);
    EXPECT_TRUE(viewer->curves().right_colors_active);

    QTest::mouseClick(panel->checkBoxRightColor, Qt::LeftButton);
    EXPECT_FALSE(viewer->curves().right_colors_active);
    EXPECT_TRUE(viewer->curves().left_colors_active);
    EXPECT_TRUE(panel->checkBoxLeftColor->isChecked());
    EXPECT_FALSE(panel->checkBoxRightColor->isChecked());
}

TEST_F(PanelValues, ChosenColoursBecomeTheDrawingColours)
{
    chosenColor = QColor(12, 34, 56);
    QTest::mouseClick(panel->buttonLeftColor, Qt::LeftButton);
    EXPECT_EQ(viewer->curves().current_left_color, chosenColor);

    chosenColor = QColor(78, 90, 12);
    QTest::mouseClick(panel->buttonRightColor, Qt::LeftButton);
    EXPECT_EQ(viewer->curves().current_right_color, chosenColor);

    chosenColor = QColor(1, 2, 3);
    QTest::mouseClick(panel->buttonBucketColor, Qt::LeftButton);
    EXPECT_EQ(viewer->settings().bucketColor(), chosenColor);
}

TEST_F(PanelValues, CancelledColourDialogChangesNothing)
{
    const QColor before = viewer->curves().current_left_color;
    chosenColor = QColor(); // cancelled
    QTest::mouseClick(panel->buttonLeftColor, Qt::LeftButton);
    EXPECT_EQ(viewer->curves().current_left_color, before);
}

// ---------------------------------------------------------------- tool buttons

// What a tool button leaves in the viewer. Spline display "unchanged" is checked by starting
// from hidden splines: a button that forces them on shows them. Attribute display starts shown:
// a tool hides it unless it shows it again, an action button (a command) leaves it.
struct ToolCase {
    const char* button;
    ManipulationMode mode;
    bool splinesShownAfter; // starting from splines hidden
    bool attributesShown;
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.button; }

class ToolButtons : public WiredWindows, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(ToolButtons, SetTheModeAndDisplayFlagsOfTheSelectionTable)
{
    const ToolCase& expected = GetParam();
    auto* button = panel->findChild<QAbstractButton*>(expected.button);
    ASSERT_NE(button, nullptr) << expected.button;

    viewer->settings().showSplines(false);
    viewer->settings().showAttrib(true);
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(viewer->mode(), expected.mode);
    EXPECT_EQ(viewer->settings().display.splinesShown, expected.splinesShownAfter);
    EXPECT_EQ(viewer->curves().show_attributes, expected.attributesShown);
}

INSTANTIATE_TEST_SUITE_P(
    SelectionTable, ToolButtons,
    ::testing::Values(ToolCase{"buttonMovePoint", ModeMovePoint, true, false},
                      ToolCase{"buttonSnake", ModeCamera, false, true},
                      ToolCase{"buttonSampleExample", ModeCamera, false, true},
                      ToolCase{"buttonModifAttrib", ModeModifAttrib, true, true},
                      ToolCase{"buttonSelectMulti", ModeSelectMulti, false, false},
                      ToolCase{"buttonDrawCatmull", ModeDrawCatmull, false, false},
                      ToolCase{"buttonPan", ModePan, false, false},
                      ToolCase{"buttonBucket", ModeBucket, true, true},
                      ToolCase{"buttonBucketColor", ModeBucket, true, true},
                      ToolCase{"buttonPicker", ModePicker, true, true},
                      ToolCase{"buttonSwitchColors", ModeCamera, false, true},
                      ToolCase{"buttonStylize", ModeCamera, false, true},
                      ToolCase{"buttonSmooth", ModeCamera, false, true},
                      ToolCase{"buttonContrastIncr", ModeCamera, false, true},
                      ToolCase{"buttonContrastDecr", ModeCamera, false, true},
                      ToolCase{"buttonZoomIn", ModeCamera, false, true},
                      ToolCase{"buttonZoomOut", ModeCamera, false, true}),
    [](const ::testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.button); });

using ToolCommands = WiredWindows;

TEST_F(ToolCommands, SelectionToolHidesSplinesWhenTheBoxIsUnticked)
{
    QTest::mouseClick(panel->checkBoxShowSplines, Qt::LeftButton);
    ASSERT_FALSE(viewer->settings().display.splinesShown);
    QTest::mouseClick(panel->buttonMovePoint, Qt::LeftButton);
    ASSERT_TRUE(viewer->settings().display.splinesShown);
    QTest::mouseClick(panel->buttonSelectMulti, Qt::LeftButton);
    EXPECT_EQ(viewer->mode(), ModeSelectMulti);
    EXPECT_FALSE(viewer->settings().display.splinesShown);
}

// A zig-zag curve of two segments made current: smoothing moves its inner points.
void addCurrentZigZag(CurveSet& set)
{
    set.newCurve();
    const double xs[] = {-0.6, -0.4, -0.2, 0.0, 0.2, 0.4, 0.6};
    const double ys[] = {0.0, 0.5, -0.5, 0.4, -0.5, 0.5, 0.0};
    for (int i = 0; i < 7; ++i)
        set.appendControlPoint(xs[i], ys[i]);
    set.appendLeftColor(0, true);
    set.appendLeftColor(20, true);
    set.appendRightColor(0, true);
    set.appendRightColor(20, true);
    set.appendBlur(0, true);
    set.appendBlur(20, true);
    set.setCurrentCurve(set.nb_curves - 1);
}

TEST_F(ToolCommands, SmoothSmoothsTheCurrentCurveAndKeepsTheTool)
{
    addCurrentZigZag(viewer->curves());
    QTest::mouseClick(panel->buttonMovePoint, Qt::LeftButton);
    QVector<Point> before;
    for (int i = 0; i < viewer->curves().curve(0).nb_control_points; ++i)
        before.append(viewer->curves().curve(0).controlPoint(i));

    QTest::mouseClick(panel->buttonSmooth, Qt::LeftButton);

    const Curve& after = viewer->curves().curve(0);
    bool moved = false;
    for (int i = 0; i < after.nb_control_points && i < before.size(); ++i)
        moved = moved || !near(after.controlPoint(i), before[i], 1e-9);
    EXPECT_TRUE(moved) << "the current curve was not smoothed";
    EXPECT_EQ(viewer->mode(), ModeMovePoint);
    EXPECT_EQ(viewer->curves().current_curve, 0);
    EXPECT_TRUE(viewer->curves().selection.isEmpty());
}

TEST_F(ToolCommands, SwitchColorsSwapsTheSidesAndKeepsTheTool)
{
    addCurrentZigZag(viewer->curves());
    QTest::mouseClick(panel->buttonBucket, Qt::LeftButton);
    const QColor left = viewer->curves().curve(0).defaultLeftColor();
    const QColor right = viewer->curves().curve(0).defaultRightColor();
    ASSERT_NE(left, right);
    const QColor leftAtStart = viewer->curves().curve(0).leftColorAt(0.0, 0);

    QTest::mouseClick(panel->buttonSwitchColors, Qt::LeftButton);

    EXPECT_EQ(viewer->curves().curve(0).rightColorAt(0.0, 0), leftAtStart);
    EXPECT_EQ(viewer->mode(), ModeBucket);
    EXPECT_TRUE(viewer->curves().show_attributes);
}

// ---------------------------------------------------------------- what a frame shows

using ViewerFrames = WiredWindows;

// vertical_split.xml: one straight curve up the middle of the canvas (between pixel columns 255
// and 256 of the 512-pixel window), reddish on its left side (x < 0) and bluish on its right.
TEST_F(ViewerFrames, LoadedDrawingShowsEachSideInItsColour)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    ASSERT_EQ(viewer->curves().nb_curves, 1);

    const QImage frame = grabFrame();
    ASSERT_EQ(frame.size(), QSize(512, 512));
    for (int y : {64, 256, 448}) {
        // Right beside the curve the picture holds the curve's own colours.
        EXPECT_TRUE(colorNear(frame.pixelColor(253, y), kReddish, 12)) << "row " << y;
        EXPECT_TRUE(colorNear(frame.pixelColor(257, y), kBluish, 12)) << "row " << y;
        EXPECT_TRUE(reddish(frame.pixelColor(128, y))) << "left half, row " << y;
        EXPECT_TRUE(bluish(frame.pixelColor(384, y))) << "right half, row " << y;
    }
    // The curve itself is drawn in black over the picture.
    EXPECT_TRUE(colorNear(frame.pixelColor(255, 256), Qt::black, 40)
                || colorNear(frame.pixelColor(256, 256), Qt::black, 40));
}

// A drawing that is in place before the viewer's first show is solved by its GL set-up: the
// colour strips of that first solve must already carry the curve's colours.
TEST(ViewerFirstSolve, DrawingLoadedBeforeTheFirstShowIsSolvedWithItsColours)
{
    Viewer viewer;
    ASSERT_TRUE(loadXml(viewer.curves(), testDataPath("vertical_split.xml")));
    ASSERT_TRUE(showAndInitialise(viewer));
    const QImage frame = viewer.grabFramebuffer();
    for (int y : {64, 256, 448}) {
        EXPECT_TRUE(colorNear(frame.pixelColor(253, y), kReddish, 12)) << "row " << y;
        EXPECT_TRUE(colorNear(frame.pixelColor(257, y), kBluish, 12)) << "row " << y;
    }
}

TEST_F(ViewerFrames, HiddenSplinesLeaveOnlyThePicture)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    QTest::mouseClick(panel->checkBoxShowSplines, Qt::LeftButton);
    ASSERT_FALSE(viewer->settings().display.splinesShown);
    const QImage frame = grabFrame();
    for (int y = 0; y < frame.height(); y += 16)
        EXPECT_FALSE(colorNear(frame.pixelColor(256, y), Qt::black, 40)) << "row " << y;
}

TEST_F(ViewerFrames, ZoomedViewStillSplitsAtTheCentre)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    viewer->navigation().zoomIn();
    const QImage frame = grabFrame();
    EXPECT_TRUE(reddish(frame.pixelColor(64, 256)));
    EXPECT_TRUE(bluish(frame.pixelColor(448, 256)));
}

TEST_F(ViewerFrames, DisplayModeFourShowsOnlyTheBackground)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    QTest::mouseClick(panel->checkBoxShowSplines, Qt::LeftButton);
    QTest::keyClick(viewer.get(), Qt::Key_F7);
    ASSERT_EQ(static_cast<int>(viewer->settings().display.mode), 4);

    const QImage frame = grabFrame();
    for (int y = 0; y < frame.height(); y += 8) {
        for (int x = 0; x < frame.width(); x += 8)
            ASSERT_TRUE(colorNear(frame.pixelColor(x, y), kBackgroundGrey, 2))
                << "pixel " << x << ", " << y;
    }

    QTest::keyClick(viewer.get(), Qt::Key_F1);
    EXPECT_TRUE(reddish(grabFrame().pixelColor(128, 256)));
}

TEST_F(ViewerFrames, ExampleBitmapReplacesThePictureWhileShown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QColor green(30, 200, 40);
    QImage bitmap(64, 32, QImage::Format_RGB32);
    bitmap.fill(green);
    const QString path = dir.filePath("green.png");
    ASSERT_TRUE(bitmap.save(path));

    loadDrawing(testDataPath("vertical_split.xml"));
    QTest::mouseClick(panel->checkBoxShowSplines, Qt::LeftButton);
    dialogs->openName = path;
    panel->actionLoad_Bitmap->trigger();
    ASSERT_TRUE(commands->bitmap.isExampleImgLoaded());
    ASSERT_TRUE(commands->bitmap.isExampleImgShown());
    EXPECT_TRUE(colorNear(grabFrame().pixelColor(128, 256), green, 2));
    EXPECT_TRUE(colorNear(grabFrame().pixelColor(400, 40), green, 2));

    // "Show Bitmap", ticked by the load, unticked: the diffused picture comes back.
    ASSERT_TRUE(panel->checkBoxShowExampleImg->isChecked());
    QTest::mouseClick(panel->checkBoxShowExampleImg, Qt::LeftButton);
    ASSERT_FALSE(commands->bitmap.isExampleImgShown());
    EXPECT_TRUE(reddish(grabFrame().pixelColor(128, 256)));
}

TEST_F(ViewerFrames, ShowBitmapWithoutABitmapShowsThePicture)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    QTest::mouseClick(panel->checkBoxShowExampleImg, Qt::LeftButton);
    ASSERT_TRUE(commands->bitmap.isExampleImgShown());
    EXPECT_TRUE(reddish(grabFrame().pixelColor(128, 256)));
    EXPECT_TRUE(bluish(grabFrame().pixelColor(384, 256)));
}

TEST_F(ViewerFrames, CommandsWithoutAnExampleBitmapChangeNothing)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    viewer->curves().setCurrentCurve(0);
    const Point before = viewer->curves().curve(0).controlPoint(1);
    const QColor colourBefore = viewer->curves().curve(0).leftColorAt(0.0, 0);
    QTest::mouseClick(panel->buttonSnake, Qt::LeftButton);
    QTest::mouseClick(panel->buttonSampleExample, Qt::LeftButton);
    EXPECT_TRUE(near(viewer->curves().curve(0).controlPoint(1), before, 1e-12));
    EXPECT_EQ(viewer->curves().curve(0).leftColorAt(0.0, 0), colourBefore);
}

// ---------------------------------------------------------------- repaints

using ViewerRepaint = WiredWindows;

TEST_F(ViewerRepaint, IdleViewerDrawsNoFramesAndAChangeDrawsOne)
{
    QTest::qWait(200);
    const long settled = viewer->framesDrawn();
    QTest::qWait(300);
    EXPECT_EQ(viewer->framesDrawn(), settled) << "the idle viewer kept redrawing";

    QTest::mouseClick(panel->checkBoxShowSplines, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(viewer->framesDrawn() > settled, 2000);
}

TEST_F(ViewerRepaint, ContinuousRepaintRedrawsUntilSwitchedOff)
{
    viewer->setContinuousRepaint(true);
    const long start = viewer->framesDrawn();
    QTRY_VERIFY_WITH_TIMEOUT(viewer->framesDrawn() > start + 3, 5000);
    viewer->setContinuousRepaint(false);
    QTest::qWait(100);
    const long stopped = viewer->framesDrawn();
    QTest::qWait(200);
    EXPECT_EQ(viewer->framesDrawn(), stopped);
}

// The base viewer's camera is not used: in the initial camera mode a fast drag neither moves the
// view nor leaves anything spinning and redrawing, and Escape does not close the window.
TEST_F(ViewerRepaint, CameraModeDragAndEscapeLeaveTheViewerAlone)
{
    ASSERT_EQ(viewer->mode(), ModeCamera);
    auto send = [this](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, viewer->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(viewer.get(), &event);
    };
    send(QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    for (int step = 1; step <= 10; ++step)
        send(QEvent::MouseMove, QPoint(100 + 30 * step, 100 + 20 * step), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(400, 300), Qt::NoButton);
    QTest::keyClick(viewer.get(), Qt::Key_Escape);

    QTest::qWait(200);
    const long settled = viewer->framesDrawn();
    QTest::qWait(300);
    EXPECT_EQ(viewer->framesDrawn(), settled) << "something keeps redrawing after the drag";
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_DOUBLE_EQ(viewer->currentView().zoom, 1.0);
    EXPECT_DOUBLE_EQ(viewer->currentView().pan.x, 0.0);
    EXPECT_DOUBLE_EQ(viewer->currentView().pan.y, 0.0);
}

// ---------------------------------------------------------------- window life cycle

using ViewerLifeCycle = WiredWindows;

TEST_F(ViewerLifeCycle, ResizedWindowStretchesThePicture)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    viewer->resize(300, 200);
    QTRY_COMPARE(viewer->size(), QSize(300, 200));
    const QImage frame = grabFrame();
    ASSERT_EQ(frame.size(), QSize(300, 200));
    EXPECT_TRUE(reddish(frame.pixelColor(75, 100)));
    EXPECT_TRUE(bluish(frame.pixelColor(225, 100)));
}

TEST_F(ViewerLifeCycle, HiddenAndShownAgainKeepsDrawing)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    viewer->hide();
    QTest::qWait(50);
    viewer->navigation().zoomIn(); // GL work while hidden
    viewer->navigation().zoomOut();
    viewer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
    EXPECT_TRUE(reddish(grabFrame().pixelColor(128, 256)));
}

TEST_F(ViewerLifeCycle, PanelKeepsWorkingAfterTheViewerIsClosed)
{
    loadDrawing(testDataPath("vertical_split.xml"));
    EXPECT_TRUE(viewer->close());
    QTest::qWait(50);
    ASSERT_TRUE(panel->isVisible());

    QTest::mouseClick(panel->buttonZoomIn, Qt::LeftButton);
    panel->sliderBlur->setValue(5);
    panel->sliderIter->setValue(7);
    QTest::mouseClick(panel->checkBoxActivateBlur, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(viewer->currentView().zoom, 2.0);
    EXPECT_EQ(viewer->curves().current_blur, 5);

    viewer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
    EXPECT_TRUE(reddish(grabFrame().pixelColor(128, 256)));
}

TEST(ViewerWithoutWindow, SlotsBeforeTheFirstShowOnlyChangeState)
{
    Viewer viewer;
    viewer.navigation().zoomIn();
    viewer.settings().setBlur(3);
    viewer.settings().setIter(5);
    viewer.settings().activateBlur(true);
    EditCommands edits(viewer);
    edits.pasteSplines();
    EXPECT_FALSE(viewer.isGLReady());
    EXPECT_DOUBLE_EQ(viewer.currentView().zoom, 2.0);
    EXPECT_EQ(viewer.curves().current_blur, 3);
    EXPECT_EQ(viewer.solver().settings().iterations, 5);
}

} // namespace
