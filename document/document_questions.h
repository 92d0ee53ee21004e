#pragma once

#include <QString>

// The questions a document asks its user and the failures it shows. The editor answers with
// its dialogs; tests answer at once, so that no modal loop runs.
class DocumentQuestions {
public:
    // Answer to the question asked before unsaved changes would be lost.
    enum class UnsavedChanges { Save, Discard, Cancel };

    virtual ~DocumentQuestions() = default;
    // Name of one existing file, or an empty string when cancelled.
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    // Name to save under, or an empty string when cancelled. The answer is not checked for an
    // existing file: askReplaceFile is asked once the name is complete (its extension added).
    virtual QString saveFileName(const QString& title, const QString& filter) = 0;
    // Whether the existing file `path` may be replaced.
    virtual bool askReplaceFile(const QString& path) = 0;
    // Whether the changes to `drawingName` should be saved first.
    virtual UnsavedChanges askSaveChanges(const QString& drawingName) = 0;
    // How far the reading of the drawing `fileName` has come (`done` of `total`, in characters);
    // done >= total when it ended, whether it succeeded or not. Shown where reading is slow.
    virtual void showReadingProgress(const QString& fileName, qint64 done, qint64 total)
    {
        (void)fileName, (void)done, (void)total;
    }
    // A failure the user should see (a message box), beyond the status text.
    virtual void showFailure(const QString& title, const QString& text) = 0;
};
