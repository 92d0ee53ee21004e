// The tracer's fitting stage: cubic Bezier segments through a chain's sub-pixel points, and the
// curve they make.
#include "bitmap_tracer.h"
#include "cubic_fit.h"

#include <algorithm>
#include <cmath>

namespace trace {
namespace {

// Newton steps that move each parameter towards the nearest point of the fitted segment.
constexpr int kReparameterisations = 4;

Point bezierAt(const CubicBezier& b, double u)
{
    const double r = 1.0 - u;
    return b[0] * (r * r * r) + b[1] * (3 * u * r * r) + b[2] * (3 * u * u * r)
           + b[3] * (u * u * u);
}

Point derivativeAt(const CubicBezier& b, double u)
{
    const double r = 1.0 - u;
    return (b[1] - b[0]) * (3 * r * r) + (b[2] - b[1]) * (6 * u * r) + (b[3] - b[2]) * (3 * u * u);
}

Point secondDerivativeAt(const CubicBezier& b, double u)
{
    return (b[2] - b[1] * 2.0 + b[0]) * (6 * (1.0 - u)) + (b[3] - b[2] * 2.0 + b[1]) * (6 * u);
}

// Largest distance of d[q] from the segment at u[q], and where it lies.
double worstError(const CubicBezier& b, const QVector<Point>& d, const QVector<double>& u,
                  int* where)
{
    double worst = -1.0;
    for (int q = 0; q < d.size(); ++q) {
        const double e = (bezierAt(b, u[q]) - d[q]).norm();
        if (e > worst) {
            worst = e;
            *where = q;
        }
    }
    return worst;
}

void reparameterise(const CubicBezier& b, const QVector<Point>& d, QVector<double>& u)
{
    for (int q = 1; q + 1 < d.size(); ++q) {
        const Point off = bezierAt(b, u[q]) - d[q];
        const Point d1 = derivativeAt(b, u[q]);
        const double denominator = dot(d1, d1) + dot(off, secondDerivativeAt(b, u[q]));
        if (std::abs(denominator) > 1e-12)
            u[q] = std::clamp(u[q] - dot(off, d1) / denominator, u[q - 1], 1.0);
    }
}

QVector<double> chordParameters(const QVector<Point>& d)
{
    QVector<double> u(d.size(), 0.0);
    for (int q = 1; q < d.size(); ++q)
        u[q] = u[q - 1] + (d[q] - d[q - 1]).norm();
    for (double& v : u)
        v /= u.back();
    u.back() = 1.0;
    return u;
}

// Direction of travel at point i, from its neighbours two steps away (across the joint of a
// closed chain, whose last point repeats the first).
Point tangentAt(const QVector<Point>& p, int i, bool closed)
{
    const int n = p.size();
    if (closed && (i == 0 || i == n - 1))
        return unit(p[std::min(2, n - 1)] - p[std::max(0, n - 3)]);
    return unit(p[std::min(i + 2, n - 1)] - p[std::max(i - 2, 0)]);
}

// Fits points i0 .. i1 (tangents of travel t0 at i0 and t1 at i1), appending b1, b2, b3 of each
// segment to `out`.
void fitRange(const QVector<Point>& p, int i0, int i1, const Point& t0, const Point& t1,
              double tolerance, bool closed, QVector<Point>& out)
{
    const QVector<Point> d = p.mid(i0, i1 - i0 + 1);
    const double chord = (d.back() - d.front()).norm();
    std::optional<CubicBezier> fit;
    int worst = 0;
    double error = 0.0;
    if (d.size() > 2 && chord > 0.0) {
        QVector<double> u = chordParameters(d);
        fit = fitCubicAt(d, u, t0, t1 * -1.0);
        for (int k = 0; fit && k < kReparameterisations; ++k) {
            error = worstError(*fit, d, u, &worst);
            if (error <= tolerance)
                break;
            reparameterise(*fit, d, u);
            fit = fitCubicAt(d, u, t0, t1 * -1.0);
        }
        if (fit)
            error = worstError(*fit, d, u, &worst);
    }
    if (fit && error > tolerance && i1 - i0 >= 6) {
        const int split = std::clamp(i0 + worst, i0 + 3, i1 - 3);
        const Point t = tangentAt(p, split, closed);
        fitRange(p, i0, split, t0, t, tolerance, closed, out);
        fitRange(p, split, i1, t, t1, tolerance, closed, out);
        return;
    }
    if (!fit) // two points, or points with no extent: a straight segment
        fit = CubicBezier{d.front(), d.front() + t0 * (chord / 3.0), d.back() - t1 * (chord / 3.0),
                          d.back()};
    out << (*fit)[1] << (*fit)[2] << (*fit)[3];
}

} // namespace

QVector<Point> fitBeziers(const QVector<Point>& points, bool closed, double tolerance)
{
    QVector<Point> p;
    for (const Point& q : points)
        if (p.isEmpty() || (q - p.back()).norm() > 1e-9)
            p << q;
    if (closed && p.size() > 3)
        p << p.front();
    else
        closed = false;
    const int n = p.size();
    if (n < 2)
        return {};
    QVector<Point> out{p.front()};
    const Point start = tangentAt(p, 0, closed), end = tangentAt(p, n - 1, closed);
    if (closed) { // two halves, so that neither fit has to bend all the way round
        const int half = n / 2;
        const Point middle = tangentAt(p, half, closed);
        fitRange(p, 0, half, start, middle, tolerance, closed, out);
        fitRange(p, half, n - 1, middle, end, tolerance, closed, out);
    } else {
        fitRange(p, 0, n - 1, start, end, tolerance, closed, out);
    }
    return out;
}

Curve makeCurve(const QVector<Point>& control, bool closed, int width, int height, int blur)
{
    Curve curve;
    for (const Point& c : control)
        curve.appendControlPoint(c.x / (width / 2.0) - 1.0, 1.0 - c.y / (height / 2.0));
    curve.closed = closed;
    const int last = kSamplesPerSegment * curve.segmentCount();
    curve.appendBlur(0, false, blur);
    curve.appendBlur(last, false, blur);
    curve.updateBoundingBox();
    return curve;
}

} // namespace trace
