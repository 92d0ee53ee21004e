#include "wiring.h"

#include "editor_commands.h"
#include "interface.h"
#include "view_navigator.h"
#include "viewer.h"
#include "viewer_settings.h"

#include <QAbstractButton>
#include <QAction>

namespace {

// The panel's tools carry the numbers of the viewer's mouse modes.
static_assert(int(ToolMovePoint) == int(ModeMovePoint)
              && int(ToolModifAttrib) == int(ModeModifAttrib)
              && int(ToolSelectMulti) == int(ModeSelectMulti)
              && int(ToolDrawCatmull) == int(ModeDrawCatmull) && int(ToolPan) == int(ModePan)
              && int(ToolBucket) == int(ModeBucket) && int(ToolPicker) == int(ModePicker));

ManipulationMode mouseModeOf(PanelTool tool) { return static_cast<ManipulationMode>(tool); }

// The panel's lines choice and the viewer's are listed alike.
static_assert(int(PanelLines::Auto) == int(LinesShown::Auto)
              && int(PanelLines::All) == int(LinesShown::All)
              && int(PanelLines::Selected) == int(LinesShown::Selected));

LinesShown linesShownOf(PanelLines lines) { return static_cast<LinesShown>(lines); }

} // namespace

void connectWindows(Interface& panel, Viewer& viewer, EditorCommands& commands)
{
    EditCommands& edits = commands.edits;
    ExportCommands& exports = commands.exports;
    ExampleBitmapCommands& bitmap = commands.bitmap;
    ViewerSettings& settings = viewer.settings();
    // Panel values to the viewer.
    QObject::connect(&panel, &Interface::leftColorChanged, &settings,
                     &ViewerSettings::setLeftColor);
    QObject::connect(&panel, &Interface::rightColorChanged, &settings,
                     &ViewerSettings::setRightColor);
    QObject::connect(&panel, &Interface::bucketColorChanged, &settings,
                     &ViewerSettings::setBucketColor);
    QObject::connect(&panel, &Interface::blurChanged, &settings, &ViewerSettings::setBlur);
    QObject::connect(&panel, &Interface::iterChanged, &settings, &ViewerSettings::setIter);
    QObject::connect(&panel, &Interface::lifetimeThresholdChanged, &settings,
                     &ViewerSettings::setLifetimeThreshold);

    // Viewer values back to the panel, which only shows them.
    QObject::connect(&settings, &ViewerSettings::leftColorChanged, &panel,
                     &Interface::setLeftColor);
    QObject::connect(&settings, &ViewerSettings::rightColorChanged, &panel,
                     &Interface::setRightColor);
    QObject::connect(&settings, &ViewerSettings::blurChanged, &panel, &Interface::setBlur);
    QObject::connect(&settings, &ViewerSettings::bucketColorChanged, &panel,
                     &Interface::setBucketColor);
    QObject::connect(&settings, &ViewerSettings::blurActivated, &panel, &Interface::setBlurActive);
    QObject::connect(&viewer, &Viewer::outcomeReported, &panel, &Interface::showOutcome);

    // File and Edit menus.
    QObject::connect(panel.actionLoad, &QAction::triggered, &viewer.document(), &Document::open);
    QObject::connect(panel.actionSave_as_Png, &QAction::triggered, &exports,
                     &ExportCommands::savePng);
    QObject::connect(panel.actionPng_16_Bits, &QAction::toggled, &exports,
                     &ExportCommands::setSixteenBitPng);
    QObject::connect(panel.actionDrawing_Settings, &QAction::triggered, &commands.files,
                     &FileMenuCommands::drawingSettings);
    QObject::connect(panel.actionSave_as_XML, &QAction::triggered, &viewer.document(),
                     &Document::saveAs);
    QObject::connect(panel.actionExport_PDF, &QAction::triggered, &exports,
                     &ExportCommands::exportPdf);
    QObject::connect(panel.actionKeyframing, &QAction::triggered, &exports,
                     &ExportCommands::interpolate);
    QObject::connect(panel.actionLoad_Bitmap, &QAction::triggered, &bitmap,
                     &ExampleBitmapCommands::loadExampleImg);
    QObject::connect(panel.action_Copy, &QAction::triggered, &edits, &EditCommands::copySplines);
    QObject::connect(panel.action_Paste, &QAction::triggered, &edits, &EditCommands::pasteSplines);
    QObject::connect(panel.action_Cut, &QAction::triggered, &edits, &EditCommands::cutSplines);
    QObject::connect(panel.action_Copy_Blur, &QAction::triggered, &edits, &EditCommands::copyBlur);
    QObject::connect(panel.action_Paste_Blur, &QAction::triggered, &edits,
                     &EditCommands::pasteBlur);

    // Colour points: the viewer asks the panel for a colour, the panel answers.
    QObject::connect(&settings, &ViewerSettings::changeControlPointLeftColor, &panel,
                     &Interface::changeControlPointLeftColor);
    QObject::connect(&settings, &ViewerSettings::changeControlPointRightColor, &panel,
                     &Interface::changeControlPointRightColor);
    QObject::connect(&panel, &Interface::controlPointLeftColorChanged, &settings,
                     &ViewerSettings::setControlPointLeftColor);
    QObject::connect(&panel, &Interface::controlPointRightColorChanged, &settings,
                     &ViewerSettings::setControlPointRightColor);

    // Display toggles and the mouse mode.
    QObject::connect(&panel, &Interface::showSplinesChanged, &settings,
                     &ViewerSettings::showSplines);
    QObject::connect(&panel, &Interface::showAttribChanged, &settings, &ViewerSettings::showAttrib);
    QObject::connect(&panel, &Interface::splineLinesChanged, &settings,
                     [&settings](PanelLines lines) {
                         settings.setLinesShown(linesShownOf(lines));
                     });
    QObject::connect(&panel, &Interface::showExampleImgChanged, &bitmap,
                     &ExampleBitmapCommands::showExampleImg);
    QObject::connect(&panel, &Interface::activateBlurChanged, &settings,
                     &ViewerSettings::activateBlur);
    QObject::connect(&panel, &Interface::activateCLeftChanged, &settings,
                     &ViewerSettings::activateCLeft);
    QObject::connect(&panel, &Interface::activateCRightChanged, &settings,
                     &ViewerSettings::activateCRight);
    QObject::connect(&panel, &Interface::manipModeChanged, &viewer,
                     [&viewer](PanelTool tool) { viewer.changeManipMode(mouseModeOf(tool)); });

    // One-shot action buttons: each runs its command and keeps the current tool.
    QObject::connect(panel.buttonZoomIn, &QAbstractButton::clicked, &viewer.navigation(),
                     &ViewNavigator::zoomIn);
    QObject::connect(panel.buttonZoomOut, &QAbstractButton::clicked, &viewer.navigation(),
                     &ViewNavigator::zoomOut);
    QObject::connect(panel.buttonSmooth, &QAbstractButton::clicked, &edits,
                     &EditCommands::smoothSplines);
    QObject::connect(panel.buttonStylize, &QAbstractButton::clicked, &edits,
                     &EditCommands::stylizeSplines);
    QObject::connect(panel.buttonContrastIncr, &QAbstractButton::clicked, &edits,
                     &EditCommands::increaseContrast);
    QObject::connect(panel.buttonContrastDecr, &QAbstractButton::clicked, &edits,
                     &EditCommands::decreaseContrast);
    QObject::connect(panel.buttonSwitchColors, &QAbstractButton::clicked, &edits,
                     &EditCommands::switchColors);
    QObject::connect(panel.buttonSampleExample, &QAbstractButton::clicked, &bitmap,
                     &ExampleBitmapCommands::sampleFromExample);
    QObject::connect(panel.buttonSnake, &QAbstractButton::clicked, &bitmap,
                     &ExampleBitmapCommands::iterSnake);
    QObject::connect(&panel, &Interface::snapReachChanged, &bitmap,
                     &ExampleBitmapCommands::setSnapReach);
    bitmap.setSnapReach(panel.spinSnapReach->value());
    QObject::connect(&bitmap, &ExampleBitmapCommands::exampleImgShownChanged, &panel,
                     &Interface::setExampleImgShown);

    // Blur editing: the viewer opens an edit, the panel's slider drives it; either side ends it.
    BlurEditCommands& blurEdits = commands.blurEdits;
    QObject::connect(&blurEdits, &BlurEditCommands::blurPointEditStarted, &panel,
                     &Interface::editBlurPoint);
    QObject::connect(&blurEdits, &BlurEditCommands::blurShiftEditStarted, &panel,
                     &Interface::editBlurShift);
    QObject::connect(&blurEdits, &BlurEditCommands::blurEditEnded, &panel,
                     &Interface::stopBlurEdit);
    QObject::connect(&panel, &Interface::blurEditPreviewed, &blurEdits, &BlurEditCommands::preview);
    QObject::connect(&panel, &Interface::blurEditCommitted, &blurEdits, &BlurEditCommands::commit);
    QObject::connect(&panel, &Interface::blurEditCancelled, &blurEdits, &BlurEditCommands::cancel);

    connectDocumentCommands(panel, viewer, commands);
}

void connectDocumentCommands(Interface& panel, Viewer& viewer, EditorCommands& commands)
{
    // The drawing's file.
    Document& document = viewer.document();
    QObject::connect(panel.actionNew, &QAction::triggered, &document, &Document::newDrawing);
    QObject::connect(panel.actionSave, &QAction::triggered, &document, &Document::save);
    QObject::connect(panel.actionQuit, &QAction::triggered, &viewer, [&viewer] { viewer.close(); });
    QObject::connect(&panel, &Interface::recentFileChosen, &document, &Document::openRecent);
    QObject::connect(&document, &Document::recentFilesChanged, &panel, &Interface::setRecentFiles);
    panel.setRecentFiles(document.recentFileList());
    // File > Trace Bitmap..., after Load Bitmap.
    auto* trace = new QAction("Trace Bitmap...", &panel);
    trace->setObjectName("actionTrace_Bitmap");
    trace->setStatusTip("Turn the example bitmap into an editable drawing");
    const QList<QAction*> fileItems = panel.menu_File->actions();
    panel.menu_File->insertAction(fileItems.value(fileItems.indexOf(panel.actionLoad_Bitmap) + 1),
                                  trace);
    QObject::connect(trace, &QAction::triggered, &commands.files, &FileMenuCommands::traceBitmap);

    // The Help menu, F1 and H of the panel.
    QObject::connect(&panel, &Interface::helpRequested, &commands.help, &HelpCommand::showPage);

    // The history and the Edit menu's other entries.
    DrawingHistory& history = document.history();
    QObject::connect(panel.actionUndo, &QAction::triggered, &document, &Document::undo);
    QObject::connect(panel.actionRedo, &QAction::triggered, &document, &Document::redo);
    QObject::connect(&history, &DrawingHistory::undoTextChanged, &panel, &Interface::setUndoText);
    QObject::connect(&history, &DrawingHistory::redoTextChanged, &panel, &Interface::setRedoText);
    panel.setUndoText(history.undoText());
    panel.setRedoText(history.redoText());
    QObject::connect(panel.actionDelete, &QAction::triggered, &commands.edits,
                     &EditCommands::deleteSplines);
    QObject::connect(panel.actionSelect_All, &QAction::triggered, &commands.edits,
                     &EditCommands::selectAll);
    QObject::connect(panel.actionDeselect, &QAction::triggered, &commands.edits,
                     &EditCommands::deselectAll);
}
