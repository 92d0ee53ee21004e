#pragma once

#include <QString>

class Viewer;

// The file questions of the editor's commands, put through the viewer's dialogs: started in the
// folder last used, whose answer (when not empty) becomes the folder last used.
QString askOpenFileName(Viewer& viewer, const QString& title, const QString& filter);
QString askSaveFileName(Viewer& viewer, const QString& title, const QString& filter);
