#include "picture_format.h"

#include "picture_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

namespace {

QString canonical(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (lower == QLatin1String("tiff"))
        return QStringLiteral("tif");
    return lower;
}

} // namespace

QString pdfFormat() { return QStringLiteral("pdf"); }
QString pngFormat() { return QStringLiteral("png"); }

QStringList knownFormats()
{
    QStringList names;
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        const QString name = canonical(QString::fromLatin1(format));
        if (name != pngFormat() && !names.contains(name))
            names << name;
    }
    names.sort();
    return QStringList({pngFormat(), pdfFormat()}) + names;
}

QString formatNamed(const QString& name)
{
    const QString wanted = canonical(name);
    return !wanted.isEmpty() && knownFormats().contains(wanted) ? wanted : QString();
}

QString formatOfPath(const QString& path) { return formatNamed(QFileInfo(path).suffix()); }

QByteArray encodePicture(const QImage& picture, const QString& format)
{
    if (format == pngFormat())
        return encodePng(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.toLatin1());
    if (picture.isNull() || !writer.write(picture))
        return QByteArray();
    return bytes;
}
