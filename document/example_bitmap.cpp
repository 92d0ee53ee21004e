#include "example_bitmap.h"

#include "file_access.h"

#include <QFile>
#include <QImageReader>

QImage readExampleBitmap(const QString& path, int side, QString& reason)
{
    QFile file;
    if (!openRegularFile(file, path, reason))
        return QImage();
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        reason = reader.canRead() ? QStringLiteral("its size cannot be read from its header")
                                  : QStringLiteral("not an image in a known format");
        return QImage();
    }
    const QSize wanted(side, side);
    const bool large = qint64(size.width()) * size.height() > kMaxDecodedPixels;
    if (large) {
        if (!reader.supportsOption(QImageIOHandler::ScaledSize)) {
            reason = QStringLiteral("%1 x %2 pixels is too large for its format (at most %3 "
                                    "pixels)")
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
    return image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
