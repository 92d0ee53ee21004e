#include "file_questions.h"

#include "viewer.h"

#include <QFileInfo>

QString askOpenFileName(Viewer& viewer, FileKind kind, const QString& title, const QString& filter)
{
    viewer.dialogs().setStartFolder(lastFolder(kind));
    const QString name = viewer.dialogs().openFileName(&viewer, title, filter);
    if (!name.isEmpty())
        rememberFolderOf(name, kind);
    return name;
}

QString askSaveFileName(Viewer& viewer, FileKind kind, const QString& title, const QString& filter,
                        const QString& suffix)
{
    viewer.dialogs().setStartFolder(lastFolder(kind));
    QString name = viewer.dialogs().saveFileName(&viewer, title, filter);
    if (name.isEmpty())
        return QString();
    rememberFolderOf(name, kind);
    if (QFileInfo(name).suffix().isEmpty())
        name += "." + suffix;
    if (QFileInfo::exists(name) && !viewer.dialogs().askReplaceFile(&viewer, name))
        return QString();
    return name;
}
