// PSNR of one picture against another.
#include "picture_psnr.h"

#include <cmath>
#include <limits>

double picturePsnr(const QImage& picture, const QImage& reference, const std::vector<bool>* counted)
{
    if (picture.size() != reference.size() || picture.isNull())
        return 0.0;
    const QImage a = picture.convertToFormat(QImage::Format_RGB32);
    const QImage b = reference.convertToFormat(QImage::Format_RGB32);
    const int w = a.width(), h = a.height();
    if (counted && counted->size() != size_t(w) * h)
        return 0.0;
    double squares = 0.0;
    long long pixels = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (counted && !(*counted)[size_t(y) * w + x])
                continue;
            const double dr = qRed(p[x]) - qRed(q[x]), dg = qGreen(p[x]) - qGreen(q[x]),
                         db = qBlue(p[x]) - qBlue(q[x]);
            squares += dr * dr + dg * dg + db * db;
            ++pixels;
        }
    }
    if (pixels == 0)
        return 0.0;
    if (squares == 0.0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 * 3.0 * pixels / squares);
}
