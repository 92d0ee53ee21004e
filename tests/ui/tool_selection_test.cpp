// Each tool button sets the viewer's mode and display flags; clicks go through the real buttons.
#include <QSet>
#include <QSignalSpy>

#include "panel_fixture.h"

namespace {

struct ToolCase {
    const char* button;
    QStringList expected; // SignalLog lines after one click, with "Show Splines" ticked
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.button; }

const QStringList kMoveMode{"attrib false", "mode 0", "splines true"};
const QStringList kMultiMode{"attrib false", "attrib false", "mode 3"};
const QStringList kShowAttribs{"splines true", "attrib true"};

class ToolButtonTest : public PanelTest, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(ToolButtonTest, ClickEmitsModeAndDisplayFlagsInOrder)
{
    auto* button = panel->manipMode->findChild<QPushButton*>(GetParam().button);
    ASSERT_NE(button, nullptr);
    SignalLog log(*panel);
    click(button);
    EXPECT_EQ(log.lines, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryToolButton, ToolButtonTest,
    ::testing::Values(
        ToolCase{"buttonMovePoint", kMoveMode}, ToolCase{"buttonSnake", kMoveMode},
        ToolCase{"buttonSampleExample", {"attrib false", "mode 0"}},
        ToolCase{"buttonModifAttrib", QStringList{"attrib false", "mode 2"} + kShowAttribs},
        ToolCase{"buttonSelectMulti", {"attrib false", "mode 3"}},
        ToolCase{"buttonDrawCatmull", {"attrib false", "mode 4"}},
        ToolCase{"buttonPan", {"attrib false", "mode 6"}},
        ToolCase{"buttonBucket", QStringList{"attrib false", "mode 8"} + kShowAttribs},
        ToolCase{"buttonBucketColor", QStringList{"attrib false", "mode 8"} + kShowAttribs},
        ToolCase{"buttonPicker", QStringList{"attrib false", "mode 9"} + kShowAttribs},
        // Switching colours ends in colour selection with the attribute points shown.
        ToolCase{"buttonSwitchColors",
                 QStringList{"attrib false", "attrib false", "mode 2"} + kShowAttribs},
        ToolCase{"buttonStylize", kMultiMode}, ToolCase{"buttonSmooth", kMultiMode},
        ToolCase{"buttonContrastIncr", kMultiMode}, ToolCase{"buttonContrastDecr", kMultiMode},
        ToolCase{"buttonZoomIn", {"attrib false"}}, ToolCase{"buttonZoomOut", {"attrib false"}}),
    [](const ::testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.button); });

// The buttons that choose a mode are checkable and exclusive, so the active tool shows; the
// one-shot commands are not.
TEST_F(PanelTest, EveryButtonOfTheToolFrameIsAToolAndOnlyModeButtonsAreCheckable)
{
    const QSet<QString> modeButtons{"buttonDrawCatmull", "buttonMovePoint", "buttonSelectMulti",
                                    "buttonModifAttrib", "buttonPan",       "buttonBucket",
                                    "buttonPicker"};
    const auto buttons = panel->manipMode->findChildren<QPushButton*>();
    EXPECT_EQ(buttons.size(), 17);
    for (QPushButton* button : buttons) {
        const QString name = button->objectName();
        EXPECT_EQ(button->isCheckable(), modeButtons.contains(name)) << name.toStdString();
        EXPECT_FALSE(button->isChecked()) << name.toStdString();
        EXPECT_FALSE(button->toolTip().isEmpty()) << name.toStdString();
    }
    EXPECT_EQ(panel->toolText(), "No tool chosen");
}

TEST_F(PanelTest, EachToolChoiceChecksItsModeButtonAlone)
{
    const auto buttons = panel->manipMode->findChildren<QPushButton*>();
    QSignalSpy modes(panel.get(), &Interface::manipModeChanged);
    for (QPushButton* button : buttons) {
        if (button == panel->buttonBucketColor)
            continue; // opens a colour dialog as well
        modes.clear();
        click(button);
        const std::string name = button->objectName().toStdString();
        if (modes.isEmpty())
            continue; // zoom buttons choose no mode
        const auto mode = modes.last().at(0).value<ManipulationMode>();
        QAbstractButton* shown = panel->buttonOfMode(mode);
        ASSERT_NE(shown, nullptr) << name;
        for (QPushButton* other : buttons)
            EXPECT_EQ(other->isChecked(), other == shown)
                << name << " / " << other->objectName().toStdString();
        EXPECT_NE(panel->toolText(), "No tool chosen") << name;
    }
}

TEST_F(PanelTest, StatusBarShowsTheLastOutcome)
{
    panel->showOutcome("Saved drawing.xml");
    EXPECT_EQ(panel->outcomeText(), "Saved drawing.xml");
    panel->showOutcome("Could not save drawing.xml: No space left on device");
    EXPECT_EQ(panel->outcomeText(), "Could not save drawing.xml: No space left on device");
    EXPECT_TRUE(panel->statusbar->isVisible());
}

TEST_F(PanelTest, HiddenSplinesStayHiddenWhenDrawingOrSelecting)
{
    SignalLog log(*panel);
    click(panel->checkBoxShowSplines); // untick
    ASSERT_FALSE(panel->checkBoxShowSplines->isChecked());
    EXPECT_EQ(log.lines, QStringList{"splines false"});

    log.lines.clear();
    click(panel->buttonDrawCatmull);
    EXPECT_EQ(log.lines, (QStringList{"attrib false", "mode 4", "splines false"}));

    log.lines.clear();
    click(panel->buttonSmooth);
    EXPECT_EQ(log.lines, (QStringList{"attrib false", "attrib false", "mode 3", "splines false"}));
}

TEST_F(PanelTest, ForcedSplinesDoNotTickTheCheckBox)
{
    panel->checkBoxShowSplines->setChecked(false);
    SignalLog log(*panel);
    click(panel->buttonMovePoint);
    EXPECT_EQ(log.lines, kMoveMode);
    EXPECT_FALSE(panel->checkBoxShowSplines->isChecked());
}

// The entry point connects one-shot buttons straight to the viewer; that slot runs before the
// panel switches the mode, so smoothing happens first and multi-selection follows.
TEST_F(PanelTest, OneShotCommandRunsBeforeTheModeSwitch)
{
    SignalLog log(*panel);
    QObject::connect(panel->buttonSmooth, &QPushButton::clicked, panel.get(),
                     [&log] { log.lines << "smoothSplines"; });
    click(panel->buttonSmooth);
    EXPECT_EQ(log.lines, QStringList{"smoothSplines"} + kMultiMode);
}

TEST_F(PanelTest, ModeTravelsAsManipulationModeThroughSignalSpy)
{
    QSignalSpy modes(panel.get(), &Interface::manipModeChanged);
    ASSERT_TRUE(modes.isValid());
    click(panel->buttonPicker);
    click(panel->buttonPan);
    ASSERT_EQ(modes.count(), 2);
    EXPECT_EQ(modes.at(0).at(0).value<ManipulationMode>(), ModePicker);
    EXPECT_EQ(modes.at(1).at(0).value<ManipulationMode>(), ModePan);
}

} // namespace
