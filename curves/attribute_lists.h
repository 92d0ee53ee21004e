#pragma once

// Helpers shared by the curve operations that treat the three attribute lists alike.
// Internal to the curves library.

#include "curve.h"

#include <algorithm>
#include <type_traits>

namespace attribute_lists {

// Calls f(values, ids, count, kind) for the left colours, the right colours and the blur list.
template <class F>
void forEach(Curve& c, F&& f)
{
    f(c.left_colors, c.left_color_ids, c.nb_left_colors, LeftColor);
    f(c.right_colors, c.right_color_ids, c.nb_right_colors, RightColor);
    f(c.blur_values, c.blur_ids, c.nb_blur_points, Blur);
}

// Interpolated value of list `kind` at abscissa x (globalID scale); the first point's value before
// the first point, the last point's value after the last one. Lists must not be empty.
template <class T>
T valueAt(const Curve& c, AttributeKind kind, double x);

template <>
inline QColor valueAt<QColor>(const Curve& c, AttributeKind kind, double x)
{
    int i = 0;
    const double w = c.findIntervalAt(x, i, kind);
    return kind == LeftColor ? c.leftColorAt(w, i) : c.rightColorAt(w, i);
}

template <>
inline int valueAt<int>(const Curve& c, AttributeKind kind, double x)
{
    int i = 0;
    const double w = c.findIntervalAt(x, i, kind);
    return c.blurAt(w, i);
}

// Inserts (value, globalID) after every point whose globalID is at most g (keeps ids sorted).
template <class T>
void insertSorted(QVector<T>& values, QVector<int>& ids, int& count, int g, const T& value)
{
    const int d = static_cast<int>(std::upper_bound(ids.begin(), ids.end(), g) - ids.begin());
    ids.insert(d, g);
    values.insert(d, value);
    count = ids.size();
}

// Removes point i of a list.
template <class T>
void removeAt(QVector<T>& values, QVector<int>& ids, int& count, int i)
{
    ids.remove(i);
    values.remove(i);
    count = ids.size();
}

} // namespace attribute_lists
