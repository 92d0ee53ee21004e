// The tracer's colour stage: colour points on both sides of a traced curve.
#include "bitmap_tracer.h"
#include "color_samples.h"

#include <algorithm>
#include <cmath>

namespace trace {
namespace {

// Bilinear read of an 8-bit RGB image at continuous position (x, y), clamped to the image.
QColor colorAt(const cv::Mat& rgb, double x, double y)
{
    const double fx = std::clamp(x - 0.5, 0.0, rgb.cols - 1.0);
    const double fy = std::clamp(y - 0.5, 0.0, rgb.rows - 1.0);
    const int x0 = std::min(int(fx), rgb.cols - 1), y0 = std::min(int(fy), rgb.rows - 1);
    const int x1 = std::min(x0 + 1, rgb.cols - 1), y1 = std::min(y0 + 1, rgb.rows - 1);
    const double wx = fx - x0, wy = fy - y0;
    int channel[3];
    for (int c = 0; c < 3; ++c) {
        const double top =
            rgb.at<cv::Vec3b>(y0, x0)[c] * (1 - wx) + rgb.at<cv::Vec3b>(y0, x1)[c] * wx;
        const double bottom =
            rgb.at<cv::Vec3b>(y1, x0)[c] * (1 - wx) + rgb.at<cv::Vec3b>(y1, x1)[c] * wx;
        channel[c] = int(std::lround(top * (1 - wy) + bottom * wy));
    }
    return QColor(channel[0], channel[1], channel[2]);
}

// The kept samples as the side's colour list; a closed curve's two ends, which meet, get the
// mean of their colours.
void setSide(const QVector<ColorSample>& samples, bool closed, double tolerance,
             QVector<QColor>& colors, QVector<int>& ids, int& count)
{
    colors.clear();
    ids.clear();
    for (int i : simplifyColorSamples(samples, tolerance)) {
        colors << samples[i].color;
        ids << samples[i].globalID;
    }
    if (ids.back() != samples.back().globalID) {
        colors << samples.back().color;
        ids << samples.back().globalID;
    }
    if (closed && colors.size() > 1) {
        const QColor a = colors.front(), b = colors.back();
        const QColor mean((a.red() + b.red() + 1) / 2, (a.green() + b.green() + 1) / 2,
                          (a.blue() + b.blue() + 1) / 2);
        colors.front() = colors.back() = mean;
    }
    count = ids.size();
}

} // namespace

void sampleSideColors(Curve& curve, const cv::Mat& rgb, double offset, double tolerance)
{
    if (curve.segmentCount() < 1 || rgb.empty())
        return;
    const double toCanvas = 2.0 / std::max(rgb.cols, rgb.rows);
    auto read = [&](const Point& p) {
        return colorAt(rgb, (p.x + 1.0) * rgb.cols / 2.0, (1.0 - p.y) * rgb.rows / 2.0);
    };
    QVector<ColorSample> left, right;
    curve.forEachSample([&](const CurveSample& s) {
        const int id = int(std::floor(kSamplesPerSegment * (s.b / 3 + s.t) + 0.5));
        if (!left.isEmpty() && left.back().globalID == id)
            return;
        const Point side = s.normal * (offset * toCanvas);
        left << ColorSample{read(s.point + side), id};
        right << ColorSample{read(s.point - side), id};
    });
    setSide(left, curve.closed, tolerance, curve.left_colors, curve.left_color_ids,
            curve.nb_left_colors);
    setSide(right, curve.closed, tolerance, curve.right_colors, curve.right_color_ids,
            curve.nb_right_colors);
}

} // namespace trace
