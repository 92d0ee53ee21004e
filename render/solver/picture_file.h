#pragma once

#include <QByteArray>
#include <QString>

class QImage;

// `picture` encoded as PNG, as every export writes it; empty when it cannot be encoded.
QByteArray encodePng(const QImage& picture);

// Writes `picture` as a PNG file at `path`, atomically: the bytes go to a temporary file beside
// the target that is renamed over it only once every byte is written, so that on any failure an
// existing file is left byte for byte as it was and no partial file remains. An existing target
// that is not a regular file (a folder, a FIFO, a device) is refused and left alone. SIGXFSZ is
// ignored during the write: the file size limit makes it fail instead of ending the program.
// False with `error` (when given) naming the cause: disk full, permission denied, missing
// folder, file too large, not a regular file.
bool writePngFile(const QImage& picture, const QString& path, QString* error);

// Writes `bytes` at `path` as writePngFile writes a picture: atomically, refusing a target that
// is not a regular file, with the same causes in `error`.
bool writeFileAtomically(const QByteArray& bytes, const QString& path, QString* error);
