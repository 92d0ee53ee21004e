// Colour fitting of a traced drawing against its bitmap: a least-squares fit of the colour
// points in a growing set of directions (each the descent direction of the error left, see
// trace_adjoint.h), each direction's effect on the picture rendered once.
#include "trace_refinement.h"

#include "curve_set.h"
#include "picture_psnr.h"
#include "trace_adjoint.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The grey the directions are rendered around, and how far a direction may move a colour from
// it (so that no colour point leaves 0 .. 255).
constexpr double kProbeBase = 128.0;
constexpr double kProbeReach = 127.0;

using Rgb = std::array<double, 3>;

// A picture as floats, red, green and blue per pixel (0 .. 255), rows top first.
struct FloatPicture {
    int width = 0, height = 0;
    std::vector<float> values;

    FloatPicture() = default;
    explicit FloatPicture(const QImage& image)
        : width(image.width()), height(image.height()), values(size_t(width) * height * 3)
    {
        const QImage rgb = image.convertToFormat(QImage::Format_RGBA64);
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgba64*>(rgb.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                float* v = &values[(size_t(y) * width + x) * 3];
                v[0] = line[x].red() / 257.0f;
                v[1] = line[x].green() / 257.0f;
                v[2] = line[x].blue() / 257.0f;
            }
        }
    }
};

// Sum over the pixels of channel c of a times b.
double channelDot(const FloatPicture& a, const FloatPicture& b, int c)
{
    double sum = 0.0;
    for (size_t i = size_t(c); i < a.values.size(); i += 3)
        sum += double(a.values[i]) * b.values[i];
    return sum;
}

// The colour points of a drawing in one list: per curve, its left points then its right ones.
std::vector<Rgb> colorsOf(const CurveSet& drawing)
{
    std::vector<Rgb> colors;
    for (int i = 0; i < drawing.nb_curves; ++i)
        for (const QVector<QColor>* side :
             {&drawing.curve(i).left_colors, &drawing.curve(i).right_colors})
            for (const QColor& c : *side)
                colors.push_back({double(c.red()), double(c.green()), double(c.blue())});
    return colors;
}

// Gives the drawing's colour points the values of `colors` (in colorsOf's order), rounded and
// kept within 0 .. 255.
void setColors(CurveSet& drawing, const std::vector<Rgb>& colors)
{
    auto channel = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
    size_t k = 0;
    for (int i = 0; i < drawing.nb_curves; ++i)
        for (QVector<QColor>* side :
             {&drawing.curve(i).left_colors, &drawing.curve(i).right_colors})
            for (QColor& c : *side) {
                c = QColor(channel(colors[k][0]), channel(colors[k][1]), channel(colors[k][2]));
                ++k;
            }
}

// The direction of one round: the descent direction of the error left, the two ends of each
// closed curve's sides (one colour) moved together by their sum.
std::vector<Rgb> directionFrom(const CurveSet& drawing, const FloatPicture& error)
{
    std::vector<Rgb> direction =
        colorDescentDirection(drawing, error.values, error.width, error.height);
    size_t k = 0;
    for (int i = 0; i < drawing.nb_curves; ++i)
        for (const QVector<QColor>* side :
             {&drawing.curve(i).left_colors, &drawing.curve(i).right_colors}) {
            const size_t n = size_t(side->size());
            if (drawing.curve(i).closed && n > 1)
                for (int c = 0; c < 3; ++c)
                    direction[k][c] = direction[k + n - 1][c] =
                        direction[k][c] + direction[k + n - 1][c];
            k += n;
        }
    return direction;
}

// Solves the small symmetric system a x = b by Gaussian elimination with partial pivoting;
// a singular direction gets 0.
std::vector<double> solveSmall(std::vector<std::vector<double>> a, std::vector<double> b)
{
    const int n = int(b.size());
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::abs(a[r][col]) > std::abs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        if (std::abs(a[col][col]) < 1e-12)
            continue;
        for (int r = col + 1; r < n; ++r) {
            const double f = a[r][col] / a[col][col];
            for (int k = col; k < n; ++k)
                a[r][k] -= f * a[col][k];
            b[r] -= f * b[col];
        }
    }
    std::vector<double> x(n, 0.0);
    for (int r = n - 1; r >= 0; --r) {
        if (std::abs(a[r][r]) < 1e-12)
            continue;
        double s = b[r];
        for (int k = r + 1; k < n; ++k)
            s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return x;
}

// A direction of the fit: the move of every colour point and the change it makes to the
// picture.
struct Direction {
    std::vector<Rgb> move;
    FloatPicture change;
};

// The picture at full precision (16 bits, undithered), for the fit's arithmetic. Blurred, as the
// picture is: directions rendered without the blur pass (half the time) fitted photos as well
// but the random-curves round trip 0.6 dB worse beyond its curves.
FloatPicture renderPrecise(DiffusionSolver& solver, const CurveSet& drawing)
{
    solver.setCurveSet(drawing);
    PictureRequest request;
    request.size = solver.images().width;
    request.encoding = {16, false};
    const QImage picture = solver.renderImage(request);
    return picture.isNull() ? FloatPicture() : FloatPicture(picture);
}

// The change the move `direction` makes to the picture: the picture is linear in the colour
// points, so it is the render of the drawing with the move laid on a middle grey (scaled to
// fit in 0 .. 255), less that grey. The move is rounded as the colours are.
bool probe(DiffusionSolver& solver, const CurveSet& drawing, std::vector<Rgb> move, Direction* out)
{
    double largest = 0.0;
    for (const Rgb& m : move)
        for (double v : m)
            largest = std::max(largest, std::abs(v));
    if (!(largest > 0.0))
        return false;
    const double scale = kProbeReach / largest;
    std::vector<Rgb> probeColors(move.size());
    for (size_t k = 0; k < move.size(); ++k)
        for (int c = 0; c < 3; ++c) {
            const double step = std::round(move[k][c] * scale);
            probeColors[k][c] = kProbeBase + step;
            move[k][c] = step / scale;
        }
    CurveSet probed = drawing;
    setColors(probed, probeColors);
    FloatPicture change = renderPrecise(solver, probed);
    // `probed` ends here: the solver must not keep it (a frame drawn between rounds reads it).
    solver.setCurveSet(drawing);
    if (change.values.empty())
        return false;
    for (float& v : change.values)
        v = float((v - kProbeBase) / scale);
    *out = {std::move(move), std::move(change)};
    return true;
}

// Per channel, the weights of the directions that leave the least squared error
// `residual` - sum of weight times change.
std::array<std::vector<double>, 3> bestWeights(const std::vector<Direction>& directions,
                                               const FloatPicture& residual)
{
    const int n = int(directions.size());
    std::array<std::vector<double>, 3> weights;
    for (int c = 0; c < 3; ++c) {
        std::vector<std::vector<double>> gram(n, std::vector<double>(n, 0.0));
        std::vector<double> right(n, 0.0);
        for (int i = 0; i < n; ++i) {
            right[i] = channelDot(directions[i].change, residual, c);
            for (int j = 0; j <= i; ++j)
                gram[i][j] = gram[j][i] = channelDot(directions[i].change, directions[j].change, c);
        }
        weights[c] = solveSmall(gram, right);
    }
    return weights;
}

} // namespace

QImage renderTracedPicture(DiffusionSolver& solver, QString* error)
{
    PictureRequest request;
    request.size = solver.images().width;
    return solver.renderImage(request, error);
}

std::vector<double> refineTracedColors(DiffusionSolver& solver, CurveSet& drawing,
                                       const QImage& bitmap, int rounds,
                                       const std::function<bool()>& cancelled, QImage* picture)
{
    if (picture)
        *picture = QImage();
    const int size = solver.images().width;
    const QImage targetImage =
        bitmap.size() == QSize(size, size)
            ? bitmap
            : bitmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const FloatPicture target(targetImage);
    solver.setCurveSet(drawing);
    const QImage before = renderTracedPicture(solver);
    if (before.isNull())
        return {};
    std::vector<double> psnr{picturePsnr(before, targetImage)};
    if (rounds < 1) {
        if (picture)
            *picture = before;
        return psnr;
    }
    const FloatPicture start(before);
    FloatPicture firstError = target;
    for (size_t i = 0; i < firstError.values.size(); ++i)
        firstError.values[i] -= start.values[i];
    const std::vector<Rgb> firstColors = colorsOf(drawing);
    std::vector<Direction> directions;
    std::vector<Rgb> colors = firstColors;
    FloatPicture error = firstError;
    for (int round = 0; round < rounds; ++round) {
        if (cancelled && cancelled()) { // the drawing keeps its first colours
            solver.setCurveSet(drawing);
            return psnr;
        }
        Direction d;
        if (!probe(solver, drawing, directionFrom(drawing, error), &d))
            break;
        directions.push_back(std::move(d));
        // The best combination of all directions so far, from the first colours.
        const auto weights = bestWeights(directions, firstError);
        colors = firstColors;
        error = firstError;
        for (size_t i = 0; i < directions.size(); ++i)
            for (int c = 0; c < 3; ++c) {
                for (size_t k = 0; k < colors.size(); ++k)
                    colors[k][c] += weights[c][i] * directions[i].move[k][c];
                const std::vector<float>& change = directions[i].change.values;
                for (size_t p = size_t(c); p < change.size(); p += 3)
                    error.values[p] -= float(weights[c][i] * change[p]);
            }
        double squared = 0.0;
        for (float v : error.values)
            squared += double(v) * v;
        psnr.push_back(10.0 * std::log10(255.0 * 255.0 * error.values.size() / squared));
    }
    if (directions.empty()) { // nothing to move
        if (picture)
            *picture = before;
        solver.setCurveSet(drawing);
        return psnr;
    }
    // The fitted colours, rounded and clamped, measured by a render; kept when they gain.
    CurveSet fitted = drawing;
    setColors(fitted, colors);
    solver.setCurveSet(fitted);
    const QImage after = renderTracedPicture(solver);
    const double measured = after.isNull() ? 0.0 : picturePsnr(after, targetImage);
    const bool gained = measured > psnr.front();
    if (gained)
        drawing = fitted;
    if (picture)
        *picture = gained ? after : before;
    if (psnr.size() > 1)
        psnr.back() = std::max(measured, psnr.front());
    solver.setCurveSet(drawing);
    return psnr;
}
