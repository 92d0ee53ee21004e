// Snapping a curve to image contours and reading its colours from an image or a rendered picture.
#include "curve_sampling.h"

#include "color_samples.h"
#include "curve.h"
#include "pixel_reader.h"

#include <algorithm>
#include <cmath>

namespace {

// Weights of the energy terms: bending, stretching and the image.
constexpr double kBendWeight = 2.0;
constexpr double kStretchWeight = 3.0;
constexpr double kImageWeight = 4.0;
// Distance, in pixels, beside the curve at which colours are read.
constexpr double kExampleOffset = 6.0;
constexpr double kRenderedOffset = 5.0;
// L*a*b* distance within which a reduced colour list must reproduce the samples.
constexpr double kColorTolerance = 30.0;

// Position on the globalID scale of a sample of segment b / 3 at parameter t.
int sampleGlobalID(int b, double t)
{
    return static_cast<int>(std::floor(kSamplesPerSegment * (b / 3 + t) + 0.5));
}

// Pixel index of image coordinate u in 0..1 (truncated) on an axis of `size` pixels, clamped.
int pixelIndex(double u, int size)
{
    const double p = std::clamp(u * size, -1.0, static_cast<double>(size));
    return std::clamp(static_cast<int>(p), 0, size - 1);
}

// The contour image as 32-bit pixels, read by rows (row 0 at the top).
class ContourImage {
public:
    explicit ContourImage(const QImage& image)
        : image_(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                     ? image
                     : image.convertToFormat(QImage::Format_RGB32))
    {
    }

    // Image term of one curve point: its pixel's red channel (0..1) inside the image, 1 outside.
    double cost(const Point& p) const
    {
        const double u = (p.x + 1.0) / 2.0;
        const double v = 1.0 - (p.y + 1.0) / 2.0;
        if (!(u > 0.0 && u < 1.0 && v > 0.0 && v < 1.0))
            return 1.0;
        const int col = pixelIndex(u, image_.width());
        const int row = pixelIndex(v, image_.height());
        const QRgb rgb = reinterpret_cast<const QRgb*>(image_.constScanLine(row))[col];
        return qRed(rgb) / 255.0;
    }

private:
    QImage image_;
};

double snakeEnergy(const Curve& c, int k, const ContourImage& contour)
{
    const QVector<Point>& p = c.control_points;
    const int n = p.size();
    const Point& prev = p[std::max(k - 1, 0)];
    const Point& next = p[std::min(k + 1, n - 1)];
    const double bend = (next - p[k] * 2.0 + prev).norm();
    const double stretch = (p[k] - prev).norm();

    double image = 0.0;
    const int key = k / 3 * 3;
    const int last = std::min(key + 3, n - 1);
    for (int b = std::max(key - 3, 0); b <= last; b += 3)
        for (double t = 0.0; t <= 1.0; t += sampleStep)
            image += contour.cost(c.pointAt(t, b));
    return kBendWeight * bend + kStretchWeight * stretch + kImageWeight * image;
}

// Rebuilds one colour list from the samples kept by the simplification.
void rebuildColors(const QVector<ColorSample>& samples, QVector<QColor>& colors, QVector<int>& ids,
                   int& count)
{
    colors.clear();
    ids.clear();
    for (int i : simplifyColorSamples(samples, kColorTolerance)) {
        colors.append(samples[i].color);
        ids.append(samples[i].globalID);
    }
    count = ids.size();
}

void appendSample(QVector<ColorSample>& samples, const QColor& color, int globalID)
{
    if (!samples.isEmpty() && samples.last().globalID == globalID)
        return;
    samples.append(ColorSample{color, globalID});
}

int floatChannel(float v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(std::floor(255.0 * v + 0.5), 0.0, 255.0));
}

} // namespace

void snakeStep(Curve& curve, const QImage& contour, double pixelStep, int reachSteps)
{
    const int n = curve.control_points.size();
    if (contour.isNull() || n < 3 || !std::isfinite(pixelStep) || reachSteps < 0)
        return;
    const ContourImage image(contour);
    for (int k = 1; k <= n - 2; ++k) {
        const Point start = curve.control_points[k];
        double best = snakeEnergy(curve, k, image);
        Point bestPosition = start;
        for (int i = -reachSteps; i <= reachSteps; ++i) {
            for (int j = -reachSteps; j <= reachSteps; ++j) {
                curve.control_points[k] = start + Point(i * pixelStep, j * pixelStep);
                const double e = snakeEnergy(curve, k, image);
                if (e < best) {
                    best = e;
                    bestPosition = curve.control_points[k];
                }
            }
        }
        curve.control_points[k] = bestPosition;
    }
    if (curve.closed)
        curve.control_points[0] = curve.control_points[n - 1];
    curve.updateBoundingBox();
}

void sampleFromExample(Curve& curve, const QImage& example, double pixelStep)
{
    if (example.isNull() || curve.segmentCount() < 1)
        return;
    const double offset = kExampleOffset * pixelStep;
    const int width = example.width();
    const int height = example.height();
    QVector<ColorSample> left;
    QVector<ColorSample> right;
    auto read = [&](const Point& p, int globalID, QVector<ColorSample>& samples) {
        const double u = (p.x + 1.0) / 2.0;
        const double v = 1.0 - (p.y + 1.0) / 2.0;
        if (!(u >= 0.0 && u < 1.0 && v >= 0.0 && v < 1.0))
            return;
        const QRgb rgb = example.pixel(pixelIndex(u, width), pixelIndex(v, height));
        appendSample(samples, QColor(qRed(rgb), qGreen(rgb), qBlue(rgb)), globalID);
    };
    curve.forEachSample([&](const CurveSample& s) {
        const int id = sampleGlobalID(s.b, s.t);
        read(s.point + s.normal * offset, id, left);
        read(s.point - s.normal * offset, id, right);
    });
    rebuildColors(left, curve.left_colors, curve.left_color_ids, curve.nb_left_colors);
    rebuildColors(right, curve.right_colors, curve.right_color_ids, curve.nb_right_colors);
}

void sampleRenderedColors(Curve& curve, int side, const PixelReader& picture, double pixelStep)
{
    const int width = picture.width();
    const int height = picture.height();
    if ((side != 0 && side != 1) || width <= 0 || height <= 0 || curve.segmentCount() < 1)
        return;
    const double offset = (side == 0 ? kRenderedOffset : -kRenderedOffset) * pixelStep;
    QVector<ColorSample> samples;
    curve.forEachSample([&](const CurveSample& s) {
        const Point p = s.point + s.normal * offset;
        const int col = pixelIndex((p.x + 1.0) / 2.0, width);
        const int row = pixelIndex((p.y + 1.0) / 2.0, height);
        const std::array<float, 4> rgba = picture.readPixel(col, row);
        appendSample(samples,
                     QColor(floatChannel(rgba[0]), floatChannel(rgba[1]), floatChannel(rgba[2])),
                     sampleGlobalID(s.b, s.t));
    });
    if (side == 0)
        rebuildColors(samples, curve.left_colors, curve.left_color_ids, curve.nb_left_colors);
    else
        rebuildColors(samples, curve.right_colors, curve.right_color_ids, curve.nb_right_colors);
}
