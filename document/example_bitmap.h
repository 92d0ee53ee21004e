#pragma once

#include <QImage>
#include <QString>

// Most pixels an example bitmap is decoded with at its own size (64 MB at four bytes a pixel).
constexpr qint64 kMaxDecodedPixels = qint64(16) << 20;
// Most pixels of a bitmap scaled while it is decoded: a JPEG is decoded at 1/8 of its side at
// least, so beyond 64 x kMaxDecodedPixels even that holds more than kMaxDecodedPixels; a PNG is
// decoded row after row, every row, so its time grows with its whole size.
constexpr qint64 kMaxScaledDecodePixels = 64 * kMaxDecodedPixels;

// Reads the example bitmap at `path` as a `side` x `side` image whatever its own size, the
// aspect ratio ignored. Only a regular file is read, and its size is read from its header first:
// a bitmap of up to kMaxDecodedPixels is decoded whole and scaled with `scaling` (nearest
// sampling for the editor's background; the tracer asks for smooth scaling, whose edges stay
// straight instead of turning into the steps of enlarged pixels); a larger
// one is scaled while it is decoded (smooth sampling) where that takes bounded memory (a PNG that
// is not interlaced, a sequential JPEG), and is refused otherwise (an interlaced PNG, a
// progressive JPEG and a BMP would be decoded whole), as is any bitmap of more than
// kMaxScaledDecodePixels (a JPEG file of a few hundred bytes can claim 65000 x 65000 pixels,
// whose decoding would take half a minute and hundreds of MB). Returns a null image with `reason`
// set when the file cannot be read, is no image the toolkit decodes, or is refused.
QImage readExampleBitmap(const QString& path, int side, QString& reason,
                         Qt::TransformationMode scaling = Qt::FastTransformation);
