// Blur editing in the panel, without a dialog: the Blur slider edits a blur point or the
// selection's blur shift with a live preview; Return or a press elsewhere commits, Escape cancels.
#include <QSignalSpy>

#include "panel_fixture.h"

namespace {

QList<int> values(const QSignalSpy& spy)
{
    QList<int> found;
    for (const auto& args : spy)
        found << args.at(0).toInt();
    return found;
}

TEST_F(PanelTest, BlurPointEditPreviewsEachValueAndReturnCommitsIt)
{
    panel->setBlur(2);
    QSignalSpy preview(panel.get(), &Interface::blurEditPreviewed);
    QSignalSpy committed(panel.get(), &Interface::blurEditCommitted);
    QSignalSpy blur(panel.get(), &Interface::blurChanged);
    panel->editBlurPoint(9);
    EXPECT_TRUE(panel->isEditingBlur());
    EXPECT_EQ(panel->sliderBlur->value(), 9);
    EXPECT_EQ(panel->spinBlur->value(), 9) << "the value is shown as a number";
    EXPECT_EQ(panel->labelBlur->text(), "Point:");
    EXPECT_TRUE(panel->statusLines().outcomeText().contains("Escape cancels"));
    EXPECT_TRUE(preview.isEmpty()) << "showing the point's value previews nothing";

    panel->sliderBlur->setFocus();
    QTest::keyClick(panel->sliderBlur, Qt::Key_Right);
    QTest::keyClick(panel->sliderBlur, Qt::Key_End);
    panel->setBlur(4); // the viewer's report of the next strokes' blur, kept for later
    QTest::keyClick(panel->sliderBlur, Qt::Key_Return);

    EXPECT_EQ(values(preview), (QList<int>{10, 16}));
    EXPECT_EQ(values(committed), QList<int>{16});
    EXPECT_TRUE(blur.isEmpty()) << "the blur of the next strokes is not touched";
    EXPECT_FALSE(panel->isEditingBlur());
    EXPECT_EQ(panel->labelBlur->text(), "Blur:");
    EXPECT_EQ(panel->sliderBlur->value(), 4);
    EXPECT_EQ(panel->spinBlur->value(), 4);
}

TEST_F(PanelTest, BlurShiftRunsBothWaysAndEscapeCancelsIt)
{
    QSignalSpy preview(panel.get(), &Interface::blurEditPreviewed);
    QSignalSpy committed(panel.get(), &Interface::blurEditCommitted);
    QSignalSpy cancelled(panel.get(), &Interface::blurEditCancelled);
    QSignalSpy deselect(panel->actionDeselect, &QAction::triggered);
    panel->editBlurShift();
    EXPECT_EQ(panel->labelBlur->text(), "Shift:");
    EXPECT_EQ(panel->sliderBlur->minimum(), -16);
    EXPECT_EQ(panel->spinBlur->minimum(), -16);
    EXPECT_EQ(panel->sliderBlur->value(), 0);

    panel->spinBlur->setFocus();
    panel->spinBlur->selectAll();
    QTest::keyClicks(panel->spinBlur, "-5");
    QTest::keyClick(panel->spinBlur, Qt::Key_Escape);

    EXPECT_EQ(values(preview).last(), -5);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_TRUE(committed.isEmpty());
    EXPECT_TRUE(deselect.isEmpty()) << "Escape ended the edit only";
    EXPECT_EQ(panel->sliderBlur->minimum(), 0);
    EXPECT_EQ(panel->sliderBlur->value(), 0);

    // With no edit open, Escape deselects.
    QTest::keyClick(panel->sliderBlur, Qt::Key_Escape);
    EXPECT_EQ(deselect.count(), 1);
    EXPECT_EQ(cancelled.count(), 1);
}

// A press on another control commits first, then the control does its own work; presses on
// the slider and its number keep the edit open.
TEST_F(PanelTest, PressElsewhereOnThePanelCommitsTheBlurEdit)
{
    QSignalSpy committed(panel.get(), &Interface::blurEditCommitted);
    QSignalSpy splines(panel.get(), &Interface::showSplinesChanged);
    panel->editBlurPoint(3);
    QTest::mouseClick(panel->sliderBlur, Qt::LeftButton, {}, QPoint(2, 8));
    QTest::mouseClick(panel->spinBlur, Qt::LeftButton);
    EXPECT_TRUE(panel->isEditingBlur());
    EXPECT_TRUE(committed.isEmpty());

    click(panel->checkBoxShowSplines);
    EXPECT_FALSE(panel->isEditingBlur());
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.at(0).at(0).toInt(), panel->sliderBlur->minimum())
        << "the press at the slider's left end moved it there";
    EXPECT_EQ(splines.count(), 1);

    // The viewer may end the edit itself: the panel then sends nothing.
    panel->editBlurShift();
    panel->stopBlurEdit();
    panel->commitBlurEdit();
    EXPECT_EQ(committed.count(), 1);
    EXPECT_FALSE(panel->isEditingBlur());
}

TEST_F(PanelTest, ShowBitmapMirrorsTheViewerWithoutAnEcho)
{
    QSignalSpy shown(panel.get(), &Interface::showExampleImgChanged);
    panel->setExampleImgShown(true);
    EXPECT_TRUE(panel->checkBoxShowExampleImg->isChecked());
    panel->setExampleImgShown(false);
    EXPECT_FALSE(panel->checkBoxShowExampleImg->isChecked());
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
