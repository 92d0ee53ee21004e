#pragma once

#include <QByteArray>
#include <QString>

class QTemporaryFile;

// Files and standard streams as both tools use them. "-" names standard input for what a tool
// reads and standard output for what it writes.
extern const QString kStandardStream;

// Why `path` cannot take an output file (a folder with `folder`); empty when it can: a missing
// file can be made, an existing one must be a regular file (never a FIFO, a device or a
// folder, which must not be replaced).
QString outputProblem(const QString& path, bool folder = false);

// Copies standard input, at most `limit` bytes, into `copy` (opened here, once: a second call
// keeps the first copy). False when standard input cannot be read or the copy written.
bool copyStandardInput(QTemporaryFile* copy, qint64 limit);

// Writes `bytes` to standard output and flushes it; false with the system's reason in *why.
bool writeStandardOutput(const QByteArray& bytes, QString* why);
