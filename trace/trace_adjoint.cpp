// The descent direction of the colour points of a traced drawing, through a CPU
// model of the solver (strips of fixed colour, Laplace elsewhere) and its adjoint solve.
#include "trace_adjoint.h"

#include "curve_set.h"

#include <algorithm>
#include <cmath>

namespace {

using Rgb = std::array<double, 3>;

// Half the width of a curve's colour strip, in pixels of the canvas.
constexpr double kStripHalfWidth = 2.5;
// Conjugate-gradient steps of the adjoint solve, from zero: only the few free pixels beside the
// strips carry their error back. Measured on traced drawings, the directions of a converged
// solve fit worse: the model's free region (no gradient terms, no blur) is cruder than its
// strips.
constexpr int kSolveSteps = 3;
// Fewest strip pixels a colour point's pull is shared among (see colorDescentDirection).
constexpr double kLeastCoverage = 2.0;

// The colour points that give one strip pixel its colour, with their weights.
struct PixelOwners {
    int strips = 0; // how many strip quads cover the pixel; only 1 constrains it
    int count = 0;
    std::array<int, 4> point{};
    std::array<float, 4> weight{};

    void add(int p, double w)
    {
        if (w <= 0.0 || count == 4)
            return;
        point[count] = p;
        weight[count] = float(w);
        ++count;
    }
};

struct Sample {
    double x, y;   // pixels, y down
    double nx, ny; // unit normal to the left side, pixels
    double abscissa;
};

std::vector<Sample> samplesOf(const Curve& curve, int width, int height)
{
    std::vector<Sample> out;
    curve.forEachSample([&](const CurveSample& s) {
        out.push_back({(s.point.x + 1.0) * 0.5 * width, (1.0 - s.point.y) * 0.5 * height,
                       s.normal.x, -s.normal.y, kSamplesPerSegment * (s.b / 3 + s.t)});
    });
    return out;
}

// Adds the colour points of one side at `abscissa` to `owners` with `share` of the colour.
void addSide(const Curve& curve, AttributeKind side, int firstPoint, double abscissa, double share,
             PixelOwners& owners)
{
    const int n = (side == LeftColor ? curve.left_color_ids : curve.right_color_ids).size();
    if (n == 0 || share <= 0.0)
        return;
    int i = 0;
    const double w = curve.findIntervalAt(abscissa, i, side);
    owners.add(firstPoint + i, share * (1.0 - w));
    if (i + 1 < n)
        owners.add(firstPoint + i + 1, share * w);
}

// Marks the pixels whose centres lie in the strip quad between samples a and b.
void rasteriseQuad(const Curve& curve, const Sample& a, const Sample& b, int leftFirst,
                   int rightFirst, int width, int height, std::vector<PixelOwners>& owners)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    if (length2 < 1e-12)
        return;
    const double reach = kStripHalfWidth + 1.0;
    const int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - reach)));
    const int x1 = std::min(width - 1, int(std::ceil(std::max(a.x, b.x) + reach)));
    const int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - reach)));
    const int y1 = std::min(height - 1, int(std::ceil(std::max(a.y, b.y) + reach)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
            const double u = (px * dx + py * dy) / length2;
            if (u < 0.0 || u >= 1.0)
                continue;
            double nx = a.nx + u * (b.nx - a.nx), ny = a.ny + u * (b.ny - a.ny);
            const double norm = std::hypot(nx, ny);
            if (norm < 1e-9)
                continue;
            const double d = ((px - u * dx) * nx + (py - u * dy) * ny) / norm;
            if (std::abs(d) > kStripHalfWidth)
                continue;
            PixelOwners& o = owners[size_t(y) * width + x];
            if (++o.strips > 1)
                continue;
            const double left = std::clamp(0.5 + d, 0.0, 1.0);
            const double abscissa = a.abscissa + u * (b.abscissa - a.abscissa);
            addSide(curve, LeftColor, leftFirst, abscissa, left, o);
            addSide(curve, RightColor, rightFirst, abscissa, 1.0 - left, o);
        }
}

// Which colour points colour each pixel; pixels covered by no strip or by several are free.
std::vector<PixelOwners> ownersOf(const CurveSet& drawing, int width, int height, int* pointCount)
{
    std::vector<PixelOwners> owners(size_t(width) * height);
    int next = 0;
    for (int i = 0; i < drawing.nb_curves; ++i) {
        const Curve& curve = drawing.curve(i);
        const int leftFirst = next;
        const int rightFirst = leftFirst + curve.left_colors.size();
        next = rightFirst + curve.right_colors.size();
        if (curve.nb_control_points < 4)
            continue;
        const std::vector<Sample> samples = samplesOf(curve, width, height);
        for (size_t k = 0; k + 1 < samples.size(); ++k)
            rasteriseQuad(curve, samples[k], samples[k + 1], leftFirst, rightFirst, width, height,
                          owners);
    }
    *pointCount = next;
    return owners;
}

// Solves, for each channel, sum over in-canvas neighbours n of (v(p) - v(n)) = r(p) on the free
// pixels with v = 0 on the constrained ones, by conjugate gradients from zero.
std::vector<float> solveFree(const std::vector<bool>& free, const std::vector<float>& r, int width,
                             int height)
{
    const size_t n = free.size();
    std::vector<float> v(n * 3, 0.0f), residual(n * 3, 0.0f), direction, product(n * 3, 0.0f);
    for (size_t p = 0; p < n; ++p)
        if (free[p])
            for (int c = 0; c < 3; ++c)
                residual[p * 3 + c] = r[p * 3 + c];
    direction = residual;
    auto apply = [&](const std::vector<float>& in, std::vector<float>& out) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t p = size_t(y) * width + x;
                if (!free[p])
                    continue;
                for (int c = 0; c < 3; ++c) {
                    const float centre = in[p * 3 + c];
                    float sum = 1e-4f * centre;
                    auto edge = [&](int nx, int ny) {
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                            return;
                        const size_t q = size_t(ny) * width + nx;
                        sum += centre - (free[q] ? in[q * 3 + c] : 0.0f);
                    };
                    edge(x - 1, y);
                    edge(x + 1, y);
                    edge(x, y - 1);
                    edge(x, y + 1);
                    out[p * 3 + c] = sum;
                }
            }
    };
    auto dot = [&](const std::vector<float>& a, const std::vector<float>& b, int c) {
        double s = 0.0;
        for (size_t i = size_t(c); i < a.size(); i += 3)
            s += double(a[i]) * b[i];
        return s;
    };
    Rgb rr{};
    for (int c = 0; c < 3; ++c)
        rr[c] = dot(residual, residual, c);
    for (int step = 0; step < kSolveSteps; ++step) {
        apply(direction, product);
        for (int c = 0; c < 3; ++c) {
            const double curvature = dot(direction, product, c);
            if (!(curvature > 0.0) || !(rr[c] > 0.0))
                continue;
            const double alpha = rr[c] / curvature;
            for (size_t i = size_t(c); i < v.size(); i += 3) {
                v[i] += float(alpha * direction[i]);
                residual[i] -= float(alpha * product[i]);
            }
            const double next = dot(residual, residual, c);
            const double beta = next / rr[c];
            rr[c] = next;
            for (size_t i = size_t(c); i < v.size(); i += 3)
                direction[i] = float(residual[i] + beta * direction[i]);
        }
    }
    return v;
}

} // namespace

std::vector<Rgb> colorDescentDirection(const CurveSet& drawing, const std::vector<float>& residual,
                                       int width, int height)
{
    int points = 0;
    const std::vector<PixelOwners> owners = ownersOf(drawing, width, height, &points);
    std::vector<bool> free(owners.size());
    for (size_t p = 0; p < owners.size(); ++p)
        free[p] = owners[p].strips != 1;
    const std::vector<float> v = solveFree(free, residual, width, height);
    std::vector<Rgb> gradient(size_t(points), Rgb{0.0, 0.0, 0.0});
    std::vector<double> coverage(size_t(points), 0.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t p = size_t(y) * width + x;
            if (free[p])
                continue;
            Rgb pull{residual[p * 3], residual[p * 3 + 1], residual[p * 3 + 2]};
            auto carry = [&](int nx, int ny) {
                if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                    return;
                const size_t q = size_t(ny) * width + nx;
                if (free[q])
                    for (int c = 0; c < 3; ++c)
                        pull[c] += v[q * 3 + c];
            };
            carry(x - 1, y);
            carry(x + 1, y);
            carry(x, y - 1);
            carry(x, y + 1);
            const PixelOwners& o = owners[p];
            for (int k = 0; k < o.count; ++k)
                coverage[size_t(o.point[k])] += o.weight[k];
            for (int k = 0; k < o.count; ++k)
                for (int c = 0; c < 3; ++c)
                    gradient[size_t(o.point[k])][c] += o.weight[k] * pull[c];
        }
    for (size_t k = 0; k < gradient.size(); ++k)
        for (double& g : gradient[k])
            g /= std::max(coverage[k], kLeastCoverage);
    return gradient;
}
