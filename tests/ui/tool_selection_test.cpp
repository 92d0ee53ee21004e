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
// Action buttons run their command and keep the tool: the panel emits nothing.
const QStringList kKeepsTool{};
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
        ToolCase{"buttonMovePoint", kMoveMode}, ToolCase{"buttonSnake", kKeepsTool},
        ToolCase{"buttonSampleExample", kKeepsTool},
        ToolCase{"buttonModifAttrib", QStringList{"attrib false", "mode 2"} + kShowAttribs},
        ToolCase{"buttonSelectMulti", {"attrib false", "mode 3"}},
        ToolCase{"buttonDrawCatmull", {"attrib false", "mode 4"}},
        ToolCase{"buttonPan", {"attrib false", "mode 6"}},
        ToolCase{"buttonBucket", QStringList{"attrib false", "mode 8"} + kShowAttribs},
        ToolCase{"buttonBucketColor", QStringList{"attrib false", "mode 8"} + kShowAttribs},
        ToolCase{"buttonPicker", QStringList{"attrib false", "mode 9"} + kShowAttribs},
        ToolCase{"buttonSwitchColors", kKeepsTool}, ToolCase{"buttonStylize", kKeepsTool},
        ToolCase{"buttonSmooth", kKeepsTool}, ToolCase{"buttonContrastIncr", kKeepsTool},
        ToolCase{"buttonContrastDecr", kKeepsTool}, ToolCase{"buttonZoomIn", kKeepsTool},
        ToolCase{"buttonZoomOut", kKeepsTool}),
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
    EXPECT_EQ(panel->statusLines().toolText(), "No tool chosen");
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
        const auto mode = modes.last().at(0).value<PanelTool>();
        QAbstractButton* shown = panel->buttonOfMode(mode);
        ASSERT_NE(shown, nullptr) << name;
        for (QPushButton* other : buttons)
            EXPECT_EQ(other->isChecked(), other == shown)
                << name << " / " << other->objectName().toStdString();
        EXPECT_NE(panel->statusLines().toolText(), "No tool chosen") << name;
    }
}

TEST_F(PanelTest, StatusBarShowsTheLastOutcome)
{
    panel->showOutcome("Saved drawing.xml");
    EXPECT_EQ(panel->statusLines().outcomeText(), "Saved drawing.xml");
    panel->showOutcome("Could not save drawing.xml: No space left on device");
    EXPECT_EQ(panel->statusLines().outcomeText(),
              "Could not save drawing.xml: No space left on device");
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
    click(panel->buttonSelectMulti);
    EXPECT_EQ(log.lines, (QStringList{"attrib false", "mode 3", "splines false"}));
}

TEST_F(PanelTest, ForcedSplinesDoNotTickTheCheckBox)
{
    panel->checkBoxShowSplines->setChecked(false);
    SignalLog log(*panel);
    click(panel->buttonMovePoint);
    EXPECT_EQ(log.lines, kMoveMode);
    EXPECT_FALSE(panel->checkBoxShowSplines->isChecked());
}

// The entry point connects the action buttons straight to the viewer's commands: a click runs
// the command once and leaves the chosen tool, its button and its status line as they were.
TEST_F(PanelTest, ActionButtonsRunTheirCommandAndKeepTheTool)
{
    QAbstractButton* const actions[] = {panel->buttonSnake,        panel->buttonSampleExample,
                                        panel->buttonSwitchColors, panel->buttonContrastIncr,
                                        panel->buttonContrastDecr, panel->buttonStylize,
                                        panel->buttonSmooth,       panel->buttonZoomIn,
                                        panel->buttonZoomOut};
    for (QAbstractButton* tool : {panel->buttonModifAttrib, panel->buttonDrawCatmull}) {
        click(tool);
        const QString toolLine = panel->statusLines().toolText();
        for (QAbstractButton* action : actions) {
            const std::string name = action->objectName().toStdString();
            SignalLog log(*panel);
            int commands = 0;
            auto command = QObject::connect(action, &QAbstractButton::clicked, panel.get(),
                                            [&commands] { ++commands; });
            click(action);
            QObject::disconnect(command);
            EXPECT_EQ(commands, 1) << name;
            EXPECT_TRUE(log.lines.isEmpty()) << name << ": " << log.lines.join(", ").toStdString();
            EXPECT_TRUE(tool->isChecked()) << name;
            EXPECT_EQ(panel->statusLines().toolText(), toolLine) << name;
        }
    }
}

TEST_F(PanelTest, ModeTravelsAsManipulationModeThroughSignalSpy)
{
    QSignalSpy modes(panel.get(), &Interface::manipModeChanged);
    ASSERT_TRUE(modes.isValid());
    click(panel->buttonPicker);
    click(panel->buttonPan);
    ASSERT_EQ(modes.count(), 2);
    EXPECT_EQ(modes.at(0).at(0).value<PanelTool>(), ToolPicker);
    EXPECT_EQ(modes.at(1).at(0).value<PanelTool>(), ToolPan);
}

} // namespace
