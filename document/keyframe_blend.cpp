#include "curve_set.h"

#include <algorithm>

namespace {

// The first n entries of v (all of them when n >= size).
template <typename T>
QVector<T> firstEntries(const QVector<T>& v, int n)
{
    return n >= v.size() ? v : v.mid(0, n);
}

// Copies of a and b cut to the points both have: whole segments of control points (3k + 1) and
// the common length of each attribute list, so that the per-curve blend reads only what exists.
void trimToCommon(Curve& a, Curve& b)
{
    int points = std::min(a.control_points.size(), b.control_points.size());
    if (points >= 4)
        points -= (points - 1) % 3;
    const int lefts = std::min(a.left_colors.size(), b.left_colors.size());
    const int rights = std::min(a.right_colors.size(), b.right_colors.size());
    const int blurs = std::min(a.blur_values.size(), b.blur_values.size());
    for (Curve* c : {&a, &b}) {
        c->control_points = firstEntries(c->control_points, points);
        c->left_colors = firstEntries(c->left_colors, lefts);
        c->left_color_ids = firstEntries(c->left_color_ids, lefts);
        c->right_colors = firstEntries(c->right_colors, rights);
        c->right_color_ids = firstEntries(c->right_color_ids, rights);
        c->blur_values = firstEntries(c->blur_values, blurs);
        c->blur_ids = firstEntries(c->blur_ids, blurs);
        c->nb_control_points = c->control_points.size();
        c->nb_left_colors = c->left_colors.size();
        c->nb_right_colors = c->right_colors.size();
        c->nb_blur_points = c->blur_values.size();
    }
}

bool sameShape(const Curve& a, const Curve& b)
{
    return a.control_points.size() == b.control_points.size()
           && a.left_colors.size() == b.left_colors.size()
           && a.right_colors.size() == b.right_colors.size()
           && a.blur_values.size() == b.blur_values.size()
           && a.left_color_ids.size() == a.left_colors.size()
           && a.right_color_ids.size() == a.right_colors.size()
           && a.blur_ids.size() == a.blur_values.size();
}

// a's layers with the opacity blended towards b's: a hidden layer blends as opacity 0, so a
// layer shown in one keyframe only fades in or out, and shows when either side shows it.
QVector<Layer> blendedLayers(const CurveSet& a, const CurveSet& b, double t)
{
    QVector<Layer> layers = a.layers;
    for (int l = 0; l < layers.size() && l < b.layers.size(); ++l) {
        const Layer& la = a.layers[l];
        const Layer& lb = b.layers[l];
        const double oa = la.visible || !lb.visible ? la.opacity : 0.0;
        const double ob = lb.visible || !la.visible ? lb.opacity : 0.0;
        layers[l].opacity = std::clamp((1.0 - t) * oa + t * ob, 0.0, 1.0);
        layers[l].visible = la.visible || lb.visible;
    }
    return layers;
}

} // namespace

void interpolateSets(const CurveSet& a, const CurveSet& b, CurveSet& out, double t)
{
    // Blend into a local list first: out may be a or b.
    const int count = std::min({a.nb_curves, b.nb_curves, a.curves.size(), b.curves.size()});
    QVector<Curve> blendedCurves;
    blendedCurves.reserve(count);
    for (int i = 0; i < count; ++i) {
        Curve blended;
        if (sameShape(a.curve(i), b.curve(i))) {
            interpolateCurves(a.curve(i), b.curve(i), blended, t);
        } else {
            Curve ca = a.curve(i);
            Curve cb = b.curve(i);
            trimToCommon(ca, cb);
            interpolateCurves(ca, cb, blended, t);
        }
        // Selection and dragging read the box; the blend itself leaves it unset.
        if (blended.nb_control_points > 0)
            blended.updateBoundingBox();
        blendedCurves.append(blended);
    }
    const int width = a.image_width;
    const int height = a.image_height;
    const ColourSpace space = a.colour_space;
    QVector<Layer> layers = blendedLayers(a, b, t);
    out.clear();
    out.colour_space = space;
    out.image_width = width;
    out.image_height = height;
    out.curves = blendedCurves;
    out.nb_curves = out.curves.size();
    out.layers = layers;
    out.fitLayersToCurves();
}
