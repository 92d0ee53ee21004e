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
constexpr double kReadDistances[] = {1.5, 3.0, 4.5, 6.0, 9.0};

// Steps along a direction below this change no colour by a whole level: the rounds end.
constexpr double kLeastStep = 0.05;

using Rgb = std::array<double, 3>;

// A picture as floats, red, green and blue per pixel (0 .. 255), rows top first.
struct FloatPicture {
    int width = 0, height = 0;
    std::vector<float> values;

    explicit FloatPicture(const QImage& image)
        : width(image.width()), height(image.height()), values(size_t(width) * height * 3)
    {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                float* v = &values[(size_t(y) * width + x) * 3];
                v[0] = qRed(line[x]);
                v[1] = qGreen(line[x]);
                v[2] = qBlue(line[x]);
            }
        }
    }
    FloatPicture operator-(const FloatPicture& o) const
    {
        FloatPicture d = *this;
        for (size_t i = 0; i < values.size(); ++i)
            d.values[i] -= o.values[i];
        return d;
    }
    double dotWith(const FloatPicture& o) const
    {
        double sum = 0.0;
        for (size_t i = 0; i < values.size(); ++i)
            sum += double(values[i]) * o.values[i];
        return sum;
    }
    // The value at canvas point p; false outside the canvas.
    bool at(const Point& p, Rgb* value) const
    {
        const int x = int(std::floor((p.x + 1.0) * 0.5 * width));
        const int y = int(std::floor((1.0 - p.y) * 0.5 * height));
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        const float* v = &values[(size_t(y) * width + x) * 3];
        *value = {v[0], v[1], v[2]};
        return true;
    }
};

QColor shifted(const QColor& c, const Rgb& by)
{
    auto channel = [](int v, double d) { return std::clamp(int(std::lround(v + d)), 0, 255); };
    return QColor(channel(c.red(), by[0]), channel(c.green(), by[1]), channel(c.blue(), by[2]));
}

// Moves each colour point of one side by the mean error beside the stretch of curve nearest to
// it (half way to its neighbours).
void adjustSide(Curve& curve, int side, const FloatPicture& error, double pixel)
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

namespace {

// Each colour point of `from` moved the share `step` of the way to its value in `to` (the same
// curves, other colours).
void blendColors(CurveSet& from, const CurveSet& to, double step)
{
    auto blend = [step](QColor& a, const QColor& b) {
        auto channel = [step](int p, int q) {
            return std::clamp(int(std::lround(p + step * (q - p))), 0, 255);
        };
        a = QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                   channel(a.blue(), b.blue()));
    };
    for (int i = 0; i < from.nb_curves; ++i) {
        Curve& a = from.curve(i);
        const Curve& b = to.curve(i);
        for (int k = 0; k < a.left_colors.size(); ++k)
            blend(a.left_colors[k], b.left_colors[k]);
        for (int k = 0; k < a.right_colors.size(); ++k)
            blend(a.right_colors[k], b.right_colors[k]);
    }
}

} // namespace

std::vector<double> refineTracedColors(DiffusionSolver& solver, CurveSet& drawing,
                                       const QImage& bitmap, int rounds, const bool* stop)
{
    const int size = solver.canvasWidth();
    const QImage targetImage =
        bitmap.size() == QSize(size, size)
            ? bitmap
            : bitmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const FloatPicture target(targetImage);
    solver.setCurveSet(drawing);
    QImage picture = renderTracedPicture(solver);
    if (picture.isNull())
        return {};
    std::vector<double> psnr{picturePsnr(picture, targetImage)};
    for (int round = 0; round < rounds && !(stop && *stop); ++round) {
        // The direction: each colour point moved by the error beside it. The picture is linear
        // in the colour points, so one render of the moved drawing gives the change D it makes,
        // and the step along it that leaves the least squared error E - step D is <E, D> / <D, D>.
        const FloatPicture now(picture);
        const FloatPicture error = target - now;
        CurveSet moved = drawing;
        for (int i = 0; i < moved.nb_curves; ++i)
            for (int side : {0, 1})
                adjustSide(moved.curve(i), side, error, 2.0 / size);
        solver.setCurveSet(moved);
        const QImage trial = renderTracedPicture(solver);
        if (trial.isNull())
            break;
        const FloatPicture change = FloatPicture(trial) - now;
        const double norm = change.dotWith(change);
        const double step = norm > 0.0 ? std::clamp(error.dotWith(change) / norm, 0.0, 8.0) : 0.0;
        if (step < kLeastStep) { // the direction is spent
            psnr.push_back(psnr.back());
            break;
        }
        CurveSet next = drawing;
        blendColors(next, moved, step);
        solver.setCurveSet(next);
        const QImage result = renderTracedPicture(solver);
        const double score = result.isNull() ? 0.0 : picturePsnr(result, targetImage);
        if (!(score > psnr.back())) { // no gain (colours are whole numbers): stop here
            psnr.push_back(psnr.back());
            break;
        }
        drawing = next;
        picture = result;
        psnr.push_back(score);
    }
    solver.setCurveSet(drawing);
    return psnr;
}
