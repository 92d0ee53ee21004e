#include "file_questions.h"

#include "recent_files.h"
#include "viewer.h"

QString askOpenFileName(Viewer& viewer, const QString& title, const QString& filter)
{
    viewer.dialogs().setStartFolder(lastFolder());
    const QString name = viewer.dialogs().openFileName(&viewer, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name);
    return name;
}

QString askSaveFileName(Viewer& viewer, const QString& title, const QString& filter)
{
    viewer.dialogs().setStartFolder(lastFolder());
    const QString name = viewer.dialogs().saveFileName(&viewer, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name);
    return name;
}
