#pragma once

#include <QString>
#include <QStringList>

// The drawings opened or saved last and the folder of the last file dialog, kept in the user's
// settings (QSettings of the application's organisation and name) so that they outlive a run.

// At most this many drawings are remembered.
constexpr int kMaxRecentFiles = 10;

// The remembered drawings, most recent first, as absolute paths.
QStringList recentFiles();
// Puts `path` (made absolute) first, drops an older entry of the same file and anything beyond
// kMaxRecentFiles; returns the new list.
QStringList addRecentFile(const QString& path);
// Forgets `path`; returns the new list.
QStringList removeRecentFile(const QString& path);

// The kinds of file the editor asks for; each remembers its own last folder, so that a picture
// is not offered the folder a bitmap came from.
enum class FileKind { Drawing, Bitmap, Picture, Pdf };

// Folder of the last file of `kind` chosen in a file dialog; before the first, the drawings'
// folder (a picture or a PDF goes beside its drawing at first), else "./".
QString lastFolder(FileKind kind);
// Remembers the folder of `filePath` for files of `kind`.
void rememberFolderOf(const QString& filePath, FileKind kind);
