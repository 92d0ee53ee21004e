// Help where the user looks: tooltips and status tips on every control, shown on hover even
// when the panel is not the active window; the blur number; the snap reach; the outcome line.
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolTip>

#include "panel_fixture.h"
#include "pointer.h"

namespace {

// The panel's controls: buttons, check boxes, sliders, spin boxes and the lines choice (not
// labels or lines).
QList<QWidget*> controls(Interface& panel)
{
    QList<QWidget*> found;
    for (QWidget* w : panel.centralwidget->findChildren<QWidget*>())
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w)
            || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w))
            found << w;
    return found;
}

TEST_F(PanelTest, EveryControlAndMenuEntryExplainsItself)
{
    const QList<QWidget*> all = controls(*panel);
    // 5 check boxes, 2 colour buttons, 3 sliders, 2 spin boxes, 17 tools, the lines choice
    EXPECT_EQ(all.size(), 30);
    for (QWidget* control : all) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_FALSE(control->toolTip().isEmpty());
        EXPECT_FALSE(control->statusTip().isEmpty());
    }
    // The two colour-side check boxes have no text: their tips say what they do.
    for (QCheckBox* side : {panel->checkBoxLeftColor, panel->checkBoxRightColor})
        EXPECT_TRUE(side->toolTip().contains("from the picture")) << side->toolTip().toStdString();
    for (QMenu* menu : {panel->menu_File, panel->menu_Edit}) {
        for (QAction* entry : menu->actions()) {
            if (!entry->isSeparator() && entry->menu() == nullptr) {
                EXPECT_FALSE(entry->statusTip().isEmpty()) << entry->objectName().toStdString();
            }
        }
    }
}

// The pointer over a control shows its status tip in the status bar, whichever window is active,
// and its tooltip after the usual delay; leaving it takes the tip away again.
TEST_F(PanelTest, HoverShowsTheStatusTipAndTooltipWithoutFocus)
{
    QWidget other;
    other.setGeometry(panel->geometry().translated(panel->width() + 40, 0));
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(panel->isActiveWindow());

    for (QWidget* control : {static_cast<QWidget*>(panel->checkBoxLeftColor),
                             static_cast<QWidget*>(panel->sliderLifetimeThreshold),
                             static_cast<QWidget*>(panel->spinSnapReach),
                             static_cast<QWidget*>(panel->buttonSmooth)}) {
        SCOPED_TRACE(control->objectName().toStdString());
        ASSERT_TRUE(test_support::hover(control));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return panel->statusbar->currentMessage() == control->statusTip(); }, 3000))
            << panel->statusbar->currentMessage().toStdString();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return QToolTip::isVisible() && QToolTip::text() == control->toolTip(); }, 3000));
        // Away from the panel, so that no tooltip lies over the next control.
        ASSERT_TRUE(test_support::hover(&other));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return panel->statusbar->currentMessage().isEmpty(); }, 3000));
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
    }
}

// A new outcome replaces the last one and a hover tip in sight; clearOutcome empties the line.
TEST_F(PanelTest, EachOutcomeReplacesTheLastAndCanBeCleared)
{
    panel->showOutcome("Saved drawing.xml");
    panel->statusbar->showMessage(panel->buttonSmooth->statusTip()); // as a hover does
    panel->showOutcome("Smoothed 2 curves");
    EXPECT_EQ(panel->statusLines().outcomeText(), "Smoothed 2 curves");
    EXPECT_TRUE(panel->statusbar->currentMessage().isEmpty());
    panel->clearOutcome();
    EXPECT_TRUE(panel->statusLines().outcomeText().isEmpty());
}

// The number beside the blur slider: the slider moves it, typing in it moves the slider, and
// the viewer hears each value once, from the slider.
TEST_F(PanelTest, BlurNumberAndSliderFollowEachOther)
{
    QSpinBox* number = panel->spinBlur;
    EXPECT_EQ(number->minimum(), panel->sliderBlur->minimum());
    EXPECT_EQ(number->maximum(), panel->sliderBlur->maximum());
    EXPECT_EQ(number->value(), 0);
    QSignalSpy blur(panel.get(), &Interface::blurChanged);

    panel->sliderBlur->setFocus();
    QTest::keyClick(panel->sliderBlur, Qt::Key_End);
    EXPECT_EQ(number->value(), 16);

    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, "7");
    EXPECT_EQ(panel->sliderBlur->value(), 7);
    QTest::keyClick(number, Qt::Key_Up);
    EXPECT_EQ(panel->sliderBlur->value(), 8);

    panel->setBlur(3); // the viewer's report
    EXPECT_EQ(number->value(), 3);

    QList<int> values;
    for (const auto& args : blur)
        values << args.at(0).toInt();
    EXPECT_EQ(values, (QList<int>{16, 7, 8, 3}));
}

TEST_F(PanelTest, SnapReachRunsFromTwoToThirtyPixels)
{
    QSpinBox* reach = panel->spinSnapReach;
    EXPECT_EQ(reach->value(), 3); // the reach snapping has always had
    EXPECT_EQ(reach->suffix(), " px");
    QSignalSpy changes(panel.get(), &Interface::snapReachChanged);
    reach->setFocus();
    QTest::keyClick(reach, Qt::Key_PageDown); // ten steps down, held at the minimum
    QTest::keyClick(reach, Qt::Key_Up);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(reach, Qt::Key_PageUp); // held at the maximum
    QList<int> values;
    for (const auto& args : changes)
        values << args.at(0).toInt();
    EXPECT_EQ(values, (QList<int>{2, 3, 13, 23, 30}));
}

} // namespace

// Every status tip fits the status bar at the panel's default width, wrapped over its lines, and
// a tip shown there is shown whole, in place of the outcome and tool lines.
TEST_F(PanelTest, StatusTipsFitThePanelsWidthWrapped)
{
    QStringList tips;
    for (QWidget* control : controls(*panel))
        tips << control->statusTip();
    for (QMenu* menu : {panel->menu_File, panel->menu_Edit, panel->menu_Help})
        for (QAction* entry : menu->actions())
            if (!entry->isSeparator() && entry->menu() == nullptr)
                tips << entry->statusTip();
    for (const QString& tip : tips)
        EXPECT_TRUE(panel->statusLines().tipFits(tip))
            << tip.toStdString() << " (" << panel->fontMetrics().horizontalAdvance(tip) << " px in "
            << panel->width() << ", line " << panel->fontMetrics().lineSpacing() << ")";
    // A tip far too long for the bar is told apart.
    EXPECT_FALSE(panel->statusLines().tipFits(tips.join(' ')));

    const QString tip = panel->buttonSelectMulti->statusTip();
    panel->statusbar->showMessage(tip); // as a hover does
    EXPECT_EQ(panel->statusLines().tipText(), tip);
    panel->statusbar->clearMessage();
    EXPECT_TRUE(panel->statusLines().tipText().isEmpty());
}

// The choice beside Show Splines reports whose lines are drawn.
TEST_F(PanelTest, SplineLinesChoiceIsReported)
{
    QSignalSpy chosen(panel.get(), &Interface::splineLinesChanged);
    EXPECT_EQ(panel->comboSplineLines->currentIndex(), int(PanelLines::Auto));
    panel->comboSplineLines->setCurrentIndex(int(PanelLines::Selected));
    panel->comboSplineLines->setCurrentIndex(int(PanelLines::All));
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen[0][0].value<PanelLines>(), PanelLines::Selected);
    EXPECT_EQ(chosen[1][0].value<PanelLines>(), PanelLines::All);
}

// The Iterations and Lifetime sliders show their values beside them.
TEST_F(PanelTest, SliderValuesAreShown)
{
    EXPECT_EQ(panel->labelIterValue->text(), QString::number(panel->sliderIter->value()));
    EXPECT_EQ(panel->labelLifetimeValue->text(),
              QString::number(panel->sliderLifetimeThreshold->value()));
    panel->sliderIter->setFocus();
    QTest::keyClick(panel->sliderIter, Qt::Key_End);
    EXPECT_EQ(panel->labelIterValue->text(), "20");
    panel->sliderLifetimeThreshold->setValue(12);
    EXPECT_EQ(panel->labelLifetimeValue->text(), "12");
}
