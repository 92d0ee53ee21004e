#include "dialog_questions.h"

#include "recent_files.h"
#include "viewer_dialogs.h"

#include <QProgressDialog>

#include <utility>

DialogQuestions::DialogQuestions(QWidget* parent, std::function<ViewerDialogs&()> dialogs)
    : parent(parent), dialogs(std::move(dialogs))
{
}

DialogQuestions::~DialogQuestions() = default;

void DialogQuestions::showReadingProgress(const QString& fileName, qint64 done, qint64 total)
{
    if (total <= 0 || done >= total) {
        reading.reset();
        return;
    }
    constexpr int kSteps = 1000;
    if (!reading) {
        // No Cancel: a drawing read half-way is dropped anyway, and reading stops on its own.
        reading = std::make_unique<QProgressDialog>(QString("Opening %1...").arg(fileName),
                                                    QString(), 0, kSteps, parent);
        reading->setWindowTitle("Open drawing");
        // Application-modal: the events it lets through while it shows reach no other window.
        reading->setWindowModality(Qt::ApplicationModal);
        reading->setMinimumDuration(1000);
    }
    reading->setValue(int(done * kSteps / total));
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
