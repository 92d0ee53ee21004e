#include "bitmap_check.h"

#include "contour_image.h"
#include "example_bitmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace {

// The file the bytes are read from: on a memory file system where there is one.
QString scratchTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    return (QDir(shm).exists() ? shm : QDir::tempPath()) + QStringLiteral("/bitmap-XXXXXX");
}

std::string checkOne(const QString& path, int side, Qt::TransformationMode scaling, bool* decoded)
{
    QString reason;
    const QImage image = readExampleBitmap(path, side, reason, scaling);
    *decoded = !image.isNull();
    if (image.isNull())
        return reason.isEmpty() ? "a refused bitmap gives no reason" : std::string();
    if (image.size() != QSize(side, side))
        return "the bitmap is " + std::to_string(image.width()) + " x "
               + std::to_string(image.height()) + ", not " + std::to_string(side) + " square";
    if (computeContourImage(image).size() != image.size())
        return "the contour image has another size than the bitmap";
    return std::string();
}

} // namespace

std::string checkExampleBitmap(const QByteArray& bytes, bool* decoded)
{
    QTemporaryFile file(scratchTemplate());
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return "cannot write the scratch file";
    // The editor's background (nearest sampling, 512) and the tracer's (smooth sampling), at a
    // smaller side so that a run stays quick: the path is the same.
    bool background = false, traced = false;
    std::string fault = checkOne(file.fileName(), 64, Qt::FastTransformation, &background);
    if (fault.empty())
        fault = checkOne(file.fileName(), 48, Qt::SmoothTransformation, &traced);
    if (fault.empty() && background != traced)
        fault = "the two scalings disagree on whether the bitmap can be read";
    if (decoded != nullptr)
        *decoded = background;
    return fault;
}
