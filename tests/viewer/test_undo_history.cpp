// Undo and redo on the real viewer driven by mouse and keys: every edit is one step, undoing it
// gives back the saved drawing byte for byte, and the history stays consistent with the
// selection.
#include "test_mouse_support.h"

#include "curve_set_xml.h"
#include "curve_set_selection.h"

#include <cmath>

namespace {

// A gentle S across the canvas, one position per mouse event, shifted down by `offset` pixels.
QVector<QPoint> wavyStroke(int positions, int offset = 0)
{
    QVector<QPoint> points;
    for (int i = 0; i < positions; ++i) {
        const double s = i / double(positions - 1);
        points << QPoint(100 + qRound(300 * s), 150 + offset + qRound(40 * std::sin(6.28 * s)));
    }
    return points;
}

} // namespace

class UndoHistory : public EditingViewer {
protected:
    // The drawing as its file would hold it.
    QByteArray savedXml() const { return writeCurveSetXml(viewer->curves()); }
    DrawingHistory& history() { return viewer->document().history(); }

    void drawStroke(const QVector<QPoint>& points)
    {
        press(points.front());
        for (int i = 1; i < points.size(); ++i)
            moveTo(points[i]);
        release(points.back());
    }
    // A drag of the left button from `from` to `to` in `steps` mouse moves.
    void drag(const QPoint& from, const QPoint& to, int steps = 5)
    {
        press(from);
        for (int i = 1; i <= steps; ++i)
            moveTo(from + (to - from) * i / steps);
        release(to);
    }
    // An arch across the middle and a straight curve higher up, as the file would hold them.
    void addTwoCurves()
    {
        addCurve(makeCurve({Point(-0.5, 0.0), Point(-0.2, 0.3), Point(0.2, 0.3), Point(0.5, 0.0)},
                           QColor(200, 30, 30), QColor(20, 40, 220), 2));
        addCurve(makeLine(Point(-0.5, 0.6), Point(0.5, 0.6)));
    }
    // Undo then redo the last step, checking the drawing against the XML before and after it.
    void expectUndoRedoRestore(const QByteArray& before, const QByteArray& after)
    {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(savedXml(), before);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(savedXml(), after);
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(savedXml(), before);
        key(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(savedXml(), after);
    }
};

TEST_F(UndoHistory, StrokeIsOneStepUndoneAndRedoneExactly)
{
    viewer->changeManipMode(ModeDrawCatmull);
    const QByteArray before = savedXml();
    drawStroke(wavyStroke(40));
    ASSERT_EQ(doc().nb_curves, 1);
    const QByteArray after = savedXml();
    ASSERT_NE(after, before);
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), "Stroke");
    EXPECT_TRUE(viewer->document().isModified());

    expectUndoRedoRestore(before, after);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_FALSE(viewer->document().isModified()) << "back at the state of the new drawing";
}

TEST_F(UndoHistory, DragOfACurveIsOneStepWhateverTheNumberOfMoves)
{
    addTwoCurves();
    viewer->changeManipMode(ModeMovePoint);
    const QPoint onArch = pixelOf(doc().curve(0).pointAt(0.5, 0));
    click(onArch);
    ASSERT_EQ(doc().current_curve, 0);
    ASSERT_EQ(history().count(), 0) << "choosing a curve is not a step";

    const QByteArray before = savedXml();
    drag(onArch, onArch + QPoint(30, -20), 12);
    ASSERT_TRUE(near(doc().curve(0).controlPoint(0), Point(-0.5 + 30.0 / 256, 20.0 / 256), 1e-9));
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), "Move Curve");
    expectUndoRedoRestore(before, savedXml());
}

TEST_F(UndoHistory, DragOfAControlPointIsOneStep)
{
    addTwoCurves();
    viewer->changeManipMode(ModeMovePoint);
    click(pixelOf(doc().curve(0).pointAt(0.5, 0)));
    ASSERT_EQ(doc().current_curve, 0);
    const QByteArray before = savedXml();
    const QPoint endPoint = pixelOf(Point(0.5, 0.0));
    drag(endPoint, endPoint + QPoint(20, 30), 8);
    ASSERT_FALSE(near(doc().curve(0).controlPoint(3), Point(0.5, 0.0), 1e-3));
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), "Move Point");
    expectUndoRedoRestore(before, savedXml());
}

TEST_F(UndoHistory, DragOfAMultiSelectionIsOneStep)
{
    for (int i = 0; i < 3; ++i)
        addCurve(makeLine(Point(-0.6 + 0.5 * i, -0.5), Point(-0.6 + 0.5 * i, 0.5)));
    viewer->changeManipMode(ModeSelectMulti);
    click(pixelOf(Point(-0.6, 0.0)), Qt::LeftButton, Qt::ShiftModifier);
    click(pixelOf(Point(0.4, 0.0)), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(doc().selection, QVector<int>({0, 2}));
    const QByteArray before = savedXml();
    const QPoint grab = pixelOf(Point(0.4, 0.1));
    drag(grab, grab + QPoint(32, 0), 6);
    ASSERT_TRUE(near(doc().curve(0).controlPoint(0), Point(-0.475, -0.5), 1e-9));
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), "Move Selection");
    expectUndoRedoRestore(before, savedXml());
    EXPECT_EQ(doc().selection, QVector<int>({0, 2})) << "the selection is not undone";
}

TEST_F(UndoHistory, DeleteIsUndoneAndRedoneExactly)
{
    addTwoCurves();
    viewer->changeManipMode(ModeMovePoint);
    click(pixelOf(doc().curve(0).pointAt(0.5, 0)));
    ASSERT_EQ(doc().current_curve, 0);
    const QByteArray before = savedXml();
    key(Qt::Key_Delete);
    ASSERT_EQ(doc().nb_curves, 1);
    EXPECT_EQ(history().undoText(), "Delete");
    expectUndoRedoRestore(before, savedXml());
}

// The viewer before its first show: the same widget and history, without the re-solves, so that
// a long series of edits stays quick.
class UnshownViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLifetimeThreshold(0);
        viewer = std::make_unique<Viewer>();
        commands = std::make_unique<EditorCommands>(*viewer);
        viewer->setDialogs(std::make_unique<ScriptedDialogs>());
        ASSERT_FALSE(viewer->isGLReady());
    }
    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(pos), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewer.get(), &event);
    }
    void drawStroke(const QVector<QPoint>& points)
    {
        send(QEvent::MouseButtonPress, points.front(), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i < points.size(); ++i)
            send(QEvent::MouseMove, points[i], Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, points.back(), Qt::LeftButton, Qt::NoButton);
    }
    CurveSet& doc() { return viewer->curves(); }
    void TearDown() override
    {
        commands.reset();
        viewer.reset();
    }
    std::unique_ptr<Viewer> viewer;
    std::unique_ptr<EditorCommands> commands;
};

TEST_F(UnshownViewer, FiftyEditsUndoneToTheStartGiveTheEmptyDrawing)
{
    const QByteArray empty = writeCurveSetXml(doc());
    viewer->changeManipMode(ModeDrawCatmull);
    for (int i = 0; i < 5; ++i)
        drawStroke(wavyStroke(24, 40 * i));
    ASSERT_EQ(doc().nb_curves, 5);
    ASSERT_EQ(viewer->document().history().count(), 5);
    // 45 more edits, each on one of the curves made current by the document.
    int edits = 5;
    for (int i = 0; edits < 50; ++i) {
        doc().setCurrentCurve(i % 5);
        switch (i % 9) {
        case 0: commands->edits.smoothSplines(); break;
        case 1: commands->edits.increaseContrast(); break;
        case 2: commands->edits.switchColors(); break;
        case 3: commands->edits.stylizeSplines(); break;
        case 4: viewer->settings().setBlur(1 + i % 7); break;
        case 5: viewer->settings().setLeftColor(QColor(i * 5, 200, 10)); break;
        case 6: commands->edits.setGlobalBlur(1); break;
        case 7:
            commands->edits.copySplines();
            commands->edits.pasteSplines();
            break;
        case 8: commands->edits.decreaseContrast(); break;
        }
        ++edits;
        ASSERT_EQ(viewer->document().history().count(), edits)
            << "edit " << i % 9 << " made no single step";
    }
    const QByteArray edited = writeCurveSetXml(doc());
    for (int i = 0; i < 50; ++i)
        viewer->document().undo();
    EXPECT_FALSE(viewer->document().history().canUndo());
    EXPECT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(writeCurveSetXml(doc()), empty);
    EXPECT_FALSE(viewer->document().isModified());
    // And all the way forward again.
    for (int i = 0; i < 50; ++i)
        viewer->document().redo();
    EXPECT_EQ(writeCurveSetXml(doc()), edited);
}

TEST_F(UndoHistory, UndoLeavesTheSelectionNamingExistingCurves)
{
    addTwoCurves();
    viewer->changeManipMode(ModeSelectMulti);
    toggleSelection(doc(), 0);
    toggleSelection(doc(), 1);
    commands->edits.copySplines();
    commands->edits.pasteSplines();
    ASSERT_EQ(doc().nb_curves, 4);
    ASSERT_EQ(doc().selection, QVector<int>({2, 3}));
    viewer->document().undo();
    EXPECT_EQ(doc().nb_curves, 2);
    for (int index : doc().selection)
        EXPECT_LT(index, doc().nb_curves);
    EXPECT_LT(doc().current_curve, doc().nb_curves);
    // Deleting the selection after the undo must not touch a curve that is gone.
    key(Qt::Key_Delete);
    EXPECT_EQ(doc().nb_curves, 2 - doc().selection.size());
}

TEST_F(UndoHistory, SelectionAndViewChangesAreNoSteps)
{
    addTwoCurves();
    viewer->changeManipMode(ModeSelectMulti);
    click(pixelOf(Point(0.0, 0.6)), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(doc().selection.size(), 1);
    viewer->navigation().zoomIn();
    viewer->settings().showAttrib(true);
    viewer->changeManipMode(ModeMovePoint);
    click(pixelOf(Point(0.0, 0.6)));
    EXPECT_EQ(history().count(), 0);
    EXPECT_FALSE(viewer->document().isModified());
}

TEST_F(UndoHistory, ContextMenuEditsAreSteps)
{
    addTwoCurves();
    viewer->changeManipMode(ModeMovePoint);
    const QPoint onArch = pixelOf(doc().curve(0).pointAt(0.5, 0));
    click(onArch);
    const QByteArray before = savedXml();
    dialogs->menuChoice = "Split the curve";
    click(onArch, Qt::RightButton);
    ASSERT_EQ(doc().nb_curves, 3);
    EXPECT_EQ(history().undoText(), "Split the curve");
    expectUndoRedoRestore(before, savedXml());
}

TEST_F(UndoHistory, ClearWithRIsAStep)
{
    addTwoCurves();
    viewer->settings().setBlur(3); // no current curve: nothing saved changes
    EXPECT_EQ(history().count(), 0);
    doc().setCurrentCurve(1);
    viewer->settings().setBlur(5);
    const QByteArray before = savedXml();
    key(Qt::Key_R);
    ASSERT_EQ(doc().nb_curves, 0);
    EXPECT_EQ(history().undoText(), "Clear");
    viewer->document().undo();
    EXPECT_EQ(savedXml(), before);
}

TEST_F(UndoHistory, UndoDuringADragEndsTheDragAndUndoesIt)
{
    addTwoCurves();
    viewer->changeManipMode(ModeMovePoint);
    const QPoint onArch = pixelOf(doc().curve(0).pointAt(0.5, 0));
    click(onArch);
    const QByteArray before = savedXml();
    press(onArch);
    moveTo(onArch + QPoint(10, 10));
    moveTo(onArch + QPoint(20, 20));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(savedXml(), before);
    EXPECT_FALSE(doc().dragging);
    // The rest of the drag moves nothing; its release adds no step.
    moveTo(onArch + QPoint(40, 40));
    release(onArch + QPoint(40, 40));
    EXPECT_EQ(savedXml(), before);
    EXPECT_EQ(history().count(), 1);
    EXPECT_TRUE(history().canRedo());
}

// Before the first show no GL work happens, so many edits are cheap: the history stops at its
// limit and forgets the oldest steps.
TEST(UndoLimit, OldestStepsAreForgottenBeyondTheLimit)
{
    Viewer viewer;
    viewer.curves().addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.0)));
    viewer.curves().setCurrentCurve(0);
    const int edits = Document::kUndoLimit + 20;
    for (int i = 1; i <= edits; ++i)
        viewer.settings().setLeftColor(QColor(i % 256, i / 256, 7));
    EXPECT_EQ(viewer.document().history().count(), Document::kUndoLimit);
    while (viewer.document().history().canUndo())
        viewer.document().undo();
    // The 20 oldest steps are gone: the drawing is as after edit 20.
    EXPECT_EQ(viewer.curves().curve(0).default_left_color, QColor(20, 0, 7));
}

TEST_F(UnshownViewer, ValuesOfOneSliderDragMakeOneStep)
{
    doc().addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.0)));
    doc().setCurrentCurve(0);
    for (int value = 1; value <= 9; ++value)
        viewer->settings().setBlur(value);
    EXPECT_EQ(viewer->document().history().count(), 1);
    EXPECT_EQ(viewer->document().history().undoText(), "Blur");
    viewer->document().undo();
    EXPECT_EQ(doc().curve(0).default_blur, 0);
    viewer->document().redo();
    EXPECT_EQ(doc().curve(0).default_blur, 9);

    // Another kind of edit in between starts a new step; a drag back to the start is no step.
    commands->edits.switchColors();
    viewer->settings().setBlur(4);
    viewer->settings().setBlur(9);
    EXPECT_EQ(viewer->document().history().count(), 2) << "9 -> 4 -> 9 changed nothing";
    EXPECT_EQ(viewer->document().history().undoText(), "Switch Colors");
}
