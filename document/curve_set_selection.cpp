#include "curve_set_selection.h"

#include "curve_set.h"

#include <algorithm>
#include <vector>

namespace {

void removeFromSelection(CurveSet& set, int i)
{
    if (set.curves[i].selected) {
        set.curves[i].setSelected(false);
        set.selection.removeOne(i);
    }
    selectionBox(set);
    selectionHull(set);
}

} // namespace

void addToSelection(CurveSet& set, int i)
{
    if (i < 0 || i >= set.nb_curves)
        return;
    if (!set.curves[i].selected) {
        set.curves[i].setSelected(true);
        set.selection.append(i);
    }
    selectionBox(set);
    selectionHull(set);
}

void toggleSelection(CurveSet& set, int i)
{
    if (i < 0 || i >= set.nb_curves)
        return;
    if (set.curves[i].selected)
        removeFromSelection(set, i);
    else
        addToSelection(set, i);
}

int selectAll(CurveSet& set)
{
    set.current_curve = -1;
    for (int i = 0; i < set.nb_curves; ++i) {
        if (!set.curves[i].selected) {
            set.curves[i].setSelected(true);
            set.selection.append(i);
        }
    }
    selectionBox(set);
    selectionHull(set);
    return set.selection.size();
}

int clearSelection(CurveSet& set)
{
    for (Curve& c : set.curves)
        if (c.selected)
            c.setSelected(false);
    set.selection.clear();
    const int former = set.current_curve;
    set.current_curve = -1;
    return former;
}

void deleteSelected(CurveSet& set)
{
    set.fitLayersToCurves();
    // Each layer loses its selected curves.
    for (int l = set.layers.size() - 1; l >= 0; --l) {
        const CurveRange run = set.layerRange(l);
        for (int i = run.first; i < run.end; ++i)
            set.layers[l].curveCount -= set.curves[i].selected;
    }
    int kept = 0;
    int newCurrent = -1;
    for (int i = 0; i < set.curves.size(); ++i) {
        if (set.curves[i].selected)
            continue;
        if (i == set.current_curve)
            newCurrent = kept;
        if (kept != i)
            set.curves[kept] = set.curves[i];
        ++kept;
    }
    set.curves.resize(kept);
    set.nb_curves = kept;
    set.selection.clear();
    set.current_curve = newCurrent;
}

void selectionBox(CurveSet& set)
{
    if (set.hasCurrentCurve()) {
        set.selection_min = set.curves[set.current_curve].bbox_min;
        set.selection_max = set.curves[set.current_curve].bbox_max;
        return;
    }
    bool first = true;
    for (int i : set.selection) {
        if (i < 0 || i >= set.nb_curves)
            continue;
        const Curve& c = set.curves[i];
        if (first) {
            set.selection_min = c.bbox_min;
            set.selection_max = c.bbox_max;
            first = false;
            continue;
        }
        for (const Point& corner : {c.bbox_min, c.bbox_max}) {
            set.selection_min.x = std::min(set.selection_min.x, corner.x);
            set.selection_min.y = std::min(set.selection_min.y, corner.y);
            set.selection_max.x = std::max(set.selection_max.x, corner.x);
            set.selection_max.y = std::max(set.selection_max.y, corner.y);
        }
    }
}

namespace {

// > 0 when p2 lies left of the line p0 -> p1, < 0 right of it, 0 on it. Computed in double and
// rounded to float, so that points within float noise of the line count as on it.
float isLeft(const Point& p0, const Point& p1, const Point& p2)
{
    const double d = (p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y);
    return static_cast<float>(d);
}

// Melkman's deque hull of the polyline v[0 .. n-1], n >= 3. The deque d[2n + 1] grows downwards
// from b and upwards from t, each by at most one slot per point, so it never overflows; the two
// pops stop before the deque would shrink below one edge, which guards degenerate input
// (coincident or collinear points) where the plain algorithm walks off the deque.
QVector<Point> melkmanHull(const QVector<Point>& v)
{
    const int n = v.size();
    std::vector<Point> d(2 * n + 1);
    int b = n - 2;
    int t = b + 3;
    d[b] = d[t] = v[2];
    if (isLeft(v[0], v[1], v[2]) > 0) {
        d[b + 1] = v[0];
        d[b + 2] = v[1];
    } else {
        d[b + 1] = v[1];
        d[b + 2] = v[0];
    }
    for (int i = 3; i < n; ++i) {
        const Point& p = v[i];
        if (isLeft(d[b], d[b + 1], p) > 0 && isLeft(d[t - 1], d[t], p) > 0)
            continue;
        while (b + 1 < t && isLeft(d[b], d[b + 1], p) <= 0)
            ++b;
        d[--b] = p;
        while (t - 1 > b && isLeft(d[t - 1], d[t], p) <= 0)
            --t;
        d[++t] = p;
    }
    QVector<Point> hull;
    hull.reserve(t - b + 1);
    for (int k = b; k <= t; ++k)
        hull.append(d[k]);
    return hull;
}

// True when no point lies strictly right of an edge of the counter-clockwise polygon `hull`.
bool enclosesAll(const QVector<Point>& hull, const QVector<Point>& points)
{
    for (int k = 0; k + 1 < hull.size(); ++k)
        for (const Point& p : points)
            if (isLeft(hull[k], hull[k + 1], p) < 0)
                return false;
    return true;
}

// Andrew's monotone chain: the counter-clockwise hull of any point set, first vertex repeated.
QVector<Point> monotoneChainHull(QVector<Point> points)
{
    std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    const int n = points.size();
    std::vector<Point> h(2 * n);
    int k = 0;
    for (int i = 0; i < n; ++i) { // lower chain
        while (k >= 2 && isLeft(h[k - 2], h[k - 1], points[i]) <= 0)
            --k;
        h[k++] = points[i];
    }
    for (int i = n - 2, lower = k + 1; i >= 0; --i) { // upper chain
        while (k >= lower && isLeft(h[k - 2], h[k - 1], points[i]) <= 0)
            --k;
        h[k++] = points[i];
    }
    return QVector<Point>(h.begin(), h.begin() + k);
}

} // namespace

void selectionHull(CurveSet& set)
{
    QVector<Point> points;
    for (int i : set.selection)
        if (i >= 0 && i < set.nb_curves)
            points += set.curves[i].control_points;
    set.selection_hull.clear();
    if (points.size() < 3)
        return;
    // Melkman's walk is exact only on a simple polyline; the control polygons of several curves
    // (or of one looping curve) need not be one, and the walk can then leave points outside.
    // Such a result is replaced by a hull that holds for any point set.
    set.selection_hull = melkmanHull(points);
    if (!enclosesAll(set.selection_hull, points))
        set.selection_hull = monotoneChainHull(points);
}
