// One-click transformations of a whole curve: smoothing, colour contrast and blur shift.
#include "curve_transforms.h"

#include "curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Weights of one smoothing pass: the mean of the two neighbours and the point's own position.
constexpr double kSmoothNeighbours = 0.3;
constexpr double kSmoothKeep = 0.7;
// Fraction of the difference to the opposite side by which a contrast step moves a colour.
constexpr double kContrastStep = 0.1;

// own + sign * 0.1 * d, plus 0.5, fraction dropped towards zero, clamped to 0..255.
int contrastChannel(int own, int d, double sign)
{
    const double v = own + sign * kContrastStep * d + 0.5;
    return static_cast<int>(std::clamp(std::trunc(v), 0.0, 255.0));
}

// Colour `own` pushed away from (sign -1 on the left, +1 on the right for more contrast) or
// towards `opposite`. An invalid opposite (that side has no colour point) leaves `own` as is.
QColor contrasted(const QColor& own, const QColor& opposite, double sign, bool ownIsLeft)
{
    if (!opposite.isValid())
        return QColor(own.red(), own.green(), own.blue(), own.alpha());
    auto channel = [&](int o, int q) {
        const int d = ownIsLeft ? q - o : o - q;
        return contrastChannel(o, d, sign);
    };
    return QColor(channel(own.red(), opposite.red()), channel(own.green(), opposite.green()),
                  channel(own.blue(), opposite.blue()), own.alpha());
}

// Both colour lists recomputed from the colours as they were before; the left list moves by
// leftSign, the right by rightSign times a tenth of the difference.
void applyContrast(Curve& c, double leftSign, double rightSign)
{
    QVector<QColor> left;
    QVector<QColor> right;
    left.reserve(c.left_colors.size());
    right.reserve(c.right_colors.size());
    const int nl = std::min(c.left_colors.size(), c.left_color_ids.size());
    for (int i = 0; i < nl; ++i) {
        int j = 0;
        const double w = c.findIntervalAt(c.left_color_ids[i], j, RightColor);
        left.append(contrasted(c.left_colors[i], c.rightColorAt(w, j), leftSign, true));
    }
    const int nr = std::min(c.right_colors.size(), c.right_color_ids.size());
    for (int i = 0; i < nr; ++i) {
        int j = 0;
        const double w = c.findIntervalAt(c.right_color_ids[i], j, LeftColor);
        right.append(contrasted(c.right_colors[i], c.leftColorAt(w, j), rightSign, false));
    }
    c.left_colors = left;
    c.right_colors = right;
}

} // namespace

void smooth(Curve& curve)
{
    const int n = curve.control_points.size();
    for (int i = 1; i <= n - 2; ++i) {
        const Point neighbours = curve.control_points[i - 1] + curve.control_points[i + 1];
        curve.control_points[i] =
            neighbours * (kSmoothNeighbours * 0.5) + curve.control_points[i] * kSmoothKeep;
    }
    curve.updateBoundingBox();
}

void increaseContrast(Curve& curve) { applyContrast(curve, -1.0, 1.0); }

void decreaseContrast(Curve& curve) { applyContrast(curve, 1.0, -1.0); }

void shiftBlur(Curve& curve, int shift)
{
    curve.nb_blur_points = curve.blur_values.size();
    for (int& v : curve.blur_values)
        v = static_cast<int>(std::clamp(static_cast<long long>(v) + shift, 0LL, 16LL));
}

void switchColors(Curve& curve)
{
    std::swap(curve.left_colors, curve.right_colors);
    std::swap(curve.left_color_ids, curve.right_color_ids);
    curve.nb_left_colors = curve.left_color_ids.size();
    curve.nb_right_colors = curve.right_color_ids.size();
    const QColor left = curve.defaultLeftColor();
    curve.setDefaultLeftColor(curve.defaultRightColor());
    curve.setDefaultRightColor(left);
}

void takeDefaultsFromPoints(Curve& curve)
{
    if (!curve.left_colors.isEmpty())
        curve.setDefaultLeftColor(curve.left_colors.first());
    if (!curve.right_colors.isEmpty())
        curve.setDefaultRightColor(curve.right_colors.first());
    if (!curve.blur_values.isEmpty())
        curve.setDefaultBlur(curve.blur_values.first());
}

void setUniformBlur(Curve& curve, int value)
{
    const int end =
        std::max(0, (static_cast<int>(curve.control_points.size()) - 1) / 3) * kSamplesPerSegment;
    curve.blur_values = {value, value};
    curve.blur_ids = {0, end};
    curve.nb_blur_points = curve.blur_ids.size();
}

int meanBlur(const Curve& curve)
{
    if (curve.blur_values.isEmpty())
        return 0;
    long long sum = 0;
    for (int v : curve.blur_values)
        sum += v;
    const long long n = curve.blur_values.size();
    long long mean = sum / n;
    if (sum % n != 0 && sum < 0)
        --mean; // round down, also for a negative sum
    return static_cast<int>(mean);
}

void translateTo(Curve& curve, double x, double y)
{
    const Point target(x, y);
    const Point delta = target - curve.drag_anchor;
    for (Point& p : curve.control_points)
        p += delta;
    curve.bbox_min += delta;
    curve.bbox_max += delta;
    curve.drag_anchor = target;
}
