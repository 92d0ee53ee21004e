// Colour swatches, the colour dialog seam and the viewer's colour requests.
#include <QApplication>
#include <QColorDialog>
#include <QSignalSpy>

#include "color_dialog_answer.h"
#include "panel_fixture.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kInitialRight(130, 25, 25);
const QColor kInitialBucket(130, 210, 25);
const QColor kTeal(10, 200, 180);

const QSize kSideSwatch(10, 10);
const QSize kBucketSwatch(12, 25);

TEST_F(PanelTest, SwatchesShowTheInitialColoursAtTheirSizes)
{
    EXPECT_EQ(swatchColor(panel->buttonLeftColor, kSideSwatch), kWhite);
    EXPECT_EQ(swatchColor(panel->buttonRightColor, kSideSwatch), kInitialRight);
    EXPECT_EQ(swatchColor(panel->buttonBucketColor, kBucketSwatch), kInitialBucket);
    EXPECT_TRUE(panel->buttonLeftColor->icon().availableSizes().contains(kSideSwatch));
    EXPECT_TRUE(panel->buttonBucketColor->icon().availableSizes().contains(kBucketSwatch));
}

struct SideCase {
    const char* name;
    QPushButton* Ui_MainWindow::*button;
    void (Interface::*changed)(QColor);
    QColor initial;
    QSize swatchSize;
};

void PrintTo(const SideCase& c, std::ostream* os) { *os << c.name; }

class ColorButtonTest : public PanelTest, public ::testing::WithParamInterface<SideCase> {
protected:
    QPushButton* button() { return panel.get()->*GetParam().button; }
};

TEST_P(ColorButtonTest, ChosenColourIsSentAndShown)
{
    QSignalSpy changed(panel.get(), GetParam().changed);
    answer = kTeal;
    click(button());
    ASSERT_EQ(seeds.size(), 1);
    EXPECT_EQ(seeds.at(0), GetParam().initial);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QColor>(), kTeal);
    EXPECT_EQ(swatchColor(button(), GetParam().swatchSize), kTeal);

    // The next dialog starts from the colour just chosen.
    answer = QColor();
    click(button());
    ASSERT_EQ(seeds.size(), 2);
    EXPECT_EQ(seeds.at(1), kTeal);
}

TEST_P(ColorButtonTest, CancelledDialogChangesNothing)
{
    QSignalSpy changed(panel.get(), GetParam().changed);
    answer = QColor();
    click(button());
    EXPECT_EQ(seeds.size(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(swatchColor(button(), GetParam().swatchSize), GetParam().initial);
}

INSTANTIATE_TEST_SUITE_P(
    ThreeSwatches, ColorButtonTest,
    ::testing::Values(SideCase{"Left", &Ui_MainWindow::buttonLeftColor,
                               &Interface::leftColorChanged, kWhite, kSideSwatch},
                      SideCase{"Right", &Ui_MainWindow::buttonRightColor,
                               &Interface::rightColorChanged, kInitialRight, kSideSwatch},
                      SideCase{"Bucket", &Ui_MainWindow::buttonBucketColor,
                               &Interface::bucketColorChanged, kInitialBucket, kBucketSwatch}),
    [](const ::testing::TestParamInfo<SideCase>& info) { return std::string(info.param.name); });

// The viewer reports colours back (the picker, the current curve's colours): the panel stores and
// shows them but must not send them again, or they would loop back to the viewer.
TEST_F(PanelTest, ColoursFromTheViewerAreStoredAndShownWithoutEcho)
{
    QSignalSpy left(panel.get(), &Interface::leftColorChanged);
    QSignalSpy right(panel.get(), &Interface::rightColorChanged);
    QSignalSpy bucket(panel.get(), &Interface::bucketColorChanged);
    const QColor picked(40, 50, 60);
    panel->setBucketColor(picked);
    panel->setLeftColor(QColor(1, 2, 3));
    panel->setRightColor(QColor(4, 5, 6));
    EXPECT_EQ(left.count() + right.count() + bucket.count(), 0);
    EXPECT_EQ(swatchColor(panel->buttonBucketColor, kBucketSwatch), picked);
    EXPECT_EQ(swatchColor(panel->buttonLeftColor, kSideSwatch), QColor(1, 2, 3));
    EXPECT_EQ(swatchColor(panel->buttonRightColor, kSideSwatch), QColor(4, 5, 6));

    click(panel->buttonBucketColor); // cancelled
    ASSERT_EQ(seeds.size(), 1);
    EXPECT_EQ(seeds.at(0), picked);
}

TEST_F(PanelTest, ControlPointColourRequestsAnswerWithTheChoice)
{
    QSignalSpy leftAnswer(panel.get(), &Interface::controlPointLeftColorChanged);
    QSignalSpy rightAnswer(panel.get(), &Interface::controlPointRightColorChanged);
    QSignalSpy panelLeft(panel.get(), &Interface::leftColorChanged);
    const QColor seed(90, 91, 92);
    answer = kTeal;
    panel->changeControlPointLeftColor(seed);
    ASSERT_EQ(seeds.size(), 1);
    EXPECT_EQ(seeds.at(0), seed);
    ASSERT_EQ(leftAnswer.count(), 1);
    EXPECT_EQ(leftAnswer.at(0).at(0).value<QColor>(), kTeal);
    EXPECT_EQ(rightAnswer.count(), 0);
    // The panel's own colour is untouched.
    EXPECT_EQ(panelLeft.count(), 0);
    EXPECT_EQ(swatchColor(panel->buttonLeftColor, kSideSwatch), kWhite);
}

TEST_F(PanelTest, CancelledControlPointRequestsAnswerWithTheSeed)
{
    QSignalSpy leftAnswer(panel.get(), &Interface::controlPointLeftColorChanged);
    QSignalSpy rightAnswer(panel.get(), &Interface::controlPointRightColorChanged);
    const QColor leftSeed(12, 34, 56), rightSeed(65, 43, 21);
    answer = QColor();
    panel->changeControlPointRightColor(rightSeed);
    panel->changeControlPointLeftColor(leftSeed);
    ASSERT_EQ(rightAnswer.count(), 1);
    EXPECT_EQ(rightAnswer.at(0).at(0).value<QColor>(), rightSeed);
    ASSERT_EQ(leftAnswer.count(), 1);
    EXPECT_EQ(leftAnswer.at(0).at(0).value<QColor>(), leftSeed);
    EXPECT_EQ(swatchColor(panel->buttonRightColor, kSideSwatch), kInitialRight);
}

using test_support::answerNextColorDialog;

// The production path: with no chooser installed the real colour dialog runs.
TEST_F(PanelTest, DefaultChooserIsTheColourDialog)
{
    panel->setColorChooser(nullptr);
    QSignalSpy left(panel.get(), &Interface::leftColorChanged);
    answerNextColorDialog(QColor());
    click(panel->buttonLeftColor);
    EXPECT_EQ(left.count(), 0);

    answerNextColorDialog(kTeal);
    click(panel->buttonLeftColor);
    ASSERT_EQ(left.count(), 1);
    EXPECT_EQ(left.at(0).at(0).value<QColor>(), kTeal);
    EXPECT_EQ(swatchColor(panel->buttonLeftColor, kSideSwatch), kTeal);
}

} // namespace
