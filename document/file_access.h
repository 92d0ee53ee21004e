#pragma once

#include <QString>

class QFile;

// Opens `path` for reading only when it names a regular file (symbolic links followed). A FIFO,
// a device, a socket or a folder is refused before it is opened, and the open itself never
// blocks, so that no such file can stall the program. False with a short `reason` ("not a
// regular file", "no such file", "permission denied", ...) when the file cannot be read.
bool openRegularFile(QFile& file, const QString& path, QString& reason, bool text = false);

// The cause of a failed write in words, from the errno value the failing call left: "the disk
// is full", "permission denied", "the folder ... does not exist", "the file is larger than the
// file size limit allows", ... Falls back to the system's text for other values and to
// `fallback` when `error` is 0.
QString writeErrorText(int error, const QString& path, const QString& fallback = QString());
