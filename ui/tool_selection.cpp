// Tool selection: which viewer mode and display flags each tool button of the panel sets.
#include "interface.h"

namespace {

// The status bar's words for a tool: its name and its gesture.
QString toolDescription(ManipulationMode mode)
{
    switch (mode) {
    case ModeMovePoint: return "Points: click a spline, drag its points";
    case ModeModifAttrib: return "Colors: click a color or blur point";
    case ModeSelectMulti: return "Selection: Shift+click, or Ctrl and move";
    case ModeDrawCatmull: return "Drawing: drag to draw a spline";
    case ModePan: return "Pan: drag to move the view";
    case ModeBucket: return "Bucket: click a color point to paint it";
    case ModePicker: return "Picker: click to pick the bucket color";
    default: return "No tool chosen";
    }
}

} // namespace

QAbstractButton* Interface::buttonOfMode(ManipulationMode mode) const
{
    switch (mode) {
    case ModeMovePoint: return buttonMovePoint;
    case ModeModifAttrib: return buttonModifAttrib;
    case ModeSelectMulti: return buttonSelectMulti;
    case ModeDrawCatmull: return buttonDrawCatmull;
    case ModePan: return buttonPan;
    case ModeBucket: return buttonBucket;
    case ModePicker: return buttonPicker;
    default: return nullptr;
    }
}

void Interface::showActiveTool(ManipulationMode mode)
{
    if (QAbstractButton* button = buttonOfMode(mode))
        button->setChecked(true);
    showLine(toolLine, toolDescription(mode));
}

void Interface::selectTool(ManipulationMode mode, Splines splines, bool showAttrib)
{
    emit showAttribChanged(false);
    showActiveTool(mode);
    emit manipModeChanged(mode);
    if (splines == Splines::Shown)
        emit showSplinesChanged(true);
    else if (splines == Splines::AsCheckBox && !checkBoxShowSplines->isChecked())
        emit showSplinesChanged(false);
    if (showAttrib)
        emit showAttribChanged(true);
}

// Tool buttons choose the viewer's mode. Showing splines here does not tick checkBoxShowSplines,
// which reflects only the user's own choice. The action buttons (snap, read colours, switch
// colours, contrast, stylise, smooth, zoom) run their viewer command through their own clicked()
// and keep the current tool, so they emit nothing here.
void Interface::changeManipMode(QAbstractButton* clickedButton)
{
    QAbstractButton* const b = clickedButton;
    if (b == buttonMovePoint)
        selectTool(ModeMovePoint, Splines::Shown, false);
    else if (b == buttonModifAttrib)
        selectTool(ModeModifAttrib, Splines::Shown, true);
    else if (b == buttonSelectMulti)
        selectTool(ModeSelectMulti, Splines::AsCheckBox, false);
    else if (b == buttonDrawCatmull)
        selectTool(ModeDrawCatmull, Splines::AsCheckBox, false);
    else if (b == buttonPan)
        selectTool(ModePan, Splines::Untouched, false);
    else if (b == buttonBucket || b == buttonBucketColor)
        selectTool(ModeBucket, Splines::Shown, true);
    else if (b == buttonPicker)
        selectTool(ModePicker, Splines::Shown, true);
}
