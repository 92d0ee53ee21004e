#include "curve_set.h"

#include <algorithm>
#include <vector>

void CurveSet::addToSelection(int i)
{
    if (i < 0 || i >= nb_curves)
        return;
    if (!curves[i].selected) {
        curves[i].setSelected(true);
        selection.append(i);
    }
    selectionBox();
    selectionHull();
}

void CurveSet::removeFromSelection(int i)
{
    if (i < 0 || i >= nb_curves)
        return;
    if (curves[i].selected) {
        curves[i].setSelected(false);
        selection.removeOne(i);
    }
    selectionBox();
    selectionHull();
}

void CurveSet::toggleSelection(int i)
{
    if (i < 0 || i >= nb_curves)
        return;
    if (curves[i].selected)
        removeFromSelection(i);
    else
        addToSelection(i);
}

int CurveSet::selectAll()
{
    current_curve = -1;
    for (int i = 0; i < nb_curves; ++i) {
        if (!curves[i].selected) {
            curves[i].setSelected(true);
            selection.append(i);
        }
    }
    selectionBox();
    selectionHull();
    return selection.size();
}

int CurveSet::clearSelection()
{
    for (Curve& c : curves)
        if (c.selected)
            c.setSelected(false);
    selection.clear();
    const int former = current_curve;
    current_curve = -1;
    return former;
}

void CurveSet::deleteSelected()
{
    int kept = 0;
    int newCurrent = -1;
    for (int i = 0; i < curves.size(); ++i) {
        if (curves[i].selected)
            continue;
        if (i == current_curve)
            newCurrent = kept;
        if (kept != i)
            curves[kept] = curves[i];
        ++kept;
    }
    curves.resize(kept);
    nb_curves = kept;
    selection.clear();
    current_curve = newCurrent;
}

void CurveSet::selectionBox()
{
    if (hasCurrentCurve()) {
        selection_min = curves[current_curve].bbox_min;
        selection_max = curves[current_curve].bbox_max;
        return;
    }
    bool first = true;
    for (int i : selection) {
        if (i < 0 || i >= nb_curves)
            continue;
        const Curve& c = curves[i];
        if (first) {
            selection_min = c.bbox_min;
            selection_max = c.bbox_max;
            first = false;
            continue;
        }
        for (const Point& corner : {c.bbox_min, c.bbox_max}) {
            selection_min.x = std::min(selection_min.x, corner.x);
            selection_min.y = std::min(selection_min.y, corner.y);
            selection_max.x = std::max(selection_max.x, corner.x);
            selection_max.y = std::max(selection_max.y, corner.y);
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

void CurveSet::selectionHull()
{
    QVector<Point> points;
    for (int i : selection)
        if (i >= 0 && i < nb_curves)
            points += curves[i].control_points;
    selection_hull.clear();
    if (points.size() < 3)
        return;
    // Melkman's walk is exact only on a simple polyline; the control polygons of several curves
    // (or of one looping curve) need not be one, and the walk can then leave points outside.
    // Such a result is replaced by a hull that holds for any point set.
    selection_hull = melkmanHull(points);
    if (!enclosesAll(selection_hull, points))
        selection_hull = monotoneChainHull(points);
}
