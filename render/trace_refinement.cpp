// Colour fitting of a traced drawing against its bitmap, by rounds of render and compare.
#include "trace_refinement.h"

#include "curve_set.h"
#include "picture_psnr.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Distances (canvas pixels) beside a curve at which the error is read: just beyond the strip of
// fixed colour (2.5 pixels) and a little further.
constexpr double kReadDistances[] = {3.0, 4.5, 6.0};

using Rgb = std::array<double, 3>;

// bitmap - picture per pixel and channel (0 .. 255), rows top first.
class ErrorImage {
public:
    ErrorImage(const QImage& bitmap, const QImage& picture)
        : width(picture.width()), height(picture.height()), values(size_t(width) * height)
    {
        const QImage a = bitmap.convertToFormat(QImage::Format_RGB32);
        const QImage b = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
            const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
            for (int x = 0; x < width; ++x)
                values[size_t(y) * width + x] = {double(qRed(p[x]) - qRed(q[x])),
                                                 double(qGreen(p[x]) - qGreen(q[x])),
                                                 double(qBlue(p[x]) - qBlue(q[x]))};
        }
    }
    // The error at canvas point p; false outside the canvas.
    bool at(const Point& p, Rgb* error) const
    {
        const int x = int(std::floor((p.x + 1.0) * 0.5 * width));
        const int y = int(std::floor((1.0 - p.y) * 0.5 * height));
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        *error = values[size_t(y) * width + x];
        return true;
    }

private:
    int width, height;
    std::vector<Rgb> values;
};

QColor shifted(const QColor& c, const Rgb& by)
{
    auto channel = [](int v, double d) { return std::clamp(int(std::lround(v + d)), 0, 255); };
    return QColor(channel(c.red(), by[0]), channel(c.green(), by[1]), channel(c.blue(), by[2]));
}

// Moves each colour point of one side by the mean error beside the stretch of curve nearest to
// it (half way to its neighbours).
void adjustSide(Curve& curve, int side, const ErrorImage& error, double pixel)
{
    QVector<QColor>& colors = side == 0 ? curve.left_colors : curve.right_colors;
    const QVector<int>& ids = side == 0 ? curve.left_color_ids : curve.right_color_ids;
    const int n = ids.size();
    if (n == 0)
        return;
    std::vector<Rgb> sums(n, Rgb{0, 0, 0});
    std::vector<int> counts(n, 0);
    const double sign = side == 0 ? 1.0 : -1.0;
    curve.forEachSample([&](const CurveSample& s) {
        const double id = kSamplesPerSegment * (s.b / 3 + s.t);
        int k = 0;
        while (k + 1 < n && id > 0.5 * (ids[k] + ids[k + 1]))
            ++k;
        for (double d : kReadDistances) {
            Rgb e;
            if (!error.at(s.point + s.normal * (sign * d * pixel), &e))
                continue;
            for (int c = 0; c < 3; ++c)
                sums[k][c] += e[c];
            ++counts[k];
        }
    });
    for (int k = 0; k < n; ++k) {
        if (counts[k] == 0)
            continue;
        for (double& v : sums[k])
            v /= counts[k];
        colors[k] = shifted(colors[k], sums[k]);
    }
    if (curve.closed && n > 1) // the two ends meet: one colour
        colors[n - 1] = colors[0];
}

} // namespace

QImage renderTracedPicture(DiffusionSolver& solver, QString* error)
{
    PictureRequest request;
    request.size = solver.canvasWidth();
    return solver.renderImage(request, error);
}

std::vector<double> refineTracedColors(DiffusionSolver& solver, CurveSet& drawing,
                                       const QImage& bitmap, int rounds, const bool* stop)
{
    const int size = solver.canvasWidth();
    const QImage target =
        bitmap.size() == QSize(size, size)
            ? bitmap
            : bitmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    solver.setCurveSet(drawing);
    std::vector<double> psnr;
    for (int round = 0;; ++round) {
        const QImage picture = renderTracedPicture(solver);
        if (picture.isNull())
            return psnr;
        psnr.push_back(picturePsnr(picture, target));
        if (round == rounds || (stop && *stop))
            return psnr;
        const ErrorImage error(target, picture);
        for (int i = 0; i < drawing.nb_curves; ++i)
            for (int side : {0, 1})
                adjustSide(drawing.curve(i), side, error, 2.0 / size);
        solver.setCurveSet(drawing);
    }
}
