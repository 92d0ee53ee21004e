// Tool selection: which viewer mode and display flags each tool button of the panel sets.
#include "interface.h"

namespace {

// The status bar's words for a tool: its one name, the one its tooltip, status tip and the help
// give it. What its gestures are is in its status tip.
QString toolDescription(PanelTool mode)
{
    switch (mode) {
    case ToolMovePoint: return "Control point selection";
    case ToolModifAttrib: return "Color selection";
    case ToolSelectMulti: return "Multiple selection";
    case ToolDrawCatmull: return "Drawing";
    case ToolPan: return "Pan";
    case ToolBucket: return "Paint bucket";
    case ToolPicker: return "Pick a color in the drawing";
    default: return "No tool chosen";
    }
}

} // namespace

QAbstractButton* Interface::buttonOfMode(PanelTool mode) const
{
    switch (mode) {
    case ToolMovePoint: return buttonMovePoint;
    case ToolModifAttrib: return buttonModifAttrib;
    case ToolSelectMulti: return buttonSelectMulti;
    case ToolDrawCatmull: return buttonDrawCatmull;
    case ToolPan: return buttonPan;
    case ToolBucket: return buttonBucket;
    case ToolPicker: return buttonPicker;
    default: return nullptr;
    }
}

void Interface::showActiveTool(PanelTool mode)
{
    if (QAbstractButton* button = buttonOfMode(mode))
        button->setChecked(true);
    status.showTool(toolDescription(mode));
}

void Interface::selectTool(PanelTool mode, Splines splines, bool showAttrib)
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
        selectTool(ToolMovePoint, Splines::Shown, false);
    else if (b == buttonModifAttrib)
        selectTool(ToolModifAttrib, Splines::Shown, true);
    else if (b == buttonSelectMulti)
        selectTool(ToolSelectMulti, Splines::AsCheckBox, false);
    else if (b == buttonDrawCatmull)
        selectTool(ToolDrawCatmull, Splines::AsCheckBox, false);
    else if (b == buttonPan)
        selectTool(ToolPan, Splines::Untouched, false);
    else if (b == buttonBucket || b == buttonBucketColor)
        selectTool(ToolBucket, Splines::Shown, true);
    else if (b == buttonPicker)
        selectTool(ToolPicker, Splines::Shown, true);
}
