// An editor that is easy to use, through both real windows: blur editing in the panel, the
// scribble trail, what the action buttons say, the screen following the state, grabbing handles
// and the selection keys. With TINTWEAVE_SCREENSHOTS set to a folder, the tests that show
// something also save what they see there.
#include "test_editor_support.h"

#include "curve_set_xml.h"
#include "editor.h"
#include "pointer.h"

#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

// Saves `image` as NAME.png in the folder TINTWEAVE_SCREENSHOTS names, when it names one.
void keepScreenshot(const QImage& image, const char* name)
{
    const QString folder = qEnvironmentVariable("TINTWEAVE_SCREENSHOTS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(QString(name) + ".png"));
}

} // namespace

class EditorErgonomics : public ScriptedEditorTest {
protected:
    DrawingHistory& history() { return viewer().document().history(); }
    void clickViewer(const Point& p)
    {
        QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, pixel(p));
    }
    void keyViewer(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&viewer(), &event);
    }
    void choose(QPushButton* tool) { QTest::mouseClick(tool, Qt::LeftButton); }
    // Adds a horizontal line at height y (blur 0 at both ends) and re-solves.
    int addLine(double y, const QColor& left = QColor(255, 255, 255),
                const QColor& right = QColor(130, 25, 25))
    {
        doc().addCurve(makeLine(Point(-0.5, y), Point(0.5, y), left, right, 0));
        viewer().settings().setLifetimeThreshold(0);
        return doc().nb_curves - 1;
    }
    // The frame the viewer shows once the events queued so far are handled.
    QImage frame()
    {
        QTest::qWait(30);
        return viewer().grabFramebuffer();
    }
};

// ---------------------------------------------------------------- blur editing

TEST_F(EditorErgonomics, BlurPointEditPreviewsCommitsWithReturnAndUndoesInOneStep)
{
    const int line = addLine(0.0);
    choose(panel().buttonModifAttrib);
    clickViewer(Point(0.0, 0.0));
    ASSERT_EQ(doc().current_curve, line);
    clickViewer(Point(-0.5, 0.0)); // the first blur point lies on the curve's start
    ASSERT_TRUE(panel().isEditingBlur());
    EXPECT_EQ(panel().labelBlur->text(), "Point:");
    EXPECT_EQ(panel().spinBlur->value(), 0);

    panel().sliderBlur->setFocus();
    QTest::keyClick(panel().sliderBlur, Qt::Key_End);
    EXPECT_EQ(doc().curve(line).blur_values.first(), 16) << "the preview shows the value";
    EXPECT_FALSE(history().canUndo()) << "no step before the edit ends";
    keepScreenshot(panel().grab().toImage(), "blur_editing_panel");
    keepScreenshot(frame(), "blur_editing_viewer");
    QTest::keyClick(panel().sliderBlur, Qt::Key_Return);

    EXPECT_FALSE(panel().isEditingBlur());
    EXPECT_EQ(doc().curve(line).blur_values, (QVector<int>{16, 0}));
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), "Blur Point");
    viewer().document().undo();
    EXPECT_EQ(doc().curve(line).blur_values, (QVector<int>{0, 0}));
}

TEST_F(EditorErgonomics, EscapeCancelsTheBlurEditAndAClickOnTheCanvasCommitsIt)
{
    const int line = addLine(0.0);
    choose(panel().buttonModifAttrib);
    clickViewer(Point(0.0, 0.0));
    clickViewer(Point(0.5, 0.0)); // the last blur point
    ASSERT_TRUE(panel().isEditingBlur());
    panel().spinBlur->setFocus();
    panel().spinBlur->selectAll();
    QTest::keyClicks(panel().spinBlur, "9");
    EXPECT_EQ(doc().curve(line).blur_values.last(), 9);
    keyViewer(Qt::Key_Escape);
    EXPECT_FALSE(panel().isEditingBlur());
    EXPECT_EQ(doc().curve(line).blur_values.last(), 0);
    EXPECT_FALSE(history().canUndo());

    clickViewer(Point(0.5, 0.0));
    ASSERT_TRUE(panel().isEditingBlur());
    panel().spinBlur->setFocus();
    panel().spinBlur->selectAll();
    QTest::keyClicks(panel().spinBlur, "5");
    clickViewer(Point(0.0, 0.6)); // away from the curve
    EXPECT_FALSE(panel().isEditingBlur());
    EXPECT_EQ(doc().curve(line).blur_values.last(), 5);
    EXPECT_EQ(history().count(), 1);
}

TEST_F(EditorErgonomics, BlurShiftOfTheSelectionIsOneStepFromThePanel)
{
    addLine(-0.3);
    addLine(0.3);
    choose(panel().buttonSelectMulti);
    panel().actionSelect_All->trigger();
    dialogs->menuChoice = "Increase/decrease blur";
    QTest::mouseClick(&viewer(), Qt::RightButton, Qt::NoModifier, pixel(Point(0.0, 0.3)));
    ASSERT_TRUE(panel().isEditingBlur());
    EXPECT_EQ(panel().labelBlur->text(), "Shift:");
    panel().spinBlur->setFocus();
    panel().spinBlur->selectAll();
    QTest::keyClicks(panel().spinBlur, "4");
    QTest::keyClicks(panel().spinBlur, "\b3"); // 4 then 3: each from the blur it began with
    QTest::keyClick(panel().spinBlur, Qt::Key_Return);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(doc().curve(i).blur_values, (QVector<int>{3, 3}));
    EXPECT_EQ(history().undoText(), "Shift Blur");
    viewer().document().undo();
    EXPECT_EQ(doc().curve(0).blur_values, (QVector<int>{0, 0}));
}

// ---------------------------------------------------------------- the scribble trail

TEST_F(EditorErgonomics, NoTrailPixelsAreLeftAfterAScribble)
{
    addLine(0.0);
    choose(panel().buttonSelectMulti);
    const QImage before = frame();
    // A Ctrl scribble away from the curve, with no button held (the scribble follows the mouse).
    const auto scribble = [&] {
        for (int x = 100; x <= 400; x += 20) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 420),
                             viewer().mapToGlobal(QPoint(x, 420)), Qt::NoButton, Qt::NoButton,
                             Qt::ControlModifier);
            QApplication::sendEvent(&viewer(), &move);
        }
        ASSERT_FALSE(viewer().tools().selection.scribblePoints().isEmpty());
    };
    scribble();
    EXPECT_NE(frame(), before) << "the trail is shown while Ctrl is held";
    QKeyEvent letGo(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(&viewer(), &letGo);
    EXPECT_TRUE(viewer().tools().selection.scribblePoints().isEmpty());
    EXPECT_EQ(frame(), before);

    // A move without Ctrl, an undo and a resize end a trail too.
    scribble();
    QMouseEvent plainMove(QEvent::MouseMove, QPointF(200, 200),
                          viewer().mapToGlobal(QPoint(200, 200)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&viewer(), &plainMove);
    EXPECT_TRUE(viewer().tools().selection.scribblePoints().isEmpty());
    panel().actionSelect_All->trigger();
    keyViewer(Qt::Key_Delete); // a step to undo
    ASSERT_EQ(doc().nb_curves, 0);
    scribble();
    viewer().document().undo();
    EXPECT_TRUE(viewer().tools().selection.scribblePoints().isEmpty());
    scribble();
    viewer().resize(500, 500);
    EXPECT_TRUE(viewer().tools().selection.scribblePoints().isEmpty());
}

// ---------------------------------------------------------------- action buttons

TEST_F(EditorErgonomics, ActionButtonsSayWhatTheyDidAndKeepTheTool)
{
    addLine(-0.3);
    addLine(0.3);
    choose(panel().buttonMovePoint);
    // The pointer over a button: its status tip in the status bar.
    QPushButton* smooth = panel().buttonSmooth;
    ASSERT_TRUE(test_support::hover(smooth));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return panel().statusbar->currentMessage() == smooth->statusTip(); },
                        3000));
    keepScreenshot(panel().grab().toImage(), "panel_status_tip");
    choose(panel().buttonSmooth);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Nothing to smooth: select a curve");
    // Without a bitmap, that is the reason named, whatever is selected.
    choose(panel().buttonSnake);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Nothing to snap: load a bitmap first");
    clickViewer(Point(0.0, 0.3));
    choose(panel().buttonSnake);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Nothing to snap: load a bitmap first");
    choose(panel().buttonSmooth);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Smoothed 1 curve");
    panel().actionSelect_All->trigger();
    const std::pair<QPushButton*, const char*> said[] = {
        {panel().buttonSmooth, "Smoothed 2 curves"},
        {panel().buttonStylize, "Stylized 2 curves"},
        {panel().buttonSwitchColors, "Switched the colors of 2 curves"},
        {panel().buttonContrastIncr, "Raised the contrast of 2 curves"},
        {panel().buttonContrastDecr, "Lowered the contrast of 2 curves"}};
    for (const auto& [button, text] : said) {
        choose(button);
        EXPECT_EQ(panel().statusLines().outcomeText(), text);
        EXPECT_EQ(viewer().mode(), ModeMovePoint);
        EXPECT_TRUE(panel().buttonMovePoint->isChecked());
    }
}

TEST_F(EditorErgonomics, SnapReachSetInThePanelReachesTheSnapping)
{
    // A dark band 20 pixel steps above a curve along y = 0: the widest reach gets nearest.
    QImage bitmap(512, 512, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    for (int row = 244; row <= 248; ++row)
        for (int col = 0; col < 512; ++col)
            bitmap.setPixel(col, row, qRgb(0, 0, 0));
    ASSERT_TRUE(bitmap.save(folder.filePath("band.png")));
    dialogs->openName = folder.filePath("band.png");
    panel().actionLoad_Bitmap->trigger();
    ASSERT_TRUE(editor->commands.bitmap.isExampleImgLoaded());
    EXPECT_TRUE(panel().checkBoxShowExampleImg->isChecked()) << "Show Bitmap follows the viewer";

    auto x = [](int i) { return -0.6 + 1.2 * i / 9; };
    const Curve line =
        makeCurve({Point(x(0), 0), Point(x(1), 0), Point(x(2), 0), Point(x(3), 0), Point(x(4), 0),
                   Point(x(5), 0), Point(x(6), 0), Point(x(7), 0), Point(x(8), 0), Point(x(9), 0)});
    doc().addCurve(line);
    doc().setCurrentCurve(0);
    panel().spinSnapReach->setValue(30);
    choose(panel().buttonSnake);
    CurveSet alone;
    alone.addCurve(line);
    alone.setCurrentCurve(0);
    alone.snakeStep(editor->commands.bitmap.contourImage(), 30);
    EXPECT_EQ(doc().curve(0).control_points, alone.curve(0).control_points);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Snapped 1 curve (reach 30 px)");
}

// ---------------------------------------------------------------- the screen follows the state

TEST_F(EditorErgonomics, NewEmptiesTheStatusLineAndFileCurvesShowTheirColours)
{
    CurveSet set;
    set.addCurve(makeLine(Point(-0.6, -0.5), Point(0.6, -0.5), QColor(20, 200, 30),
                          QColor(240, 220, 10), 7));
    ASSERT_TRUE(saveXml(set, folder.filePath("one.xml")));
    dialogs->openName = folder.filePath("one.xml");
    panel().actionLoad->trigger();
    EXPECT_EQ(panel().statusLines().outcomeText(), "Opened one.xml");
    choose(panel().buttonMovePoint);
    clickViewer(Point(0.0, -0.5));
    ASSERT_EQ(doc().current_curve, 0);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), QColor(20, 200, 30));
    EXPECT_EQ(swatchColor(panel().buttonRightColor), QColor(240, 220, 10));
    EXPECT_EQ(panel().sliderBlur->value(), 7);

    panel().actionNew->trigger();
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_TRUE(panel().statusLines().outcomeText().isEmpty());
}

TEST_F(EditorErgonomics, BucketRepaintsThePictureAtOnce)
{
    const int line = addLine(0.0);
    panel().setBucketColor(QColor(10, 200, 30));
    viewer().settings().setBucketColor(QColor(10, 200, 30));
    choose(panel().buttonBucket);
    clickViewer(Point(0.0, 0.0));
    ASSERT_EQ(doc().current_curve, line);
    const Curve& c = doc().curve(line);
    const double offset = 4 * curveRenderingSettings().handleSize * 0.5;
    const long framesBefore = viewer().framesDrawn();
    clickViewer(c.pointAt(0.0, 3) + c.normalAt(0.0, 3) * offset); // the last left colour point
    ASSERT_EQ(doc().curve(line).left_colors.last(), QColor(10, 200, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer().framesDrawn() > framesBefore; }, 1000));
    // Three pixels left of the curve near its end, inside its colour strip: 95 % of the way
    // from white to the new colour, within 8-bit rounding.
    const QColor shown = viewer().grabFramebuffer().pixelColor(pixel(Point(0.45, 3.0 / 256)));
    EXPECT_NEAR(shown.red(), 22, 4) << shown.name().toStdString();
    EXPECT_NEAR(shown.green(), 203, 4);
    EXPECT_NEAR(shown.blue(), 41, 4);
}

// ---------------------------------------------------------------- grabbing

TEST_F(EditorErgonomics, PressOnTheLineNearAHandleMovesTheCurveNotTheHandle)
{
    const int line = addLine(0.0);
    choose(panel().buttonMovePoint);
    clickViewer(Point(0.0, 0.0));
    ASSERT_EQ(doc().current_curve, line);
    const QVector<Point> before = doc().curve(line).control_points;

    // Between the start and its tangent handle, on the handle's line and the curve's.
    const QPoint from = pixel(Point(-0.33, 0.0));
    QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, -26)),
                     viewer().mapToGlobal(from + QPoint(0, -26)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&viewer(), &move);
    QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier, from + QPoint(0, -26));
    const QVector<Point>& after = doc().curve(line).control_points;
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(after[i].x, before[i].x, 1e-9) << i;
        EXPECT_NEAR(after[i].y - before[i].y, 26.0 / 256, 1e-9) << i;
    }

    // Inside the handle's disk the handle moves alone.
    const QPoint handle = pixel(after[1]);
    QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, handle);
    QMouseEvent down(QEvent::MouseMove, QPointF(handle + QPoint(0, 20)),
                     viewer().mapToGlobal(handle + QPoint(0, 20)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&viewer(), &down);
    QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier, handle + QPoint(0, 20));
    const QVector<Point>& moved = doc().curve(line).control_points;
    EXPECT_NEAR(moved[0].y, after[0].y, 1e-9);
    EXPECT_NEAR(moved[3].y, after[3].y, 1e-9);
    EXPECT_LT(moved[1].y, after[1].y - 10.0 / 256);
}

TEST_F(EditorErgonomics, HandlesShowOnABluePictureThroughTheirOutline)
{
    const QColor blue(0, 0, 230);
    const int line = addLine(0.0, blue, blue);
    choose(panel().buttonMovePoint);
    clickViewer(Point(0.0, 0.0));
    ASSERT_EQ(doc().current_curve, line);
    const QImage shown = frame();
    keepScreenshot(shown, "handles_on_blue");
    EXPECT_EQ(shown.pixelColor(pixel(Point(0.0, 0.5))), blue) << "the picture is blue";
    // Around the key point at the start: the blue cross, and white that sets it off.
    const QPoint key = pixel(Point(-0.5, 0.0));
    int white = 0, crossBlue = 0;
    for (int dy = -8; dy <= 8; ++dy) {
        for (int dx = -8; dx <= 8; ++dx) {
            const QColor c = shown.pixelColor(key + QPoint(dx, dy));
            white += c.red() > 220 && c.green() > 220 && c.blue() > 220;
            crossBlue += c.red() < 30 && c.green() < 30 && c.blue() > 200;
        }
    }
    EXPECT_GE(white, 8);
    EXPECT_GE(crossBlue, 8);
}

// ---------------------------------------------------------------- selection keys

TEST_F(EditorErgonomics, SelectAllThenDeleteThenUndo)
{
    for (double y : {-0.4, 0.0, 0.4})
        addLine(y);
    choose(panel().buttonMovePoint);
    keyViewer(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(doc().selection.size(), 3);
    EXPECT_EQ(panel().statusLines().outcomeText(), "Selected 3 curves");
    keyViewer(Qt::Key_Escape);
    EXPECT_TRUE(doc().selection.isEmpty());
    panel().actionSelect_All->trigger();
    panel().actionDeselect->trigger();
    EXPECT_TRUE(doc().selection.isEmpty());

    panel().actionSelect_All->trigger();
    keyViewer(Qt::Key_Delete);
    EXPECT_EQ(doc().nb_curves, 0);
    keyViewer(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().nb_curves, 3);
    keyViewer(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(doc().selection.isEmpty());
}
