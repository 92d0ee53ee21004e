#include "contour_image.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace {

// K[row][column] of the edge kernel; gv reads it as K[dx + 1][dy + 1], gh as K[dy + 1][dx + 1].
constexpr double kEdgeKernel[3][3] = {
    {-0.25, 0.0, 0.25},
    {-0.5, 0.0, 0.5},
    {-0.25, 0.0, 0.25},
};

int channel(QRgb pixel, int c)
{
    switch (c) {
    case 0: return qRed(pixel);
    case 1: return qGreen(pixel);
    default: return qBlue(pixel);
    }
}

// Edge strength at interior pixel (x, y) of `source` (Format_RGB32 or ARGB32), the largest of the
// three channels' gradient magnitudes.
int edgeStrength(const QImage& source, int x, int y)
{
    const QRgb* rows[3] = {
        reinterpret_cast<const QRgb*>(source.constScanLine(y - 1)),
        reinterpret_cast<const QRgb*>(source.constScanLine(y)),
        reinterpret_cast<const QRgb*>(source.constScanLine(y + 1)),
    };
    int strongest = 0;
    for (int c = 0; c < 3; ++c) {
        int gv = 0;
        int gh = 0;
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const int value = channel(rows[dy + 1][x + dx], c);
                // Truncation towards zero after each product is part of the filter's definition.
                gv = static_cast<int>(gv + kEdgeKernel[dx + 1][dy + 1] * value);
                gh = static_cast<int>(gh + kEdgeKernel[dy + 1][dx + 1] * value);
            }
        }
        const float squared = static_cast<float>(gh * gh + gv * gv);
        strongest = std::max(strongest, static_cast<int>(std::sqrt(squared)));
    }
    return strongest;
}

} // namespace

QImage computeContourImage(const QImage& example)
{
    if (example.isNull())
        return QImage();
    const QImage source = example.convertToFormat(QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();
    QImage contour(w, h, QImage::Format_ARGB32);
    contour.fill(qRgb(0, 0, 0)); // the frame; every interior pixel is written below

    for (int x = 1; x <= w - 2; ++x) {
        for (int y = 1; y <= h - 2; ++y) {
            // Two strong gradients at once can push m past 255: clamp instead of wrapping.
            const int grey = std::max(0, 255 - edgeStrength(source, x, y));
            contour.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return contour;
}
