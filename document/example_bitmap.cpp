#include "example_bitmap.h"

#include "file_access.h"

#include <QFile>
#include <QImageReader>

namespace {

// Bytes of the file's start looked at to tell how it decodes (JPEG metadata segments come first).
constexpr qint64 kHeaderBytes = 256 * 1024;

// A PNG that is not interlaced: the toolkit scales it row by row while decoding. An interlaced
// one is decoded whole first.
bool isSequentialPng(const QByteArray& head)
{
    return head.startsWith("\x89PNG\r\n\x1a\n") && head.size() > 28 && head[28] == 0;
}

// A baseline or extended sequential JPEG: decoded at a reduced scale in bounded memory. A
// progressive one keeps every coefficient of the full image.
bool isSequentialJpeg(const QByteArray& head)
{
    const auto byte = [&head](int i) { return uchar(head[i]); };
    if (head.size() < 4 || byte(0) != 0xff || byte(1) != 0xd8)
        return false;
    int at = 2;
    while (at + 4 <= head.size()) {
        if (byte(at) != 0xff)
            return false;
        const int marker = byte(at + 1);
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xc0 || marker == 0xc1)
            return true;
        if (marker >= 0xc2 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
            return false; // another frame type: progressive, lossless, hierarchical
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
            at += 2;
            continue;
        }
        at += 2 + (byte(at + 2) << 8 | byte(at + 3));
    }
    return false;
}

} // namespace

QImage readExampleBitmap(const QString& path, int side, QString& reason,
                         Qt::TransformationMode scaling)
{
    QFile file;
    if (!openRegularFile(file, path, reason))
        return QImage();
    const QByteArray head = file.peek(kHeaderBytes);
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        reason = reader.canRead() ? QStringLiteral("its size cannot be read from its header")
                                  : QStringLiteral("not an image in a known format");
        return QImage();
    }
    const QSize wanted(side, side);
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > kMaxScaledDecodePixels) {
        reason = QStringLiteral("%1 x %2 pixels is too large (at most %3 pixels)")
                     .arg(size.width())
                     .arg(size.height())
                     .arg(kMaxScaledDecodePixels);
        return QImage();
    }
    const bool large = pixels > kMaxDecodedPixels;
    if (large) {
        if (!isSequentialPng(head) && !isSequentialJpeg(head)) {
            reason = QStringLiteral("%1 x %2 pixels is too large for its format (at most %3 "
                                    "pixels unless a PNG that is not interlaced or a sequential "
                                    "JPEG)")
                         .arg(size.width())
                         .arg(size.height())
                         .arg(kMaxDecodedPixels);
            return QImage();
        }
        reader.setScaledSize(wanted);
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        reason = reader.errorString();
        return QImage();
    }
    if (image.size() == wanted)
        return image;
    return image.scaled(wanted, Qt::IgnoreAspectRatio, scaling);
}
