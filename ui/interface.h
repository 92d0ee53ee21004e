#pragma once

#include <QColor>
#include <QMainWindow>
#include <functional>

#include "panel_tool.h"
#include "status_lines.h"
#include "ui_mainwindow.h"

class QAbstractButton;
class QButtonGroup;
class QKeyEvent;

// The control panel: colour swatches, sliders, check boxes and tool buttons. It only shows values
// and emits them; the entry point connects its signals (and the form's actions and one-shot
// buttons, which are public through Ui_MainWindow) to the viewer.
class Interface : public QMainWindow, public Ui_MainWindow {
    Q_OBJECT

public:
    // Asks the user for a colour and its opacity (alpha 0..255), starting from initial. Returns
    // the chosen colour, or an invalid QColor when the user cancels.
    using ColorChooser = std::function<QColor(const QColor& initial)>;

    // Builds the form, loads the tool icons (see tool_icons.h) and shows the initial colours.
    explicit Interface(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Replaces the colour dialog used by every colour button and colour request; an empty chooser
    // restores the modal QColorDialog with its alpha channel shown.
    void setColorChooser(ColorChooser chooser);

public slots:
    // Store the colour and renew its swatch; they emit nothing, so nothing is sent back.
    void setLeftColor(QColor C);
    void setBucketColor(QColor C);
    void setRightColor(QColor C);
    // Moves sliderBlur to s (the slider clamps it to 0..16); a change reaches blurChanged.
    void setBlur(int s);
    // Ask for a colour seeded with C and answer on controlPointLeftColorChanged /
    // controlPointRightColorChanged: the chosen colour, or C itself when cancelled. The panel's own
    // colours are not touched.
    void changeControlPointLeftColor(QColor C);
    void changeControlPointRightColor(QColor C);
    // The Edit menu's undo and redo entries: "Undo <step>" / "Redo <step>", plain "Undo" / "Redo"
    // and greyed when there is no step.
    void setUndoText(const QString& step);
    void setRedoText(const QString& step);
    // Fills File > Open Recent with `files` (most recent first); greyed when empty.
    void setRecentFiles(const QStringList& files);
    // The status bar's first line: what the last command came to. Each outcome replaces the one
    // before, and a hover tip shown at the time, so the newest is the one in sight.
    void showOutcome(const QString& text);
    // Empties the outcome line, e.g. for a new drawing, to which no earlier outcome belongs.
    void clearOutcome();
    // Ticks or unticks "Show Bitmap" as the viewer shows the bitmap or not; nothing is sent back.
    void setExampleImgShown(bool shown);
    // Ticks or unticks "ActivateBlur" as the viewer turned the blur on or off; nothing is sent
    // back.
    void setBlurActive(bool active);

    // ---- blur editing without a dialog
    // The Blur slider and its number edit one blur point of the current curve (0 to 16, from
    // `value`) or shift the blur of the selection (-16 to 16, from 0): each value they pass is
    // sent on blurEditPreviewed. Return, or a press on another part of the panel, commits the
    // edit (blurEditCommitted); Escape cancels it (blurEditCancelled). The edit then ends and
    // the slider shows the blur of the next strokes again.
    void editBlurPoint(int value);
    void editBlurShift();
    // Commit or cancel the edit in progress as Return and Escape do; nothing without one.
    void commitBlurEdit();
    void cancelBlurEdit();
    // Ends the edit in progress without a signal: the viewer ended it.
    void stopBlurEdit();

public:
    // The two lines of the status bar: the last outcome, and the active tool with its gesture.
    const StatusLines& statusLines() const { return status; }
    // The button shown checked for `mode` (the tool buttons that choose a mode are checkable and
    // exclusive); null for a mode no button stands for.
    QAbstractButton* buttonOfMode(PanelTool mode) const;
    // True while the Blur slider edits a blur point or the selection's blur shift.
    bool isEditingBlur() const { return blurEdit != BlurEdit::None; }

signals:
    void leftColorChanged(QColor);
    void rightColorChanged(QColor);
    void bucketColorChanged(QColor);
    void showSplinesChanged(bool);
    void showExampleImgChanged(bool);
    void activateBlurChanged(bool);
    void activateCLeftChanged(bool);
    void activateCRightChanged(bool);
    void showAttribChanged(bool);
    void manipModeChanged(PanelTool);
    void controlPointLeftColorChanged(QColor);
    void controlPointRightColorChanged(QColor);
    void blurChanged(int);
    void iterChanged(int);
    void lifetimeThresholdChanged(int);
    // A page of the help was asked for: "Help", "Keyboard", "Mouse" or "About" (the Help menu,
    // F1 and H in this window).
    void helpRequested(const QString& page);
    // The choice beside Show Splines changed.
    void splineLinesChanged(PanelLines lines);
    // A file of File > Open Recent was chosen.
    void recentFileChosen(const QString& path);
    // The snap reach, in pixels of the bitmap (2 to 30): how far one snap may move a point.
    void snapReachChanged(int pixels);
    // A blur edit (see editBlurPoint): a value to show, the value kept, or the edit abandoned.
    void blurEditPreviewed(int value);
    void blurEditCommitted(int value);
    void blurEditCancelled();

protected:
    // Return commits a blur edit; Escape cancels one, or else deselects (Edit > Deselect).
    void keyPressEvent(QKeyEvent* event) override;
    // While a blur edit is open: a press on the panel away from the Blur slider commits it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void changeLeftColor();
    void changeRightColor();
    void changeBucketColor();
    void changeBlur(int s);
    void activateCLeft(int state);
    void activateCRight(int state);
    // Tool selection: the mode and display flags of the clicked tool button.
    void changeManipMode(QAbstractButton* clickedButton);

private:
    void makeConnections();
    // Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+D and Ctrl+F in this window trigger the Edit actions whose
    // labels name them; Ctrl+Y is a second key of redo.
    void installEditKeys();
    // The Help menu's entries, and H as a second key of its first entry (F1).
    void installHelp();
    void renewSwatches();
    // Checks the button of `mode` and names the tool and its gesture in the status bar.
    void showActiveTool(PanelTool mode);
    // Hides the attribute points, then emits the mode and, depending on the rule, the spline and
    // attribute display flags.
    enum class Splines { Untouched, Shown, AsCheckBox };
    void selectTool(PanelTool mode, Splines splines, bool showAttrib);
    // What the Blur slider edits: the blur of the next strokes, a blur point or a blur shift.
    enum class BlurEdit { None, Point, Shift };
    void startBlurEdit(BlurEdit kind, int minimum, int maximum, int value);
    // Gives the slider and its number the range and value `value` without sending anything.
    void showBlurRange(int minimum, int maximum, int value);

    QColor leftColor{255, 255, 255};
    QColor rightColor{130, 25, 25};
    QColor bucketColor{130, 210, 25};
    QButtonGroup* buttonGroup = nullptr;
    int blur = 0;
    BlurEdit blurEdit = BlurEdit::None;
    int maxBlur = 16; // the Blur slider's maximum in the form
    StatusLines status;
    ColorChooser chooseColor;
};
