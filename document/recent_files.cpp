#include "recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kRecentKey = "recentFiles";

// The settings key of the last folder of each kind of file.
QString folderKey(FileKind kind)
{
    switch (kind) {
    case FileKind::Bitmap: return "lastFolder/bitmap";
    case FileKind::Picture: return "lastFolder/picture";
    case FileKind::Pdf: return "lastFolder/pdf";
    case FileKind::Drawing: break;
    }
    return "lastFolder/drawing";
}

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

QString lastFolder(FileKind kind)
{
    const QSettings settings;
    const QString drawings = settings.value(folderKey(FileKind::Drawing), QString("./")).toString();
    return settings.value(folderKey(kind), drawings).toString();
}

void rememberFolderOf(const QString& filePath, FileKind kind)
{
    QSettings().setValue(folderKey(kind), QFileInfo(filePath).absolutePath());
}
