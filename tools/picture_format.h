#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QImage;

// The formats tintweave-render writes a picture in, by name: "pdf" (vectors, pdf_export.h) and
// every format Qt has an image writer for here ("png", "jpg", "bmp", and "tif", "webp", ...
// where their plugins are installed). Names are lower case; "jpeg" is "jpg" and "tiff" "tif".
QString pdfFormat();
QString pngFormat();

// The known format `name` names (any case, a known alias), or an empty string.
QString formatNamed(const QString& name);
// The format the extension of `path` names, or an empty string (none, or an unknown one).
QString formatOfPath(const QString& path);
// Every format name known, sorted, "png" and "pdf" first: for messages.
QStringList knownFormats();

// `picture` in raster format `format` (not pdf); empty when it cannot be encoded.
QByteArray encodePicture(const QImage& picture, const QString& format);
