#include "dialog_questions.h"

#include "recent_files.h"
#include "viewer_dialogs.h"

#include <utility>

DialogQuestions::DialogQuestions(QWidget* parent, std::function<ViewerDialogs&()> dialogs)
    : parent(parent), dialogs(std::move(dialogs))
{
}

QString DialogQuestions::openFileName(const QString& title, const QString& filter)
{
    dialogs().setStartFolder(lastFolder(FileKind::Drawing));
    const QString name = dialogs().openFileName(parent, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name, FileKind::Drawing);
    return name;
}

QString DialogQuestions::saveFileName(const QString& title, const QString& filter)
{
    dialogs().setStartFolder(lastFolder(FileKind::Drawing));
    const QString name = dialogs().saveFileName(parent, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name, FileKind::Drawing);
    return name;
}

bool DialogQuestions::askReplaceFile(const QString& path)
{
    return dialogs().askReplaceFile(parent, path);
}

DocumentQuestions::UnsavedChanges DialogQuestions::askSaveChanges(const QString& drawingName)
{
    return dialogs().askSaveChanges(parent, drawingName);
}

void DialogQuestions::showFailure(const QString& title, const QString& text)
{
    dialogs().showMessage(parent, title, text);
}
