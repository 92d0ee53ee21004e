// The editor tells the user what happened, through both real windows: failures in a message
// box over the viewer (through the dialogs seam) and in the panel's status bar, the swatches
// and the blur slider showing what the next stroke gets, the active tool checked.
#include "test_editor_support.h"

#include "editor.h"
#include "curve_set_xml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>

class EditorFeedback : public ScriptedEditorTest {
protected:
    // A saved drawing with two curves of distinct colours and blur, opened through File > Load.
    void openTwoColourDrawing()
    {
        CurveSet set;
        set.addCurve(makeLine(Point(-0.6, -0.5), Point(0.6, -0.5), QColor(20, 200, 30),
                              QColor(240, 220, 10), 7));
        set.addCurve(makeLine(Point(-0.6, 0.5), Point(0.6, 0.5), QColor(10, 10, 250),
                              QColor(250, 120, 0), 3));
        ASSERT_TRUE(saveXml(set, path("two.xml")));
        dialogs->openName = path("two.xml");
        panel().actionLoad->trigger();
        ASSERT_EQ(doc().nb_curves, 2);
    }
    void clickViewer(const Point& p)
    {
        const QPoint pixel = viewer().placement().widgetPosition(p).toPoint();
        QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, pixel);
    }

    // A mouse move with the left button held.
    void dragTo(const QPoint& pos)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(viewer().mapToGlobal(pos)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&viewer(), &move);
    }
};

TEST_F(EditorFeedback, FailedLoadShowsTheCauseAndKeepsTheDrawing)
{
    openTwoColourDrawing();
    QFile bad(path("broken.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<curve_set image_width=\"512\"");
    bad.close();

    dialogs->openName = path("broken.xml");
    panel().actionLoad->trigger();

    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].startsWith("Open drawing: Could not open broken.xml: "))
        << dialogs->messages[0].toStdString();
    // The cause follows the file name, and the status bar says the same.
    EXPECT_GT(dialogs->messages[0].size(),
              QString("Open drawing: Could not open broken.xml: ").size());
    EXPECT_EQ("Open drawing: " + panel().statusLines().outcomeText(), dialogs->messages[0]);
    EXPECT_EQ(doc().nb_curves, 2);
    EXPECT_EQ(QFileInfo(viewer().document().filePath()).fileName(), "two.xml");

    // A file that does not exist says so.
    dialogs->openName = path("missing.xml");
    panel().actionLoad->trigger();
    ASSERT_EQ(dialogs->messages.size(), 2);
    EXPECT_TRUE(dialogs->messages[1].contains("missing.xml"));
    EXPECT_TRUE(dialogs->messages[1].contains("does not exist"))
        << dialogs->messages[1].toStdString();
    EXPECT_EQ(doc().nb_curves, 2);
}

TEST_F(EditorFeedback, FailedSaveIsShownNotPassedOffAsSuccess)
{
    openTwoColourDrawing();
    doc().setCurrentCurve(0);
    editor->commands.edits.deleteSplines(); // an unsaved change
    ASSERT_TRUE(viewer().document().isModified());

    // A folder where the file should go: the save cannot succeed.
    ASSERT_TRUE(QDir(folder.path()).mkdir("taken.xml"));
    dialogs->saveName = path("taken.xml");
    panel().actionSave_as_XML->trigger();

    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].startsWith("Save drawing: Could not save taken.xml: "))
        << dialogs->messages[0].toStdString();
    EXPECT_EQ("Save drawing: " + panel().statusLines().outcomeText(), dialogs->messages[0]);
    EXPECT_TRUE(viewer().document().isModified());
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(QFileInfo(viewer().document().filePath()).fileName(), "two.xml");
    CurveSet onDisk;
    ASSERT_TRUE(loadXml(onDisk, path("two.xml")));
    EXPECT_EQ(onDisk.nb_curves, 2);

    // A save that works says so in the status bar, without a message box.
    dialogs->saveName = path("saved.xml");
    panel().actionSave_as_XML->trigger();
    EXPECT_EQ(panel().statusLines().outcomeText(), "Saved saved.xml");
    EXPECT_EQ(dialogs->messages.size(), 1);
    EXPECT_FALSE(viewer().document().isModified());
}

TEST_F(EditorFeedback, UnreadableBitmapIsShownAndTheOldOneStays)
{
    QFile bad(path("noise.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a picture");
    bad.close();
    dialogs->openName = path("noise.png");
    panel().actionLoad_Bitmap->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].startsWith("Load Bitmap: Could not read the bitmap noise.png"))
        << dialogs->messages[0].toStdString();
    EXPECT_FALSE(editor->commands.bitmap.isExampleImgLoaded());
    EXPECT_TRUE(
        panel().statusLines().outcomeText().startsWith("Could not read the bitmap noise.png"));
}

TEST_F(EditorFeedback, SwatchesAndBlurSliderShowWhatTheNextStrokeGets)
{
    doc().addCurve(makeLine(Point(-0.6, -0.5), Point(0.6, -0.5), QColor(20, 200, 30),
                            QColor(240, 220, 10), 7));
    doc().addCurve(
        makeLine(Point(-0.6, 0.5), Point(0.6, 0.5), QColor(10, 10, 250), QColor(250, 120, 0), 3));
    viewer().settings().setLifetimeThreshold(0); // a re-solve with the two curves
    QTest::mouseClick(panel().buttonMovePoint, Qt::LeftButton);
    ASSERT_EQ(viewer().mode(), ModeMovePoint);

    clickViewer(Point(0.0, -0.5));
    ASSERT_EQ(doc().current_curve, 0);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), QColor(20, 200, 30));
    EXPECT_EQ(swatchColor(panel().buttonRightColor), QColor(240, 220, 10));
    EXPECT_EQ(panel().sliderBlur->value(), 7);
    // The slider's echo did not come back as an edit.
    EXPECT_FALSE(viewer().document().history().canUndo());

    // Dropping the curve and choosing the other one shows the other's values.
    clickViewer(Point(0.0, 0.0));
    clickViewer(Point(0.0, 0.5));
    ASSERT_EQ(doc().current_curve, 1);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), QColor(10, 10, 250));
    EXPECT_EQ(swatchColor(panel().buttonRightColor), QColor(250, 120, 0));
    EXPECT_EQ(panel().sliderBlur->value(), 3);
    EXPECT_FALSE(viewer().document().history().canUndo());

    // A stroke drawn now carries what the panel shows.
    QTest::mouseClick(panel().buttonDrawCatmull, Qt::LeftButton);
    QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 250));
    for (int x = 110; x <= 300; x += 10)
        dragTo(QPoint(x, 250 + (x - 100) / 4));
    QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    ASSERT_EQ(doc().nb_curves, 3);
    const Curve& stroke = doc().curve(2);
    ASSERT_FALSE(stroke.left_colors.isEmpty());
    EXPECT_EQ(stroke.left_colors.front(), swatchColor(panel().buttonLeftColor));
    EXPECT_EQ(stroke.right_colors.front(), swatchColor(panel().buttonRightColor));
    EXPECT_EQ(stroke.blur_values.front(), panel().sliderBlur->value());
}

TEST_F(EditorFeedback, OpeningADrawingShowsTheValuesItsCurvesGive)
{
    // A file keeps no colours for new strokes: a curve read from one takes its first points'
    // colours and blur, so that selecting it shows them, whatever the panel showed before.
    doc().addCurve(makeLine(Point(-0.6, -0.5), Point(0.6, -0.5), QColor(20, 200, 30),
                            QColor(240, 220, 10), 7));
    doc().setCurrentCurve(0);
    viewer().settings().setLifetimeThreshold(0);
    QTest::mouseClick(&viewer(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(panel().sliderBlur->value(), 7);
    openTwoColourDrawing();
    QTest::mouseClick(panel().buttonMovePoint, Qt::LeftButton);
    clickViewer(Point(0.0, -0.5));
    ASSERT_EQ(doc().current_curve, 0);
    EXPECT_EQ(swatchColor(panel().buttonLeftColor), doc().current_left_color);
    EXPECT_EQ(swatchColor(panel().buttonRightColor), doc().current_right_color);
    EXPECT_EQ(panel().sliderBlur->value(), doc().current_blur);
    EXPECT_EQ(doc().current_left_color, QColor(20, 200, 30));
    EXPECT_EQ(doc().current_right_color, QColor(240, 220, 10));
    EXPECT_EQ(doc().current_blur, 7);
}

TEST_F(EditorFeedback, ACurveWithSeveralBlurValuesKeepsThemWhenSelected)
{
    CurveSet set;
    Curve curve =
        makeLine(Point(-0.6, 0.0), Point(0.6, 0.0), QColor(20, 200, 30), QColor(240, 220, 10), 2);
    curve.blur_values[1] = 9;
    set.addCurve(curve);
    ASSERT_TRUE(saveXml(set, path("ramp.xml")));
    dialogs->openName = path("ramp.xml");
    panel().actionLoad->trigger();
    QTest::mouseClick(panel().buttonMovePoint, Qt::LeftButton);
    clickViewer(Point(0.0, 0.0));
    ASSERT_EQ(doc().current_curve, 0);
    EXPECT_EQ(panel().sliderBlur->value(), doc().current_blur);
    EXPECT_EQ(doc().curve(0).blur_values, QVector<int>({2, 9}));
}

TEST_F(EditorFeedback, TheActiveToolIsCheckedAndNamedAfterEachChoice)
{
    struct Choice {
        QPushButton* clicked;
        QPushButton* checked;
        ManipulationMode mode;
    };
    Interface& p = panel();
    const Choice choices[] = {
        {p.buttonDrawCatmull, p.buttonDrawCatmull, ModeDrawCatmull},
        {p.buttonMovePoint, p.buttonMovePoint, ModeMovePoint},
        {p.buttonSelectMulti, p.buttonSelectMulti, ModeSelectMulti},
        {p.buttonModifAttrib, p.buttonModifAttrib, ModeModifAttrib},
        {p.buttonPan, p.buttonPan, ModePan},
        {p.buttonBucket, p.buttonBucket, ModeBucket},
        {p.buttonPicker, p.buttonPicker, ModePicker},
        // Action buttons run their command and keep the tool chosen before them.
        {p.buttonSnake, p.buttonPicker, ModePicker},
        {p.buttonSmooth, p.buttonPicker, ModePicker},
        {p.buttonSwitchColors, p.buttonPicker, ModePicker},
        {p.buttonContrastIncr, p.buttonPicker, ModePicker},
        {p.buttonStylize, p.buttonPicker, ModePicker},
        {p.buttonDrawCatmull, p.buttonDrawCatmull, ModeDrawCatmull},
    };
    const auto buttons = p.manipMode->findChildren<QPushButton*>();
    for (const Choice& choice : choices) {
        QTest::mouseClick(choice.clicked, Qt::LeftButton);
        const std::string name = choice.clicked->objectName().toStdString();
        EXPECT_EQ(viewer().mode(), choice.mode) << name;
        for (QPushButton* button : buttons)
            EXPECT_EQ(button->isChecked(), button == choice.checked)
                << name << " leaves " << button->objectName().toStdString();
        // The tool has one name: its tooltip's.
        EXPECT_EQ(p.statusLines().toolText(), choice.checked->toolTip())
            << name << ": " << p.statusLines().toolText().toStdString();
    }
    // A zoom button is a command, not a tool: the tool stays checked.
    QTest::mouseClick(p.buttonZoomIn, Qt::LeftButton);
    EXPECT_TRUE(p.buttonDrawCatmull->isChecked());
    EXPECT_FALSE(p.buttonZoomIn->isChecked());
}
