#pragma once

#include "recent_files.h"

#include <QString>

class Viewer;

// The file questions of the editor's commands, put through the viewer's dialogs: started in the
// folder last used for files of `kind`, whose answer (when not empty) becomes that folder.
QString askOpenFileName(Viewer& viewer, FileKind kind, const QString& title, const QString& filter);
// The name to save a file of `kind` under, with `suffix` ("png", without the dot) added when
// the name typed has no extension. When that file exists, asks whether to replace it, whatever
// the name typed: an empty string when the user cancelled either question.
QString askSaveFileName(Viewer& viewer, FileKind kind, const QString& title, const QString& filter,
                        const QString& suffix);
