#include "reference_picture.h"

#include <QImage>

#include <algorithm>
#include <cmath>

ReferencePicture::ReferencePicture(const QImage& picture)
{
    if (picture.isNull() || picture.width() != picture.height())
        return;
    const QImage wide = picture.convertToFormat(QImage::Format_RGBA64);
    side = wide.width();
    values.resize(size_t(side) * side * 3);
    for (int row = 0; row < side; ++row) {
        const auto* line = reinterpret_cast<const quint16*>(wide.constScanLine(row));
        float* out = &values[size_t(row) * side * 3];
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = line[4 * x + c] * (255.0f / 65535.0f);
    }
}

Point ReferencePicture::toPixels(const Point& p) const
{
    return Point((p.x + 1.0) * 0.5 * side, (1.0 - p.y) * 0.5 * side);
}

Point ReferencePicture::toCanvas(double x, double row) const
{
    return Point(x * 2.0 / side - 1.0, 1.0 - row * 2.0 / side);
}

std::array<float, 3> ReferencePicture::at(const Point& p) const
{
    std::array<float, 3> rgb{};
    if (isNull())
        return rgb;
    const Point q = toPixels(p);
    const double fx = std::clamp(q.x - 0.5, 0.0, side - 1.0);
    const double fy = std::clamp(q.y - 0.5, 0.0, side - 1.0);
    const int x0 = std::min(int(fx), side - 2 < 0 ? 0 : side - 2);
    const int y0 = std::min(int(fy), side - 2 < 0 ? 0 : side - 2);
    const int x1 = std::min(x0 + 1, side - 1), y1 = std::min(y0 + 1, side - 1);
    const float wx = float(fx - x0), wy = float(fy - y0);
    const float *a = pixel(x0, y0), *b = pixel(x1, y0), *c = pixel(x0, y1), *d = pixel(x1, y1);
    for (int k = 0; k < 3; ++k)
        rgb[k] = (1 - wy) * ((1 - wx) * a[k] + wx * b[k]) + wy * ((1 - wx) * c[k] + wx * d[k]);
    return rgb;
}
