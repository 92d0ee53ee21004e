#include "recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kRecentKey = "recentFiles";
const char* const kFolderKey = "lastFolder";

QString absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

QStringList store(QStringList files)
{
    while (files.size() > kMaxRecentFiles)
        files.removeLast();
    QSettings().setValue(kRecentKey, files);
    return files;
}

} // namespace

QStringList recentFiles() { return QSettings().value(kRecentKey).toStringList(); }

QStringList addRecentFile(const QString& path)
{
    QStringList files = recentFiles();
    files.removeAll(absolute(path));
    files.prepend(absolute(path));
    return store(files);
}

QStringList removeRecentFile(const QString& path)
{
    QStringList files = recentFiles();
    files.removeAll(absolute(path));
    return store(files);
}

QString lastFolder() { return QSettings().value(kFolderKey, QString("./")).toString(); }

void rememberFolderOf(const QString& filePath)
{
    QSettings().setValue(kFolderKey, QFileInfo(filePath).absolutePath());
}
