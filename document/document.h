#pragma once

#include "curve_set.h"
#include "document_questions.h"
#include "drawing_change.h"
#include "drawing_history.h"
#include "recovery_copy.h"
#include "recovery_schedule.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One drawing's life, without any window: the curve set, its undo history, its file and
// modified state, the file commands (New, Open, Save, Save As, recent files), the question
// before unsaved changes are lost and the recovery copy. Windows attach to it, show what its
// signals report and ask their questions through the DocumentQuestions they install.
//
// Every change to the saved part of the drawing (its curves and image size) goes through
// recordEdit() or an open gesture (a drag from press to release), which push one step on the
// history. The history's clean state is the saved state.
//
// Recovery: while the drawing is modified a copy is written a couple of seconds after the last
// edit (and at least once a minute while edits go on), never during a gesture. It is removed
// when the drawing is saved, replaced or discarded and when the document is destroyed (the
// editor ends normally); an editor that dies leaves it for the next start, and so does one that
// the session ends without asking the user (keepRecoveryCopy).
class Document : public QObject {
    Q_OBJECT

public:
    static constexpr int kUndoLimit = 500;

    // `recoveryFolder`: where the recovery copy goes (the user's folder by default).
    explicit Document(const QString& recoveryFolder = RecoveryCopy::defaultFolder());
    ~Document() override;

    CurveSet& curves() { return set; }
    const CurveSet& curves() const { return set; }
    DrawingHistory& history() { return steps; }
    // Absolute path of the drawing's file; empty for a drawing never saved or opened.
    const QString& filePath() const { return path; }
    // True when the drawing differs from its file (or, for a new drawing, from empty).
    bool isModified() const { return !steps.isClean(); }
    // The file's name, "Untitled" without one.
    QString displayName() const;
    // The window title: "drawing.xml[*] - Hueflow", "Hueflow" alone for a new drawing.
    QString windowTitle() const;
    // Installs the answers to the document's questions (not owned; null: Discard is assumed
    // and no name is given).
    void setQuestions(DocumentQuestions* answers) { questions = answers; }

    // ---- the one path of drawing changes
    // Runs `change` and pushes what it changed as one step named `name` (none when nothing
    // saved changed). Inside another edit it only runs `change`, which then belongs to that
    // edit; inside an open gesture what it changed belongs to the gesture's step. Every edit
    // that changed something saved, outside another edit, is reported by drawingEdited.
    void recordEdit(const QString& name, const std::function<void()>& change,
                    bool mergeable = false);
    // A gesture is a change spread over several events (a drag). beginGesture remembers the
    // drawing unless a gesture is open already; endGesture pushes the gesture's step.
    void beginGesture(const QString& name);
    void endGesture();
    // Ends a gesture in progress: its step is pushed and the drag or point selection stops.
    void finishGesture();
    // Puts the drawing back as it was when the open gesture began, which stays open (a preview
    // that starts again from the same drawing). Nothing without an open gesture.
    void revertGesture();
    // Ends the open gesture without a step: the drawing is put back as it was when it began.
    void cancelGesture();
    // True while a gesture is open.
    bool hasGesture() const { return gesture.has_value(); }
    // True while an edit runs (it may wait for a modal answer) or a gesture is open.
    bool isBusy() const { return editDepth > 0 || gesture.has_value(); }
    // Undo and redo; a gesture in progress ends first, nothing happens inside an edit.
    void undo();
    void redo();

    // ---- file commands
    // Asks whether to save unsaved changes. True when the caller may go on (saved, discarded or
    // nothing to lose), false when the user cancelled or the save failed.
    bool maybeSaveChanges();
    // Opens the drawing at `filePath` without asking: the history starts afresh and the file
    // joins the recent files. An unreadable file leaves drawing, history and name unchanged and
    // returns false. drawingReplaced() follows in both cases.
    bool openDrawing(const QString& filePath);
    // Asks about unsaved changes, then for a file, and opens it.
    void open();
    // Empty drawing with no file name and a fresh history, after asking about unsaved changes.
    // Its outcome is an empty text: nothing said about the former drawing stays in sight.
    void newDrawing();
    // The same without the question: the caller asked maybeSaveChanges already.
    void startNewDrawing();
    // Opens a recent file after asking; a file that no longer exists leaves the list.
    void openRecent(const QString& filePath);
    // Saves to the drawing's file, or asks for a name when it has none (".xml" is added to a
    // name without extension). False when nothing was saved (cancelled or failed).
    bool save();
    bool saveAs();
    // The recent files, most recent first.
    QStringList recentFileList() const;

    // ---- recovery
    RecoverySchedule& recoverySchedule() { return schedule; }
    const RecoveryCopy& recoveryCopy() const { return copy; }
    // Writes the recovery copy now; a failure is reported once until a write succeeds.
    bool writeRecoveryCopy();
    // The session ends without the user (a logout, a shutdown, a signal): when the drawing has
    // unsaved changes, writes the recovery copy now and leaves it in place when the document is
    // destroyed, so that the next start offers it as after a crash. An answer to the unsaved
    // changes question (Save, Discard) takes that back. False when the copy could not be
    // written (an earlier copy, if any, is kept).
    bool keepRecoveryCopy();
    // Opens the left copy as a modified drawing under its original file name, writes this
    // document's own copy and deletes the left one. False when it cannot be read (kept then).
    bool recover(LeftCopy& left);

Q_SIGNALS:
    // The title or the modified mark changed.
    void titleChanged();
    // Another drawing (opened, new, recovered) took the place of this one: views reset.
    void drawingReplaced();
    // Undo or redo changed the drawing.
    void drawingChanged();
    // The drawing changed: an edit (also each edit of an open gesture, and the gesture's end),
    // an undo or redo, a cancelled gesture, or another drawing in its place. Views redraw and
    // re-solve from this signal alone.
    void drawingEdited(const DrawingEdit& edit);
    // What the last command came to, in a few words ("Saved drawing.xml").
    void outcomeReported(const QString& text);
    void recentFilesChanged(const QStringList& files);

private:
    // Emits drawingEdited for `made` unless it changed nothing.
    void reportEdit(const DrawingChange& made, bool inGesture);
    // Emits drawingReplaced and drawingEdited for the whole drawing.
    void replaceWholeDrawing();
    bool writeDrawing(const QString& filePath);
    void setFilePath(const QString& filePath);
    void reportFailure(const QString& title, const QString& text);
    void historyMoved();

    // An open gesture: its step's name and the drawing when it began.
    struct Gesture {
        QString name;
        DrawingSnapshot before;
        bool reported = false; // an edit of the gesture was reported
    };

    CurveSet set;
    DrawingHistory steps{set};
    std::optional<Gesture> gesture;
    int editDepth = 0; // nesting of recordEdit
    QString path;
    DocumentQuestions* questions = nullptr;
    RecoveryCopy copy;
    RecoverySchedule schedule;
    bool recoveryFailureShown = false;
    bool recoveryCopyKept = false; // see keepRecoveryCopy
};
