#pragma once

#include "point.h"

#include <QVector>
#include <array>
#include <optional>

// Control points b0, b1, b2, b3 of one cubic Bezier segment.
using CubicBezier = std::array<Point, 4>;

// Least-squares fit of one cubic Bezier to the points d[0 .. k-1] (k >= 2), with fixed end
// points b0 = d[0] and b3 = d[k-1] and tangent directions t1 (leaving d[0]) and t2 (arriving at
// d[k-1], pointing back into the curve). Only the lengths along t1 and t2 are fitted, with
// chord-length parameters (Schneider's tangent-length fit). t1 and t2 need not be unit
// vectors; they are normalised here. When a fitted length is not positive both lengths fall
// back to a third of the chord |d[k-1] - d[0]|.
//
// Returns nothing when the fit is undefined: fewer than two points, or all points coincide (the
// chord-length parameters have a zero total).
std::optional<CubicBezier> fitCubic(const QVector<Point>& d, const Point& t1, const Point& t2);

// The same fit with given parameters u[0 .. k-1] (ascending, u[0] = 0, u[k-1] = 1) instead of
// chord-length ones, for points whose parameters are known. Returns nothing when d and u differ
// in size, for fewer than two points, or when all points coincide.
std::optional<CubicBezier> fitCubicAt(const QVector<Point>& d, const QVector<double>& u,
                                      const Point& t1, const Point& t2);
