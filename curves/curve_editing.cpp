// Appends, attribute points, dragging, closing and the whole-curve edits of a Curve.
#include "attribute_lists.h"
#include "curve.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The four 0..255 channels of a colour as an RGB colour, whatever its spec (an invalid colour
// gives opaque black).
QColor rgba(const QColor& c)
{
    return c.isValid() ? QColor(c.red(), c.green(), c.blue(), c.alpha()) : QColor(0, 0, 0);
}

// Two tangent directions within this distance of each other form a smooth joint (10 degrees).
constexpr double kSmoothJointTolerance = 0.174532925;
// An open curve whose end is dragged this close to its other end closes itself.
constexpr double kClosingDistance = 0.01;

int roundToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(std::floor(v + 0.5), double(INT_MIN), double(INT_MAX)));
}

int blendChannel(int a, int b, double x)
{
    return std::clamp(roundToInt((1.0 - x) * a + x * b), 0, 255);
}

} // namespace

// ---- appends

void Curve::appendControlPoint(double x, double y)
{
    const Point p(x, y);
    control_points.append(p);
    nb_control_points = control_points.size();
    // Widen the box by the new point alone: building a curve point by point stays linear.
    if (nb_control_points == 1) {
        bbox_min = bbox_max = p;
    } else {
        bbox_min = Point(std::min(bbox_min.x, x), std::min(bbox_min.y, y));
        bbox_max = Point(std::max(bbox_max.x, x), std::max(bbox_max.y, y));
    }
}

void Curve::appendLeftColor(int globalID, bool use_default, const QColor& color)
{
    left_colors.append(rgba(use_default ? default_left_color : color));
    left_color_ids.append(globalID);
    nb_left_colors = left_color_ids.size();
}

void Curve::appendRightColor(int globalID, bool use_default, const QColor& color)
{
    right_colors.append(rgba(use_default ? default_right_color : color));
    right_color_ids.append(globalID);
    nb_right_colors = right_color_ids.size();
}

void Curve::appendBlur(int globalID, bool use_default, double value)
{
    int v = default_blur;
    if (!use_default)
        v = std::isfinite(value)
                ? static_cast<int>(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)))
                : 0;
    blur_values.append(v);
    blur_ids.append(globalID);
    nb_blur_points = blur_ids.size();
}

// ---- attribute points

void Curve::insertAttribute(int globalID, AttributeKind kind)
{
    const int g = globalID;
    attribute_lists::forEach(*this,
                             [&](auto& values, QVector<int>& ids, int& count, AttributeKind k) {
                                 if (k != kind)
                                     return;
                                 const int n = ids.size();
                                 // An empty list has no value to interpolate; a position beyond the last point would have
                                 // to go before it and break the ascending order.
                                 if (n == 0 || values.size() != n || g > ids[n - 1])
                                     return;
                                 // Before the first point greater than g, searched up to the one before the last.
                                 int d = n - 1;
                                 for (int i = 0; i <= n - 2; ++i) {
                                     if (ids[i] > g) {
                                         d = i;
                                         break;
                                     }
                                 }
                                 // The value the curve already has at g, so that the look does not change.
                                 using T = std::decay_t<decltype(values[0])>;
                                 const T value = attribute_lists::valueAt<T>(*this, kind, g);
                                 ids.insert(d, g);
                                 values.insert(d, value);
                                 count = ids.size();
                             });
}

void Curve::deleteAttribute(int globalID, AttributeKind kind)
{
    attribute_lists::forEach(*this,
                             [&](auto& values, QVector<int>& ids, int& count, AttributeKind k) {
                                 const int n = ids.size();
                                 if (k != kind || n < 3 || values.size() != n)
                                     return;
                                 int i = n - 1;
                                 while (i >= 1 && ids[i] > globalID)
                                     --i;
                                 if (i < n - 1)
                                     attribute_lists::removeAt(values, ids, count, i);
                             });
}

void Curve::setLeftColorOf(const QColor& color, int index)
{
    const int n = left_colors.size();
    if (index < 0 || index >= n)
        return;
    left_colors[index] = rgba(color);
    if (closed && index == 0)
        left_colors[n - 1] = left_colors[0];
    else if (closed && index == n - 1)
        left_colors[0] = left_colors[n - 1];
}

void Curve::setRightColorOf(const QColor& color, int index)
{
    const int n = right_colors.size();
    if (index < 0 || index >= n)
        return;
    right_colors[index] = rgba(color);
    if (closed && index == 0)
        right_colors[n - 1] = right_colors[0];
    else if (closed && index == n - 1)
        right_colors[0] = right_colors[n - 1];
}

void Curve::setBlurOf(int value, int index)
{
    const int n = blur_values.size();
    if (index < 0 || index >= n)
        return;
    blur_values[index] = value;
    if (closed && index == 0)
        blur_values[n - 1] = value;
    else if (closed && index == n - 1)
        blur_values[0] = value;
}

// ---- dragging

namespace {

// Moves tangent point d of p to `target`, rotating the opposite tangent point of the same key
// point along when the joint is smooth, so that the two tangents stay collinear.
void moveTangentPoint(QVector<Point>& p, int d, const Point& target, bool closed)
{
    const int n = p.size();
    const bool leaving = d % 3 == 1;
    const int key = leaving ? d - 1 : d + 1;
    if (key < 0 || key >= n) {
        p[d] = target; // a tangent point of an unfinished segment has no key point yet
        return;
    }
    // The partner and the key point it hangs on; around the joint of a closed curve the partner
    // belongs to the other end's key point, which coincides with this one.
    int partner = leaving ? d - 2 : d + 2;
    int partnerKey = key;
    if (partner < 0 || partner >= n) {
        partner = -1;
        if (closed && n >= 4) {
            partner = leaving ? n - 2 : 1;
            partnerKey = leaving ? n - 1 : 0;
        }
    }
    if (partner >= 0 && partner != d) {
        const Point& K = p[key];
        const Point u1 = unit(p[d] - K);
        const Point u2 = unit(p[partnerKey] - p[partner]);
        const Point toward = unit(p[partnerKey] - target);
        // A target on the key point itself gives no direction: the partner stays.
        if ((u1 - u2).norm() < kSmoothJointTolerance && toward != Point()) {
            const double length = (p[partnerKey] - p[partner]).norm();
            p[partner] = p[partnerKey] + toward * length;
        }
    }
    p[d] = target;
}

} // namespace

bool Curve::moveSelectedControlPoint(double x, double y)
{
    const int d = selected_control_point;
    const int n = control_points.size();
    if (d < 0 || d >= n || !std::isfinite(x) || !std::isfinite(y))
        return false;
    const Point target(x, y);
    const Point delta = target - control_points[d];
    QVector<Point>& p = control_points;

    if (d % 3 != 0) {
        moveTangentPoint(p, d, target, closed);
    } else if (d == 0 || d == n - 1) {
        const bool first = d == 0;
        const int tangent = first ? 1 : n - 2;
        const int otherEnd = first ? n - 1 : 0;
        const int otherTangent = first ? n - 2 : 1;
        p[d] = target;
        if (tangent >= 0 && tangent < n && tangent != d)
            p[tangent] += delta;
        if (n >= 4 && otherEnd != d) {
            if (closed) {
                p[otherEnd] = target;
                p[otherTangent] += delta;
            } else if ((p[otherEnd] - target).norm() < kClosingDistance) {
                setClosed(true);
            }
        }
    } else {
        p[d] = target;
        p[d - 1] += delta;
        p[d + 1] += delta;
    }
    updateBoundingBox();
    return true;
}

// ---- closing

void Curve::setClosed(bool c)
{
    if (control_points.size() < 2)
        return;
    closed = c;
    if (!closed)
        return;
    // The joint takes the last value on both sides; the value that used to start the curve
    // survives just after the joint, at globalID 1 (kept between its neighbours so that the
    // list stays sorted).
    attribute_lists::forEach(*this, [](auto& values, QVector<int>& ids, int& count, AttributeKind) {
        const int n = ids.size();
        if (n < 2 || values.size() != n || values[0] == values[n - 1])
            return;
        const auto saved = values[0];
        values[0] = values[n - 1];
        const int id = std::clamp(1, ids[0], ids[1]);
        ids.insert(1, id);
        values.insert(1, saved);
        count = ids.size();
    });
}

void interpolateCurves(const Curve& a, const Curve& b, Curve& result, double x)
{
    // The structure (counts, globalIDs) is a's; values are blended where b has a partner and
    // kept from a where it has none.
    Curve r;
    r.control_points = a.control_points;
    r.left_colors = a.left_colors;
    r.right_colors = a.right_colors;
    r.blur_values = a.blur_values;
    r.left_color_ids = a.left_color_ids;
    r.right_color_ids = a.right_color_ids;
    r.blur_ids = a.blur_ids;
    r.lifetime = roundToInt((1.0 - x) * a.lifetime + x * b.lifetime);

    const int points = std::min(a.control_points.size(), b.control_points.size());
    for (int i = 0; i < points; ++i)
        r.control_points[i] = a.control_points[i] * (1.0 - x) + b.control_points[i] * x;

    auto blendColors = [x](QVector<QColor>& out, const QVector<QColor>& other) {
        const int m = std::min(out.size(), other.size());
        for (int i = 0; i < m; ++i) {
            const QColor& p = out[i];
            const QColor& q = other[i];
            out[i] =
                QColor(blendChannel(p.red(), q.red(), x), blendChannel(p.green(), q.green(), x),
                       blendChannel(p.blue(), q.blue(), x), blendChannel(p.alpha(), q.alpha(), x));
        }
    };
    blendColors(r.left_colors, b.left_colors);
    blendColors(r.right_colors, b.right_colors);
    const int blurs = std::min(r.blur_values.size(), b.blur_values.size());
    for (int i = 0; i < blurs; ++i)
        r.blur_values[i] = roundToInt((1.0 - x) * a.blur_values[i] + x * b.blur_values[i]);

    r.nb_control_points = r.control_points.size();
    r.nb_left_colors = r.left_color_ids.size();
    r.nb_right_colors = r.right_color_ids.size();
    r.nb_blur_points = r.blur_ids.size();
    r.updateBoundingBox();
    result = r;
}
