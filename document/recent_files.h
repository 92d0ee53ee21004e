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

// Folder of the last file chosen in any file dialog; "./" when none was chosen yet.
QString lastFolder();
// Remembers the folder of `filePath`.
void rememberFolderOf(const QString& filePath);
