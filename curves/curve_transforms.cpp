// One-click transformations of a whole curve: smoothing, colour contrast and blur shift.
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
        return QColor(own.red(), own.green(), own.blue());
    auto channel = [&](int o, int q) {
        const int d = ownIsLeft ? q - o : o - q;
        return contrastChannel(o, d, sign);
    };
    return QColor(channel(own.red(), opposite.red()), channel(own.green(), opposite.green()),
                  channel(own.blue(), opposite.blue()));
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

void Curve::smooth()
{
    const int n = control_points.size();
    for (int i = 1; i <= n - 2; ++i) {
        const Point neighbours = control_points[i - 1] + control_points[i + 1];
        control_points[i] =
            neighbours * (kSmoothNeighbours * 0.5) + control_points[i] * kSmoothKeep;
    }
    updateBoundingBox();
}

void Curve::increaseContrast() { applyContrast(*this, -1.0, 1.0); }

void Curve::decreaseContrast() { applyContrast(*this, 1.0, -1.0); }

void Curve::shiftBlur(int shift)
{
    nb_blur_points = blur_values.size();
    for (int& v : blur_values)
        v = static_cast<int>(std::clamp(static_cast<long long>(v) + shift, 0LL, 16LL));
}
