// Sliders, display check boxes and the rule that keeps one colour side active.
#include <QRandomGenerator>
#include <QSignalSpy>

#include "panel_fixture.h"

namespace {

struct SliderCase {
    const char* slider;
    void (Interface::*signal)(int);
    int minimum, maximum, initial;
};

void PrintTo(const SliderCase& c, std::ostream* os) { *os << c.slider; }

class SliderTest : public PanelTest, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(SliderTest, RangeAndInitialValue)
{
    auto* slider = panel->findChild<QSlider*>(GetParam().slider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), GetParam().minimum);
    EXPECT_EQ(slider->maximum(), GetParam().maximum);
    EXPECT_EQ(slider->value(), GetParam().initial);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
}

// Keys move the slider as a user would; the signal carries each value, ends included.
TEST_P(SliderTest, SignalCarriesTheValuesTheUserReaches)
{
    auto* slider = panel->findChild<QSlider*>(GetParam().slider);
    ASSERT_NE(slider, nullptr);
    QSignalSpy spy(panel.get(), GetParam().signal);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_Home);
    QTest::keyClick(slider, Qt::Key_Right);
    QList<int> values;
    for (const auto& args : spy)
        values << args.at(0).toInt();
    const int lo = GetParam().minimum, hi = GetParam().maximum;
    EXPECT_EQ(values, (QList<int>{hi, hi - 1, lo, lo + 1}));
}

INSTANTIATE_TEST_SUITE_P(
    ThreeSliders, SliderTest,
    ::testing::Values(SliderCase{"sliderIter", &Interface::iterChanged, 1, 20, 3},
                      SliderCase{"sliderLifetimeThreshold", &Interface::lifetimeThresholdChanged, 0,
                                 30, 0},
                      SliderCase{"sliderBlur", &Interface::blurChanged, 0, 16, 0}),
    [](const ::testing::TestParamInfo<SliderCase>& info) {
        return std::string(info.param.slider);
    });

TEST_F(PanelTest, SetBlurMovesTheSliderWhichReportsOnlyAChange)
{
    QSignalSpy blur(panel.get(), &Interface::blurChanged);
    panel->setBlur(5);
    EXPECT_EQ(panel->sliderBlur->value(), 5);
    panel->setBlur(5); // no movement, nothing to report
    ASSERT_EQ(blur.count(), 1);
    EXPECT_EQ(blur.at(0).at(0).toInt(), 5);
}

TEST_F(PanelTest, SetBlurOutOfRangeLandsOnTheSliderEnds)
{
    QSignalSpy blur(panel.get(), &Interface::blurChanged);
    panel->setBlur(40);
    EXPECT_EQ(panel->sliderBlur->value(), 16);
    panel->setBlur(-3);
    EXPECT_EQ(panel->sliderBlur->value(), 0);
    ASSERT_EQ(blur.count(), 2);
    EXPECT_EQ(blur.at(0).at(0).toInt(), 16);
    EXPECT_EQ(blur.at(1).at(0).toInt(), 0);
}

struct DisplayBoxCase {
    const char* box;
    void (Interface::*signal)(bool);
    bool initiallyChecked;
};

void PrintTo(const DisplayBoxCase& c, std::ostream* os) { *os << c.box; }

class DisplayBoxTest : public PanelTest, public ::testing::WithParamInterface<DisplayBoxCase> {};

TEST_P(DisplayBoxTest, ClickReportsTheNewStateEachTime)
{
    auto* box = panel->findChild<QCheckBox*>(GetParam().box);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->isChecked(), GetParam().initiallyChecked);
    QSignalSpy spy(panel.get(), GetParam().signal);
    click(box);
    click(box);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toBool(), !GetParam().initiallyChecked);
    EXPECT_EQ(spy.at(1).at(0).toBool(), GetParam().initiallyChecked);
}

TEST_P(DisplayBoxTest, PartlyCheckedStateReportsNothing)
{
    auto* box = panel->findChild<QCheckBox*>(GetParam().box);
    ASSERT_NE(box, nullptr);
    QSignalSpy spy(panel.get(), GetParam().signal);
    box->setTristate(true);
    box->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(spy.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(ThreeDisplayBoxes, DisplayBoxTest,
                         ::testing::Values(DisplayBoxCase{"checkBoxShowSplines",
                                                          &Interface::showSplinesChanged, true},
                                           DisplayBoxCase{"checkBoxShowExampleImg",
                                                          &Interface::showExampleImgChanged, false},
                                           DisplayBoxCase{"checkBoxActivateBlur",
                                                          &Interface::activateBlurChanged, false}),
                         [](const ::testing::TestParamInfo<DisplayBoxCase>& info) {
                             return std::string(info.param.box);
                         });

TEST_F(PanelTest, UntickingOneColourSideKeepsTheOtherActive)
{
    SignalLog log(*panel);
    click(panel->checkBoxLeftColor);
    EXPECT_FALSE(panel->checkBoxLeftColor->isChecked());
    EXPECT_TRUE(panel->checkBoxRightColor->isChecked());
    EXPECT_EQ(log.lines, (QStringList{"cright true", "cleft false"}));
}

TEST_F(PanelTest, UntickingTheLastColourSideTicksTheOtherOne)
{
    click(panel->checkBoxLeftColor);
    SignalLog log(*panel);
    click(panel->checkBoxRightColor);
    EXPECT_TRUE(panel->checkBoxLeftColor->isChecked());
    EXPECT_FALSE(panel->checkBoxRightColor->isChecked());
    // The viewer ends with the left side on and the right side off.
    ASSERT_FALSE(log.lines.isEmpty());
    EXPECT_EQ(log.lines.last(), "cright false");
    EXPECT_EQ(log.lines.lastIndexOf("cleft true"), log.lines.size() - 2);
    EXPECT_FALSE(log.lines.contains("cleft false"));
}

TEST_F(PanelTest, BothColourBoxesAreNeverUncheckedTogether)
{
    QRandomGenerator random(7);
    for (int i = 0; i < 40; ++i) {
        click(random.bounded(2) ? panel->checkBoxLeftColor : panel->checkBoxRightColor);
        ASSERT_TRUE(panel->checkBoxLeftColor->isChecked() || panel->checkBoxRightColor->isChecked())
            << "after click " << i;
    }
    // Programmatic changes obey the same rule.
    panel->checkBoxLeftColor->setChecked(false);
    panel->checkBoxRightColor->setChecked(false);
    EXPECT_TRUE(panel->checkBoxLeftColor->isChecked());
}

} // namespace
