#pragma once

#include "document_questions.h"

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;
class ViewerDialogs;

// The document's questions put as the viewer's dialogs over `parent`: file dialogs start in the
// folder of the drawing last chosen and remember the folder of their answer.
class DialogQuestions : public DocumentQuestions {
public:
    DialogQuestions(QWidget* parent, std::function<ViewerDialogs&()> dialogs);

    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;
    bool askReplaceFile(const QString& path) override;
    UnsavedChanges askSaveChanges(const QString& drawingName) override;
    void showFailure(const QString& title, const QString& text) override;
    // A progress dialog, shown when the reading has taken a second.
    void showReadingProgress(const QString& fileName, qint64 done, qint64 total) override;
    // The same for the making of a large drawing's first picture (Viewer::picturePreparing).
    void showPreparingProgress(int done, int total);
    ~DialogQuestions() override;

private:
    QWidget* parent;
    std::unique_ptr<QProgressDialog> reading;
    std::unique_ptr<QProgressDialog> preparing;
    std::function<ViewerDialogs&()> dialogs;
};
