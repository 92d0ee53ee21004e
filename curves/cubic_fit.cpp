// Least-squares fit of the two tangent lengths of one cubic Bezier with fixed ends and directions.
#include "cubic_fit.h"

#include <cmath>

namespace {

// Lengths below this are treated as a failed fit (the tangent would point backwards or vanish).
constexpr double kMinTangentLength = 1e-6;
// Relative size below which the 2 x 2 normal-equation determinant counts as zero.
constexpr double kSingularDeterminant = 1e-12;

// Length of the polyline through d.
double polylineLength(const QVector<Point>& d)
{
    double length = 0.0;
    for (int q = 1; q < d.size(); ++q)
        length += (d[q] - d[q - 1]).norm();
    return length;
}

} // namespace

std::optional<CubicBezier> fitCubic(const QVector<Point>& d, const Point& t1, const Point& t2)
{
    const int k = d.size();
    if (k < 2)
        return std::nullopt;
    // Chord-length parameters u[0 .. k-1], 0 to 1.
    QVector<double> u(k, 0.0);
    for (int q = 1; q < k; ++q)
        u[q] = u[q - 1] + (d[q] - d[q - 1]).norm();
    const double total = u[k - 1];
    if (!(total > 0.0) || !std::isfinite(total))
        return std::nullopt;
    for (int q = 1; q < k; ++q)
        u[q] /= total;
    u[k - 1] = 1.0;
    return fitCubicAt(d, u, t1, t2);
}

std::optional<CubicBezier> fitCubicAt(const QVector<Point>& d, const QVector<double>& u,
                                      const Point& t1, const Point& t2)
{
    const int k = d.size();
    const double length = polylineLength(d);
    if (k < 2 || u.size() != k || !(length > 0.0) || !std::isfinite(length))
        return std::nullopt;

    const Point dir1 = unit(t1);
    const Point dir2 = unit(t2);
    const Point b0 = d[0];
    const Point b3 = d[k - 1];

    double m00 = 0.0, m01 = 0.0, m11 = 0.0, x0 = 0.0, x1 = 0.0;
    for (int q = 0; q < k; ++q) {
        const double s = u[q];
        const double r = 1.0 - s;
        const double B0 = r * r * r;
        const double B1 = 3.0 * s * r * r;
        const double B2 = 3.0 * s * s * r;
        const double B3 = s * s * s;
        const Point a1 = dir1 * B1;
        const Point a2 = dir2 * B2;
        m00 += dot(a1, a1);
        m01 += dot(a1, a2);
        m11 += dot(a2, a2);
        const Point e = d[q] - (b0 * (B0 + B1) + b3 * (B2 + B3));
        x0 += dot(a1, e);
        x1 += dot(a2, e);
    }

    const double fallback = (b3 - b0).norm() / 3.0;
    double alphaL = fallback;
    double alphaR = fallback;
    // Parallel tangents make the system singular in exact arithmetic, but rounding leaves a tiny
    // determinant whose solution is arbitrary; treat anything at rounding level as singular.
    const double det = m00 * m11 - m01 * m01;
    if (std::abs(det) > kSingularDeterminant * m00 * m11) {
        alphaL = (x0 * m11 - x1 * m01) / det;
        alphaR = (m00 * x1 - m01 * x0) / det;
    } else if (m00 + m01 != 0.0) {
        alphaL = alphaR = x0 / (m00 + m01);
    } else if (m01 + m11 != 0.0) {
        alphaL = alphaR = x1 / (m01 + m11);
    }
    // A backward, vanishing or overflowing length: a third of the chord on both sides.
    if (!(alphaL >= kMinTangentLength) || !(alphaR >= kMinTangentLength) || !std::isfinite(alphaL)
        || !std::isfinite(alphaR)) {
        alphaL = alphaR = fallback;
    }
    return CubicBezier{b0, b0 + dir1 * alphaL, b3 + dir2 * alphaR, b3};
}
