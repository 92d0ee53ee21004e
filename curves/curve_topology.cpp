// Inserting and deleting key points (with the remapping of attribute points) and splitting.
#include "curve_topology.h"

#include "attribute_lists.h"
#include "cubic_fit.h"
#include "curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Segment s of the key point about to be inserted for `index` = 3s + 2, or -1 when the index
// does not name a segment of the curve.
int segmentOfInsertion(int index, int n)
{
    if (index <= 1 || index >= n || index % 3 != 2 || index + 1 >= n)
        return -1;
    return index / 3;
}

// The control points b1, b2 of a fit, or a straight third-of-chord placement when the fit is
// undefined (all its points coincide, so the placement collapses onto them as well).
std::pair<Point, Point> innerPoints(const QVector<Point>& d, const Point& t1, const Point& t2)
{
    // The five points are taken at evenly spaced parameters of the piece they come from, so the
    // fit uses those parameters and reproduces the piece exactly.
    static const QVector<double> quarters{0.0, 0.25, 0.5, 0.75, 1.0};
    if (const auto fit = fitCubicAt(d, quarters, t1, t2))
        return {(*fit)[1], (*fit)[2]};
    const Point chord = d.last() - d.first();
    return {d.first() + chord * (1.0 / 3.0), d.first() + chord * (2.0 / 3.0)};
}

// Removes the first segment's range from a list: the value at globalID 10 becomes the first
// point, and every position moves down by 10.
template <class T>
void dropFirstSegment(const Curve& c, QVector<T>& values, QVector<int>& ids, int& count,
                      AttributeKind kind)
{
    if (ids.isEmpty())
        return;
    const T start = attribute_lists::valueAt<T>(c, kind, kSamplesPerSegment);
    while (!ids.isEmpty() && ids.first() < kSamplesPerSegment)
        attribute_lists::removeAt(values, ids, count, 0);
    if (ids.isEmpty() || ids.first() > kSamplesPerSegment) {
        ids.prepend(kSamplesPerSegment);
        values.prepend(start);
    }
    for (int& id : ids)
        id -= kSamplesPerSegment;
    count = ids.size();
}

// Removes the last segment's range from a list: the value at `newEnd` becomes the last point.
template <class T>
void dropLastSegment(const Curve& c, QVector<T>& values, QVector<int>& ids, int& count,
                     AttributeKind kind, int newEnd)
{
    if (ids.isEmpty())
        return;
    const T end = attribute_lists::valueAt<T>(c, kind, newEnd);
    while (!ids.isEmpty() && ids.last() > newEnd)
        attribute_lists::removeAt(values, ids, count, ids.size() - 1);
    if (ids.isEmpty() || ids.last() < newEnd) {
        ids.append(newEnd);
        values.append(end);
    }
    count = ids.size();
}

// Two segments around key point j become one: the positions of both (10(j-1) .. 10(j+1)) are
// compressed into one segment's range, later positions move down by 10. Of points that land on
// the same position the later one stays, so the list remains strictly ascending.
template <class T>
void mergeSegments(QVector<T>& values, QVector<int>& ids, int& count, int j)
{
    const int lo = (j - 1) * kSamplesPerSegment;
    const int hi = (j + 1) * kSamplesPerSegment;
    for (int& id : ids) {
        if (id >= hi)
            id -= kSamplesPerSegment;
        else if (id > lo)
            id = lo + (id - lo) / 2;
    }
    for (int i = ids.size() - 2; i >= 0; --i)
        if (ids[i] == ids[i + 1])
            attribute_lists::removeAt(values, ids, count, i);
    count = ids.size();
}

// Distance by which the start of a closed curve moves off its end when the curve is split open.
constexpr double kReopeningGap = 0.07;

// Splits one list at J: points from J on go to the tail, moved down by J; the head keeps the
// points up to J (a point at J belongs to both).
template <class T>
void cutList(QVector<T>& headValues, QVector<int>& headIds, int& headCount, QVector<T>& tailValues,
             QVector<int>& tailIds, int& tailCount, int J)
{
    for (int i = 0; i < headIds.size(); ++i) {
        if (headIds[i] >= J) {
            tailIds.append(headIds[i] - J);
            tailValues.append(headValues[i]);
        }
    }
    int keep = 0;
    while (keep < headIds.size() && headIds[keep] <= J)
        ++keep;
    headIds.resize(keep);
    headValues.resize(keep);
    headCount = keep;
    tailCount = tailIds.size();
}

// Rotates one list of a closed curve of the given length so that it starts at J: the points
// from J on come first (moved down by J), the points before J follow (moved up by length - J),
// and the point at J is repeated at the end. The old last point, which repeated the point at 0
// across the joint, is dropped.
template <class T>
void rotateList(QVector<T>& values, QVector<int>& ids, int& count, int J, int length)
{
    if (ids.isEmpty())
        return;
    QVector<T> newValues;
    QVector<int> newIds;
    const int n = ids.size();
    const bool lastRepeatsFirst = ids.first() == 0 && ids.last() == length;
    for (int i = 0; i < n; ++i) {
        if (ids[i] >= J && !(lastRepeatsFirst && i == n - 1)) {
            newIds.append(ids[i] - J);
            newValues.append(values[i]);
        }
    }
    for (int i = 0; i < n && ids[i] < J; ++i) {
        newIds.append(ids[i] + length - J);
        newValues.append(values[i]);
    }
    const int cut = ids.indexOf(J);
    if (cut >= 0) {
        newIds.append(length);
        newValues.append(values[cut]);
    }
    values = newValues;
    ids = newIds;
    count = ids.size();
}

// The two halves of split: the part after control point `key` (globalID J) goes to newCurve,
// or a closed curve is rotated to start at `key`.
void cutOffTail(Curve& curve, int key, int J, Curve& newCurve)
{
    Curve tail;
    tail.lifetime = curve.lifetime;
    tail.control_points = curve.control_points.mid(key);
    tail.nb_control_points = tail.control_points.size();
    curve.control_points.resize(key + 1);
    curve.nb_control_points = curve.control_points.size();
    cutList(curve.left_colors, curve.left_color_ids, curve.nb_left_colors, tail.left_colors,
            tail.left_color_ids, tail.nb_left_colors, J);
    cutList(curve.right_colors, curve.right_color_ids, curve.nb_right_colors, tail.right_colors,
            tail.right_color_ids, tail.nb_right_colors, J);
    cutList(curve.blur_values, curve.blur_ids, curve.nb_blur_points, tail.blur_values,
            tail.blur_ids, tail.nb_blur_points, J);
    tail.updateBoundingBox();
    newCurve = tail;
}

void rotateToStartAt(Curve& curve, int key, int J)
{
    // The points from the new key point to the old joint, then those after the old joint up to
    // the new key point again: the old joint (first and last control point) is kept once.
    const int length = (curve.control_points.size() - 1) / 3 * kSamplesPerSegment;
    QVector<Point> rotated = curve.control_points.mid(key);
    rotated += curve.control_points.mid(1, key);
    curve.control_points = rotated;
    curve.nb_control_points = curve.control_points.size();
    attribute_lists::forEach(curve,
                             [J, length](auto& v, QVector<int>& ids, int& count, AttributeKind) {
                                 rotateList(v, ids, count, J, length);
                             });
    // The two ends would coincide: the start moves off inwards (to the left side).
    curve.control_points[0] += curve.normalAt(0.0, 0) * kReopeningGap;
}

} // namespace

void insertControlPoint(Curve& curve, double x, double y, int index, double t)
{
    const int n = curve.control_points.size();
    const int s = segmentOfInsertion(index, n);
    if (s < 0 || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(t))
        return;
    t = std::clamp(t, 0.0, 1.0);
    const int b = 3 * s;
    const Point q(x, y);
    const Point normal = curve.normalAt(t, b);
    const Point tangent(normal.y, -normal.x);

    QVector<Point> first{curve.control_points[b]};
    QVector<Point> second{q};
    for (int i = 1; i <= 3; ++i) {
        first.append(curve.pointAt(t * i / 4.0, b));
        second.append(curve.pointAt(t + (1.0 - t) * i / 4.0, b));
    }
    first.append(q);
    second.append(curve.control_points[b + 3]);

    const auto [a1, a2] =
        innerPoints(first, curve.control_points[b + 1] - curve.control_points[b], tangent * -1.0);
    const auto [c1, c2] =
        innerPoints(second, tangent, curve.control_points[b + 2] - curve.control_points[b + 3]);
    curve.control_points[b + 1] = a1;
    curve.control_points[b + 2] = a2;
    curve.control_points.insert(b + 3, 3, Point());
    curve.control_points[b + 3] = q;
    curve.control_points[b + 4] = c1;
    curve.control_points[b + 5] = c2;
    curve.nb_control_points = curve.control_points.size();

    const int from = (s + 1) * kSamplesPerSegment;
    attribute_lists::forEach(curve, [from](auto&, QVector<int>& ids, int&, AttributeKind) {
        for (int& id : ids)
            if (id >= from)
                id += kSamplesPerSegment;
    });
    curve.updateBoundingBox();
}

void deleteControlPoint(Curve& curve, int index)
{
    const int n = curve.control_points.size();
    const int k = curve.segmentCount();
    if (k < 1 || index < 0 || index >= n)
        return;
    // The key point that goes, with its two tangent points.
    const int key = index % 3 == 0 ? index : index % 3 == 1 ? index - 1 : index + 1;
    const int j = std::min(key / 3, k);

    if (j == 0) {
        attribute_lists::forEach(curve, [&curve](auto& v, QVector<int>& ids, int& count,
                                                 AttributeKind kind) {
            dropFirstSegment(curve, v, ids, count, kind);
        });
        curve.control_points.remove(0, 3);
    } else if (j == k) {
        const int newEnd = (k - 1) * kSamplesPerSegment;
        attribute_lists::forEach(curve, [&curve, newEnd](auto& v, QVector<int>& ids, int& count,
                                                         AttributeKind kind) {
            dropLastSegment(curve, v, ids, count, kind, newEnd);
        });
        curve.control_points.remove(3 * k - 2, 3);
        curve.control_points.resize(
            std::min(static_cast<int>(curve.control_points.size()), 3 * k - 2));
    } else {
        attribute_lists::forEach(curve, [j](auto& v, QVector<int>& ids, int& count, AttributeKind) {
            mergeSegments(v, ids, count, j);
        });
        curve.control_points.remove(3 * j - 1, 3);
    }
    curve.nb_control_points = curve.control_points.size();

    // A closed curve stays closed: the end that did not move follows the one that did.
    if (curve.closed && !curve.control_points.isEmpty() && (j == 0 || j == k)) {
        const bool front = j == 0;
        QVector<Point>& p = curve.control_points;
        if (front)
            p.last() = p.first();
        else
            p.first() = p.last();
        attribute_lists::forEach(curve, [front](auto& v, QVector<int>&, int&, AttributeKind) {
            if (v.isEmpty())
                return;
            if (front)
                v.last() = v.first();
            else
                v.first() = v.last();
        });
    }
    if (curve.selected_control_point >= curve.nb_control_points)
        curve.selected_control_point = -1;
    curve.updateBoundingBox();
}

bool split(Curve& curve, double x, double y, int index, double t, Curve& newCurve)
{
    const int s = segmentOfInsertion(index, curve.control_points.size());
    if (s < 0 || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(t))
        return false;
    const bool wasClosed = curve.closed;
    curve.closed = false;
    insertControlPoint(curve, x, y, index, t);
    const int key = 3 * s + 3;
    const int J = (s + 1) * kSamplesPerSegment;

    // Both halves own the values at the cut.
    attribute_lists::forEach(curve, [&curve, J](auto& v, QVector<int>& ids, int& count,
                                                AttributeKind kind) {
        if (ids.isEmpty() || ids.contains(J))
            return;
        using T = std::decay_t<decltype(v[0])>;
        attribute_lists::insertSorted(v, ids, count, J,
                                      attribute_lists::valueAt<T>(curve, kind, J));
    });

    if (wasClosed)
        rotateToStartAt(curve, key, J);
    else
        cutOffTail(curve, key, J, newCurve);
    if (curve.selected_control_point >= curve.nb_control_points || wasClosed)
        curve.selected_control_point = -1;
    curve.updateBoundingBox();
    return !wasClosed;
}
