#include "stroke_vectorizer.h"

#include "cubic_fit.h"
#include "curve_set.h"
#include "pixel_reader.h"
#include "curve_sampling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace stroke {

namespace {

// floor(a / b) for b > 0.
std::int64_t floordiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -1 - (-1 - a) / b; }

// a mod b in 0 .. b-1 for b > 0 and any a.
std::int64_t mod(std::int64_t a, std::int64_t b)
{
    if (a >= b)
        return a % b;
    if (a >= 0)
        return a;
    return b - 1 - (-1 - a) % b;
}

// True when b lies in the cyclic half-open interval [a, e).
bool cyclic(std::int64_t a, std::int64_t b, std::int64_t e)
{
    if (a <= e)
        return a <= b && b < e;
    return a <= b || b < e;
}

// Integer vector of the straight-run stage. Stroke coordinates are integers below 2^24 in
// magnitude, so every cross product below is exact.
struct IVec {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

IVec delta(const Point& from, const Point& to)
{
    return {static_cast<std::int64_t>(to.x - from.x), static_cast<std::int64_t>(to.y - from.y)};
}

std::int64_t xprod(const IVec& p, const IVec& q) { return p.x * q.y - p.y * q.x; }

std::int64_t sign(std::int64_t v) { return (v > 0) - (v < 0); }

// (p1 - p0) x (p2 - p0): twice the signed area of the triangle.
double dpara(const Point& p0, const Point& p1, const Point& p2)
{
    return (p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y);
}

// Manhattan distance, the cheap normaliser of the corner measure.
double ddenom(const Point& p0, const Point& p2)
{
    return std::abs(p2.x - p0.x) + std::abs(p2.y - p0.y);
}

double clampPixel(double v) { return std::clamp(v, -kMaxPixel, kMaxPixel); }

// First pass of the straight runs: next[i] (i < n-1) is i + 1, or a later point in the same row
// or column as S[i] that the walk may jump to directly; next[n-1] = n-1.
std::vector<int> sameLineJumps(const QVector<Point>& S)
{
    const int n = S.size();
    std::vector<int> next(n);
    int k = n - 1;
    next[n - 1] = n - 1;
    for (int i = n - 2; i >= 0; --i) {
        if (S[i].x != S[k].x && S[i].y != S[k].y)
            k = i + 1;
        next[i] = k;
    }
    return next;
}

// Second pass of the straight runs: the index (mod n) up to which the run starting at S[i] stays
// straight. The walk keeps two constraint vectors cA, cB bounding the directions of a straight line
// through every visited point (within half a pixel); it stops at the first point outside them
// or at the end of the stroke, then extrapolates how far along the last step the constraints
// still hold. A run reaching the end leaves dk = (0, 0) and the 10000000 "no limit" stands, so
// its pivot wraps to (n - 1 + 10000000) mod n.
int pivotOf(const QVector<Point>& S, const std::vector<int>& next, int i)
{
    const int n = S.size();
    IVec cA, cB;
    int k = next[i];
    int k1 = i;
    bool violated = false;
    for (;;) {
        const IVec cur = delta(S[i], S[k]);
        if (xprod(cA, cur) < 0 || xprod(cB, cur) > 0) {
            violated = true;
            break;
        }
        if (std::abs(cur.x) > 1 || std::abs(cur.y) > 1) {
            IVec off{cur.x + ((cur.y >= 0 && (cur.y > 0 || cur.x < 0)) ? 1 : -1),
                     cur.y + ((cur.x <= 0 && (cur.x < 0 || cur.y < 0)) ? 1 : -1)};
            if (xprod(cA, off) >= 0)
                cA = off;
            off = {cur.x + ((cur.y <= 0 && (cur.y < 0 || cur.x < 0)) ? 1 : -1),
                   cur.y + ((cur.x >= 0 && (cur.x > 0 || cur.y < 0)) ? 1 : -1)};
            if (xprod(cB, off) <= 0)
                cB = off;
        }
        k1 = k;
        k = next[k1];
        if (!cyclic(k, i, k1))
            break;
    }
    const IVec step = delta(S[k1], S[k]);
    const IVec dk{sign(step.x), sign(step.y)};
    const IVec cur = delta(S[i], S[k1]);
    const std::int64_t a = xprod(cA, cur);
    const std::int64_t b = xprod(cA, dk);
    const std::int64_t e = xprod(cB, cur);
    const std::int64_t f = xprod(cB, dk);
    std::int64_t j = 10000000;
    if (b < 0)
        j = floordiv(a, -b);
    if (f > 0)
        j = std::min(j, floordiv(-e, f));
    // A stroke may step by more than one pixel, so the extrapolation along the unit step dk can
    // miss the violated constraint (j stays "no limit") or overshoot it. The run then reaches at
    // least the last point that met the constraints and never the first that broke them.
    if (violated)
        return static_cast<int>(std::clamp<std::int64_t>(k1 + j, k1, k - 1));
    return static_cast<int>(mod(k1 + j, n));
}

} // namespace

QVector<Point> toPixels(const QVector<Point>& stroke, int width, int height)
{
    QVector<Point> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    pixels.reserve(stroke.size());
    const double halfW = width / 2.0;
    const double halfH = height / 2.0;
    for (const Point& p : stroke) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        pixels.append(Point(clampPixel(std::floor(halfW * (p.x + 1.0))),
                            clampPixel(std::floor(halfH * (1.0 - p.y)))));
    }
    return pixels;
}

Point toCanvas(const Point& pixel, int width, int height)
{
    return Point(pixel.x / (width / 2.0) - 1.0, 1.0 - pixel.y / (height / 2.0));
}

bool closeStroke(QVector<Point>& S)
{
    if (S.isEmpty())
        return false;
    const Point& first = S.first();
    const Point& last = S.last();
    if (std::abs(first.x - last.x) > 2.0 || std::abs(first.y - last.y) > 2.0)
        return false;
    S.last() = first;
    return true;
}

std::vector<int> computeStraightReach(const QVector<Point>& S)
{
    const int n = S.size();
    if (n == 0)
        return {};
    const std::vector<int> next = sameLineJumps(S);
    std::vector<int> pivot(n);
    pivot[n - 1] = n - 1;
    for (int i = n - 2; i >= 0; --i)
        pivot[i] = pivotOf(S, next, i);

    // The reach of i is the nearest pivot of i or of any later point, so the table never
    // decreases and every entry lies after its index.
    std::vector<int> reach(n);
    int j = pivot[n - 1];
    reach[n - 1] = j;
    for (int i = n - 2; i >= 0; --i) {
        if (cyclic(i + 1, pivot[i], j))
            j = pivot[i];
        reach[i] = j;
    }
    return reach;
}

namespace {

// The stroke as two contiguous coordinate arrays, so that the penalty sums run over plain doubles.
struct Coordinates {
    explicit Coordinates(const QVector<Point>& S)
    {
        x.reserve(S.size());
        y.reserve(S.size());
        for (const Point& p : S) {
            x.push_back(p.x);
            y.push_back(p.y);
        }
    }
    int size() const { return static_cast<int>(x.size()); }
    std::vector<double> x, y;
};

double penalty(const Coordinates& S, int i, int j)
{
    const int n = S.size();
    if (i == j || n == 0)
        return 0.0;
    if (i > j)
        std::swap(i, j);
    j = std::min(j, n - 1);
    i = std::clamp(i, 0, n - 1);
    // The line A x + B y + K = 0 through S[i] and S[j]. A, B, K and every term of the sum are
    // integers well below 2^53, so the sum is exact whatever the order of the additions.
    const double A = S.y[i] - S.y[j];
    const double B = S.x[j] - S.x[i];
    const double K = S.x[i] * S.y[j] - S.x[j] * S.y[i];
    const double L = std::sqrt(A * A + B * B);
    if (L == 0.0)
        return 0.0;
    const double* xs = S.x.data();
    const double* ys = S.y.data();
    double sum = 0.0;
    for (int k = i; k <= j; ++k)
        sum += std::abs(A * xs[k] + B * ys[k] + K);
    const double meanDistance = sum / L / (j - i + 1);
    return L * std::sqrt(meanDistance);
}

} // namespace

double edgePenalty(const QVector<Point>& S, int i, int j) { return penalty(Coordinates(S), i, j); }

namespace {

// Dynamic programme over polygon edges. clip0[i]: the furthest index an edge from i may reach
// (n for the last point). clip1[j]: the first index from which an edge may reach j. seg0 / seg1:
// for the j-th vertex of a polygon with the fewest vertices, the latest and earliest index it
// can take. pen[i]: least penalty of a polygon from 0 to i; prev[i]: its vertex before i.
std::vector<int> bestPolygon(const QVector<Point>& stroke, const std::vector<int>& reach)
{
    const Coordinates S(stroke);
    const int n = S.size();
    std::vector<int> clip0(n + 1), clip1(n + 1, -1), seg0(n + 1), seg1(n + 1), prev(n + 1, -1);
    std::vector<double> pen(n + 1, -1.0);

    for (int i = 0; i < n; ++i) {
        int r = reach[i];
        if (r == i)
            r = static_cast<int>(mod(i + 1, n));
        clip0[i] = r >= i ? r : n;
    }
    int j = 1;
    for (int i = 0; i < n; ++i)
        while (j <= clip0[i] && j <= n)
            clip1[j++] = i;
    if (j != n + 1)
        return {}; // some index is reachable from nowhere: not a straight-run table of S

    int m = 0;
    for (int i = 0; i < n; i = clip0[i])
        seg0[m++] = i;
    seg0[m] = n;

    int i = n;
    for (j = m; j >= 1; --j) {
        seg1[j] = i;
        i = clip1[i];
    }
    seg1[0] = 0;

    pen[0] = 0.0;
    for (j = 1; j <= m; ++j) {
        for (i = seg1[j]; i <= seg0[j]; ++i) {
            double best = -1.0;
            // On equal penalties the larger k, found first, stays.
            for (int k = seg0[j - 1]; k >= std::max(clip1[i], 0); --k) {
                if (pen[k] < 0.0)
                    continue; // not the end of any polygon with j - 1 edges
                const double p = penalty(S, k, i) + pen[k];
                if (best < 0.0 || p < best) {
                    prev[i] = k;
                    best = p;
                }
            }
            pen[i] = best;
        }
    }

    std::vector<int> vertices(m);
    i = n;
    for (j = m - 1; j >= 0; --j) {
        i = prev[i];
        if (i < 0)
            return {};
        vertices[j] = i;
    }
    return vertices;
}

} // namespace

std::vector<int> optimalPolygon(const QVector<Point>& S, const std::vector<int>& straightReach)
{
    const int n = S.size();
    if (n < 2 || straightReach.size() != static_cast<std::size_t>(n))
        return {};
    for (int r : straightReach)
        if (r < 0 || r >= n)
            return {};
    try {
        return bestPolygon(S, straightReach);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

double cornerAlpha(const Point& V0, const Point& V1, const Point& V2)
{
    const double denom = ddenom(V0, V2);
    if (denom == 0.0)
        return 4.0 / 3.0;
    const double dd = std::abs(dpara(V0, V1, V2) / denom);
    return dd > 1.0 ? (1.0 - 1.0 / dd) / 0.75 : 0.0;
}

QVector<Run> cornerRuns(const QVector<Point>& V, double alphaMax)
{
    QVector<Run> runs;
    const int m = V.size();
    if (m == 0)
        return runs;
    Run run;
    run.first = true;
    run.points.append(V[0]);
    for (int i = 0; i + 2 < m; ++i) {
        run.points.append(V[i + 1]);
        if (cornerAlpha(V[i], V[i + 1], V[i + 2]) >= alphaMax) {
            runs.append(run);
            run = Run();
            run.points.append(V[i + 1]);
        }
    }
    run.points.append(V[m - 1]);
    run.last = true;
    runs.append(run);
    return runs;
}

namespace {

// Fits d with tangents t1 (leaving d[0]) and t2 (arriving at the last point, pointing back) and
// appends b0, b1, b2, and b3 when withEnd. False when the fit is undefined.
bool appendSegment(const QVector<Point>& d, const Point& t1, const Point& t2, bool withEnd,
                   QVector<Point>& out)
{
    const std::optional<CubicBezier> bezier = fitCubic(d, t1, t2);
    if (!bezier)
        return false;
    out.append((*bezier)[0]);
    out.append((*bezier)[1]);
    out.append((*bezier)[2]);
    if (withEnd)
        out.append((*bezier)[3]);
    return true;
}

} // namespace

bool fitRun(const Run& run, bool closed, const Point& beforeJoint, const Point& afterJoint,
            QVector<Point>& fitted)
{
    const QVector<Point>& P = run.points;
    const int r = P.size();
    if (r < 2)
        return false;
    const bool startsAtJoint = run.first && closed;
    const bool endsAtJoint = run.last && closed;
    // Tangent leaving P[f]: through its neighbours, across the joint of a closed curve, or
    // along the first edge at an open end.
    auto leftTangent = [&](int f) {
        if (f >= 1)
            return P[f + 1] - P[f - 1];
        return startsAtJoint ? P[1] - beforeJoint : P[f + 1] - P[f];
    };

    QVector<Point> out;
    int w = 0;
    for (; w + 3 <= r - 1; w += 3) {
        Point right = P[w + 2] - P[w + 3];
        if (w + 4 < r)
            right = P[w + 2] - P[w + 4];
        else if (endsAtJoint)
            right = P[w + 2] - afterJoint;
        if (!appendSegment(P.mid(w, 4), leftTangent(w), right, run.last && w + 4 == r, out))
            return false;
    }
    // The last one or two polygon edges that do not fill a group of three.
    if ((r - 1) % 3 != 0) {
        const int f = w;
        const Point right = endsAtJoint ? P[r - 2] - afterJoint : P[r - 2] - P[r - 1];
        if (!appendSegment(P.mid(f), leftTangent(f), right, run.last, out))
            return false;
    }
    fitted += out;
    return true;
}

QVector<Point> fitPolygon(const QVector<Point>& V, bool closed)
{
    const int m = V.size();
    if (m < 2)
        return {};
    QVector<Point> fitted;
    for (const Run& run : cornerRuns(V, kCornerThreshold))
        if (!fitRun(run, closed, V[m - 2], V[1], fitted))
            return {};
    const bool finite = std::all_of(fitted.begin(), fitted.end(), [](const Point& p) {
        return std::isfinite(p.x) && std::isfinite(p.y);
    });
    // A curve whose control points all coincide (a stroke that only went out and back to where
    // it closed) draws nothing: treat it as undefined too.
    const bool hasExtent = std::any_of(fitted.begin(), fitted.end(),
                                       [&](const Point& p) { return p != fitted.first(); });
    if (!finite || !hasExtent || fitted.size() < 4 || (fitted.size() - 1) % 3 != 0)
        return {};
    return fitted;
}

} // namespace stroke

namespace {

void clearVectorizerArrays(CurveSet& set)
{
    set.stroke_points.clear();
    set.fitted_points.clear();
    set.polygon_vertices.clear();
    set.straight_reach.clear();
}

QVector<Point> polygonPoints(const QVector<Point>& S, const std::vector<int>& vertices)
{
    QVector<Point> V;
    V.reserve(static_cast<int>(vertices.size()));
    for (int v : vertices)
        V.append(S[v]);
    return V;
}

// The fitted points (pixels) become the current curve, with colour and blur points
// carrying the curve's defaults at both ends.
void appendFittedCurve(CurveSet& set, const QVector<Point>& fitted, bool closed, int width,
                       int height, const PixelReader* picture)
{
    const int before = set.nb_curves;
    set.newCurve();
    // When the last curve was unfinished, newCurve kept it: fill that curve, never another
    // current one.
    if (set.nb_curves == before && set.current_curve != set.nb_curves - 1)
        set.current_curve = -1;
    set.setClosed(closed);
    for (const Point& p : fitted) {
        const Point c = stroke::toCanvas(p, width, height);
        set.appendControlPoint(c.x, c.y);
    }
    const int q = (fitted.size() - 1) / 3;
    for (int globalID : {0, q * kSamplesPerSegment}) {
        set.appendLeftColor(globalID, true);
        set.appendRightColor(globalID, true);
        set.appendBlur(globalID, true);
    }
    set.setClosed(closed);
    if (!picture || !set.hasCurrentCurve())
        return;
    Curve& curve = set.curve(set.current_curve);
    if (!set.left_colors_active)
        sampleRenderedColors(curve, LeftColor, *picture);
    if (!set.right_colors_active)
        sampleRenderedColors(curve, RightColor, *picture);
}

} // namespace

void vectorizeStroke(CurveSet& set, const QVector<Point>& stroke, int width, int height,
                     const PixelReader* picture)
{
    clearVectorizerArrays(set);
    if (stroke.size() >= 4 && width > 0 && height > 0) {
        set.stroke_points = stroke::toPixels(stroke, width, height);
        if (set.stroke_points.size() >= 4) {
            const bool closed = stroke::closeStroke(set.stroke_points);
            set.straight_reach = stroke::computeStraightReach(set.stroke_points);
            set.polygon_vertices = stroke::optimalPolygon(set.stroke_points, set.straight_reach);
            set.fitted_points =
                stroke::fitPolygon(polygonPoints(set.stroke_points, set.polygon_vertices), closed);
            // An undefined fit (a stroke within one pixel, a polygon whose points coincide)
            // adds no curve.
            if (!set.fitted_points.isEmpty())
                appendFittedCurve(set, set.fitted_points, closed, width, height, picture);
        }
    }
    clearVectorizerArrays(set);
}
