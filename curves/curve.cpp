// Construction, accessors, evaluation, attribute interpolation and the sampling walk of a Curve.
#include "curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Abscissa on the globalID scale of parameter t in the segment starting at control point b.
double abscissa(double t, int b) { return kSamplesPerSegment * t + (b / 3) * kSamplesPerSegment; }

// Truncation forgives this much floating-point error below an integer, so that a blend of two
// equal channels gives that channel back.
constexpr double kTruncationSlack = 1e-9;

// A channel value rounded (floor(v + 0.5)) or truncated (floor(v)) and kept within 0..255.
int toChannel(double v, bool round)
{
    if (!std::isfinite(v))
        return 0;
    const double r = std::floor(round ? v + 0.5 : v + kTruncationSlack);
    return static_cast<int>(std::clamp(r, 0.0, 255.0));
}

double clampWeight(double w) { return std::isfinite(w) ? std::clamp(w, 0.0, 1.0) : 0.0; }

QColor blendColor(const QVector<QColor>& colors, double w, int i, bool round)
{
    const int n = colors.size();
    if (n == 0)
        return QColor();
    if (i < 0)
        i = 0;
    if (i >= n - 1) {
        const QColor& c = colors[n - 1];
        return QColor(c.red(), c.green(), c.blue(), c.alpha());
    }
    w = clampWeight(w);
    const QColor& a = colors[i];
    const QColor& b = colors[i + 1];
    return QColor(toChannel((1.0 - w) * a.red() + w * b.red(), round),
                  toChannel((1.0 - w) * a.green() + w * b.green(), round),
                  toChannel((1.0 - w) * a.blue() + w * b.blue(), round),
                  toChannel((1.0 - w) * a.alpha() + w * b.alpha(), round));
}

// The globalID array of one attribute list.
const QVector<int>& attributeIds(const Curve& c, AttributeKind kind)
{
    switch (kind) {
    case LeftColor: return c.left_color_ids;
    case RightColor: return c.right_color_ids;
    default: return c.blur_ids;
    }
}

} // namespace

Curve::Curve() { reset(); }

Curve::Curve(const QColor& left, const QColor& right, int blur)
    : default_left_color(left), default_right_color(right), default_blur(blur)
{
    reset();
}

void Curve::reset()
{
    control_points.clear();
    nb_control_points = 0;
    control_points.reserve(4);
    left_colors.reserve(4);
    right_colors.reserve(4);
    selected_control_point = -1;
    lifetime = 32;
    selected = false;
    closed = false;
    stylized = false;
}

void Curve::selectControlPoint(int i)
{
    if (i >= 0 && i < nb_control_points)
        selected_control_point = i;
}

Point Curve::controlPoint(int i) const
{
    if (i < 0 || i >= control_points.size())
        return Point();
    return control_points[i];
}

int Curve::segmentCount() const
{
    const int n = std::min(nb_control_points, static_cast<int>(control_points.size()));
    return n < 4 ? 0 : (n - 1) / 3;
}

// ---- evaluation

namespace {

// Resolves (t, b) to a segment start that has four control points: the last index stands for
// the previous segment at 1 - t, other out-of-range starts are clamped to the nearest segment.
// Returns false when the curve has no full segment.
bool resolveSegment(int n, double& t, int& b)
{
    if (n < 4)
        return false;
    if (b == n - 1) {
        b = n - 4;
        t = 1.0 - t;
    }
    b = std::clamp(b, 0, n - 4);
    return true;
}

} // namespace

Point Curve::pointAt(double t, int b) const
{
    const int n = control_points.size();
    if (n == 0)
        return Point();
    if (!resolveSegment(n, t, b))
        return control_points[std::clamp(b, 0, n - 1)];
    const Point& p0 = control_points[b];
    const Point& p1 = control_points[b + 1];
    const Point& p2 = control_points[b + 2];
    const Point& p3 = control_points[b + 3];
    if (t == 1.0)
        return p3; // exact, so that the end of a segment meets the start of the next
    if (stylized)
        return p0 * (1.0 - t) + p3 * t;
    const Point k1 = (p1 - p0) * 3.0;
    const Point k2 = (p2 - p1) * 3.0 - k1;
    const Point k3 = p3 - p0 - k1 - k2;
    return p0 + (k3 * (t * t * t) + k2 * (t * t) + k1 * t);
}

Point Curve::normalAt(double t, int b) const
{
    const int n = control_points.size();
    if (!resolveSegment(n, t, b))
        return Point(0.0, 1.0);
    const Point& p0 = control_points[b];
    const Point& p1 = control_points[b + 1];
    const Point& p2 = control_points[b + 2];
    const Point& p3 = control_points[b + 3];
    const Point chord = p3 - p0;
    Point d = chord;
    if (!stylized) {
        const Point k1 = (p1 - p0) * 3.0;
        const Point k2 = (p2 - p1) * 3.0 - k1;
        const Point k3 = chord - k1 - k2;
        d = k1 + k2 * (2.0 * t) + k3 * (3.0 * t * t);
    }
    // A vanishing derivative (coincident control points) has no direction: use the chord, and
    // for a segment shrunk to a point the upward normal.
    Point tangent = unit(d);
    if (tangent == Point())
        tangent = unit(chord);
    if (tangent == Point())
        return Point(0.0, 1.0);
    return Point(-tangent.y, tangent.x);
}

void Curve::updateBoundingBox()
{
    if (control_points.isEmpty()) {
        bbox_min = bbox_max = Point();
        return;
    }
    bbox_min = bbox_max = control_points[0];
    for (int i = 1; i < control_points.size(); ++i) {
        const Point& p = control_points[i];
        bbox_min.x = std::min(bbox_min.x, p.x);
        bbox_min.y = std::min(bbox_min.y, p.y);
        bbox_max.x = std::max(bbox_max.x, p.x);
        bbox_max.y = std::max(bbox_max.y, p.y);
    }
}

// ---- attribute interpolation

QColor Curve::leftColorAt(double w, int i) const { return blendColor(left_colors, w, i, true); }

QColor Curve::rightColorAt(double w, int i) const { return blendColor(right_colors, w, i, false); }

int Curve::blurAt(double w, int i) const
{
    const int n = blur_values.size();
    if (n == 0)
        return 0;
    if (i < 0)
        i = 0;
    if (i >= n - 1)
        return blur_values[n - 1];
    w = clampWeight(w);
    const double v = (1.0 - w) * blur_values[i] + w * blur_values[i + 1];
    return static_cast<int>(std::floor(v + 0.5));
}

double Curve::stepInterval(double t, int b, int& i, AttributeKind kind) const
{
    const QVector<int>& ids = attributeIds(*this, kind);
    const int n = ids.size();
    if (n == 0) {
        i = 0;
        return 0.0;
    }
    i = std::clamp(i, 0, n - 1);
    if (i == n - 1)
        return 0.0;
    const double x = abscissa(t, b);
    if (x >= ids[i + 1]) {
        ++i;
        return 0.0;
    }
    const double span = ids[i + 1] - ids[i];
    if (x <= ids[i] || span <= 0.0)
        return 0.0; // before the first point: hold its value
    return clampWeight((x - ids[i]) / span);
}

double Curve::findInterval(double t, int b, int& i, AttributeKind kind) const
{
    return findIntervalAt(abscissa(t, b), i, kind);
}

double Curve::findIntervalAt(double x, int& i, AttributeKind kind) const
{
    const QVector<int>& ids = attributeIds(*this, kind);
    const int n = ids.size();
    int g = n - 1;
    while (g >= 0 && ids[g] > x)
        --g;
    if (g < 0) {
        // Before the first point (or an empty list): the first point's value.
        i = 0;
        return 0.0;
    }
    i = g;
    if (g == n - 1)
        return 0.0;
    const double span = ids[g + 1] - ids[g];
    return span > 0.0 ? clampWeight((x - ids[g]) / span) : 0.0;
}

// ---- sampling walk

void Curve::forEachSample(const std::function<void(const CurveSample&)>& visit) const
{
    const int n = control_points.size();
    int li = 0;
    int ri = 0;
    int bi = 0;
    CurveSample s;
    for (int b = 0; b + 3 < n; b += 3) {
        for (double t = 0.0; t <= 1.0; t += sampleStep) {
            s.b = b;
            s.t = t;
            s.point = pointAt(t, b);
            s.normal = normalAt(t, b);
            const double wl = stepInterval(t, b, li, LeftColor);
            s.left = leftColorAt(wl, li);
            const double wr = stepInterval(t, b, ri, RightColor);
            s.right = rightColorAt(wr, ri);
            const double wb = stepInterval(t, b, bi, Blur);
            s.blur = blurAt(wb, bi);
            visit(s);
        }
    }
}
