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

namespace {

// A progress dialog of the opening of a drawing, shown once its work has taken a second.
std::unique_ptr<QProgressDialog> openingProgress(const QString& label, int steps, QWidget* parent)
{
    // No Cancel: a drawing read half-way is dropped anyway, and the work stops on its own.
    auto dialog = std::make_unique<QProgressDialog>(label, QString(), 0, steps, parent);
    dialog->setWindowTitle("Open drawing");
    // Application-modal: the events it lets through while it shows reach no other window.
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(1000);
    return dialog;
}

} // namespace

void DialogQuestions::showReadingProgress(const QString& fileName, qint64 done, qint64 total)
{
    if (total <= 0 || done >= total) {
        reading.reset();
        return;
    }
    constexpr int kSteps = 1000;
    if (!reading)
        reading = openingProgress(QString("Opening %1...").arg(fileName), kSteps, parent);
    reading->setValue(int(done * kSteps / total));
}

void DialogQuestions::showPreparingProgress(int done, int total)
{
    if (total <= 0 || done >= total) {
        preparing.reset();
        return;
    }
    if (!preparing)
        preparing = openingProgress("Preparing the picture...", total, parent);
    preparing->setValue(done);
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
