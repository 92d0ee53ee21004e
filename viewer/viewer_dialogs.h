#pragma once

#include "colour_space.h"
#include "document_questions.h"
#include "keyframe_export.h"

#include <QPoint>
#include <QString>
#include <QStringList>

// What the user chooses before a bitmap is traced (File > Trace Bitmap...): the tracer's two
// settings (0 .. 1) and, when the drawing has curves already, whether the traced curves replace
// them or are added to them.
struct TraceOptions {
    double detail = 0.5;
    double sensitivity = 0.5;
    bool drawingHasCurves = false; // asked: offer replace or add
    bool replace = true;
};

class QAction;
class QMenu;
class QWidget;

// Every modal question the viewer asks: file names, whether to save unsaved changes, the choice
// in a context menu, the settings of exports and traces. The defaults run the toolkit's real
// dialogs; a test installs a subclass that answers at once, so that no modal loop runs.
class ViewerDialogs {
public:
    // Answer to the question asked before unsaved changes would be lost.
    using UnsavedChanges = DocumentQuestions::UnsavedChanges;
    // Answer to the offer of a drawing left by an editor that did not end normally: open it,
    // delete it, or keep it for a later start (the question closed).
    enum class LeftDrawing { Recover, Discard, Keep };

    virtual ~ViewerDialogs() = default;

    // Folder the file dialogs open in; "./" until the viewer sets the one last used.
    void setStartFolder(const QString& folder) { startFolder = folder; }
    const QString& folder() const { return startFolder; }

    // Name of one existing file, or an empty string when cancelled. Starts in folder().
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter);
    // Names of several existing files in the order chosen; empty when cancelled.
    virtual QStringList openFileNames(QWidget* parent, const QString& title, const QString& filter);
    // Name to save under, or an empty string when cancelled. An existing file is not asked
    // about here: the caller asks askReplaceFile once the name is complete (extension added).
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter);
    // Whether the existing file `path` may be replaced (No by default).
    virtual bool askReplaceFile(QWidget* parent, const QString& path);

    // Shows a warning owned by `parent` without waiting for it to be closed.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text);
    // Shows a piece of news (what a long command did) the same way, without the warning sign.
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text);
    // Asks for the keyframe export's output folder and frames per pair, starting from
    // `options`. False when cancelled; otherwise `options` holds the answer.
    virtual bool askKeyframeOptions(QWidget* parent, KeyframeOptions& options);
    // Asks for the trace settings and, when options.drawingHasCurves, replace or add, starting
    // from `options` (trace_dialog.cpp). False when cancelled; otherwise `options` holds the
    // answer.
    virtual bool askTraceOptions(QWidget* parent, TraceOptions& options);
    // Asks for the side in pixels of the picture to export, minimum..maximum, starting from
    // `size`. False when cancelled; otherwise `size` holds the answer.
    virtual bool askPictureSize(QWidget* parent, int& size, int minimum, int maximum);
    // Asks for the colour space the drawing is diffused in, starting from `space`. False when
    // cancelled; otherwise `space` holds the answer.
    virtual bool askColourSpace(QWidget* parent, ColourSpace& space);
    // Asks whether the changes to `drawingName` should be saved first: Save, Discard or Cancel
    // (closing the question cancels).
    virtual UnsavedChanges askSaveChanges(QWidget* parent, const QString& drawingName);
    // Offers the drawing `drawingName` that an editor left when it stopped at `when`.
    virtual LeftDrawing askRecover(QWidget* parent, const QString& drawingName,
                                   const QString& when);

    // Runs `menu` at the global position and returns the chosen action, nullptr when dismissed.
    virtual QAction* runMenu(QMenu& menu, const QPoint& globalPos);

private:
    QString startFolder = "./";
};
