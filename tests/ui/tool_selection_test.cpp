// Each tool button sets the viewer's mode and display flags; clicks go through the real buttons.
#include <QSignalSpy>

#include "panel_fixture.h"

namespace {

struct ToolCase {
  const char* button;
  QStringList expected;  // SignalLog lines after one click, with "Show Splines" ticked
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.button; }

const QStringList kMoveMode{"attrib false", "mode 0", "splines true"};
const QStringList kMultiMode{"attrib false", "attrib false", "mode 3"};
const QStringList kShowAttribs{"splines true", "attrib true"};

class ToolButtonTest : public PanelTest, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(ToolButtonTest, ClickEmitsModeAndDisplayFlagsInOrder) {
  auto* button = panel->manipMode->findChild<QPushButton*>(GetParam().button);
  ASSERT_NE(button, nullptr);
  SignalLog log(*panel);
  click(button);
  EXPECT_EQ(log.lines, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryToolButton, ToolButtonTest,
    ::testing::Values(
        ToolCase{"buttonMovePoint", kMoveMode},
        ToolCase{"buttonSnake", kMoveMode},
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

TEST_F(PanelTest, EveryButtonOfTheToolFrameIsAToolAndNoneIsCheckable) {
  const auto buttons = panel->manipMode->findChildren<QPushButton*>();
  EXPECT_EQ(buttons.size(), 17);
  for (QPushButton* button : buttons) {
    EXPECT_FALSE(button->isCheckable()) << button->objectName().toStdString();
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
  }
}

TEST_F(PanelTest, HiddenSplinesStayHiddenWhenDrawingOrSelecting) {
  SignalLog log(*panel);
  click(panel->checkBoxShowSplines);  // untick
  ASSERT_FALSE(panel->checkBoxShowSplines->isChecked());
  EXPECT_EQ(log.lines, QStringList{"splines false"});

  log.lines.clear();
  click(panel->buttonDrawCatmull);
  EXPECT_EQ(log.lines, (QStringList{"attrib false", "mode 4", "splines false"}));

  log.lines.clear();
  click(panel->buttonSmooth);
  EXPECT_EQ(log.lines, (QStringList{"attrib false", "attrib false", "mode 3", "splines false"}));
}

TEST_F(PanelTest, ForcedSplinesDoNotTickTheCheckBox) {
  panel->checkBoxShowSplines->setChecked(false);
  SignalLog log(*panel);
  click(panel->buttonMovePoint);
  EXPECT_EQ(log.lines, kMoveMode);
  EXPECT_FALSE(panel->checkBoxShowSplines->isChecked());
}

// The entry point connects one-shot buttons straight to the viewer; that slot runs before the
// panel switches the mode, so smoothing happens first and multi-selection follows.
TEST_F(PanelTest, OneShotCommandRunsBeforeTheModeSwitch) {
  SignalLog log(*panel);
  QObject::connect(panel->buttonSmooth, &QPushButton::clicked, panel.get(),
                   [&log] { log.lines << "smoothSplines"; });
  click(panel->buttonSmooth);
  EXPECT_EQ(log.lines, QStringList{"smoothSplines"} + kMultiMode);
}

TEST_F(PanelTest, ModeTravelsAsManipulationModeThroughSignalSpy) {
  QSignalSpy modes(panel.get(), &Interface::manipModeChanged);
  ASSERT_TRUE(modes.isValid());
  click(panel->buttonPicker);
  click(panel->buttonPan);
  ASSERT_EQ(modes.count(), 2);
  EXPECT_EQ(modes.at(0).at(0).value<ManipulationMode>(), ModePicker);
  EXPECT_EQ(modes.at(1).at(0).value<ManipulationMode>(), ModePan);
}

}  // namespace
