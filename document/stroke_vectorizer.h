#pragma once

#include "point.h"

class CurveSet;
class PixelReader;

#include <QVector>
#include <vector>

// Turns a free-hand stroke (canvas coordinates) into a new Bezier curve of `set`, working in the
// width x height pixel grid. When a colour side is inactive and `picture` is given, that side's
// colours are read from the rendered picture. The set's working arrays hold the stages' results
// while it runs.
void vectorizeStroke(CurveSet& set, const QVector<Point>& stroke, int width, int height,
                     const PixelReader* picture = nullptr);

// The stages of the stroke vectoriser, each a free function with its own inputs and outputs.
// vectorizeStroke calls them in order:
//   toPixels -> closeStroke -> computeStraightReach -> optimalPolygon -> cornerRuns -> fitRun
//
// Stroke and fitted points are in widget pixels: x to the right, rows counted from the top, every
// stroke coordinate an integer held in a double. n is the number of stroke points S[0 .. n-1].
namespace stroke {

// Pixel coordinates are clamped to +-kMaxPixel so that the integer arithmetic of the straight-run
// and polygon stages stays exact in doubles and 64-bit integers (products stay below 2^51). A
// stroke that far outside the widget is beyond any view anyway.
constexpr double kMaxPixel = 16777216.0; // 2^24

// Corner threshold passed by the vectoriser. The corner measure never exceeds 4/3, so with this
// threshold a stroke always becomes a single smooth run.
constexpr double kCornerThreshold = 2.0;

// Pixel conversion. Canvas stroke (x, y in -1 .. 1, y up) to pixels of a width x height widget:
// (floor(width / 2 * (x + 1)), floor(height / 2 * (1 - y))), clamped to +-kMaxPixel.
// Positions with a non-finite coordinate are dropped. Returns nothing for width or height <= 0.
QVector<Point> toPixels(const QVector<Point>& stroke, int width, int height);

// Pixel point back to canvas coordinates: (px / (width / 2) - 1, 1 - py / (height / 2)).
// width and height must be positive.
Point toCanvas(const Point& pixel, int width, int height);

// Closing. When the last point lies within 2 pixels of the first in both coordinates, it becomes
// the first point and the stroke is closed: returns true. Otherwise leaves S alone and returns
// false (also for an empty S).
bool closeStroke(QVector<Point>& S);

// The straight-run table: for each i in 0 .. n-1 the furthest index reachable from S[i] by an
// approximately straight run. Every entry lies in i+1 .. n-1 for i < n-1, entry n-1 is n-1, and
// the table is non-decreasing. Empty for an empty S. Time: the walk from each point runs to the
// first point off its straight line, so a long straight stroke costs O(n^2).
std::vector<int> computeStraightReach(const QVector<Point>& S);

// Cost of the polygon edge S[i] -> S[j] (0 <= i, j; an index beyond n-1 means n-1): the edge
// length times the root mean distance of the points it skips from its line. 0 for i = j and for
// an edge whose end points coincide (its line is undefined).
double edgePenalty(const QVector<Point>& S, int i, int j);

// The optimal polygon: among the polygons with the fewest vertices whose edges follow straight
// runs, the one of least total penalty. Returns ascending indices into S, starting with 0 and
// ending with n-1 (at least two entries for n >= 2). `straightReach` must be the table of S
// (size n, entries in 0 .. n-1). Returns an empty polygon when it is not, when n < 2, or when the
// working memory (six arrays of n + 1 entries) cannot be allocated.
std::vector<int> optimalPolygon(const QVector<Point>& S, const std::vector<int>& straightReach);

// Corner measure at V1 of the polygon corner V0, V1, V2: 0 (flat) .. 4/3 (sharp); 4/3 when V0 and
// V2 coincide.
double cornerAlpha(const Point& V0, const Point& V1, const Point& V2);

// A stretch of polygon vertices between two corners, fitted as one smooth piece.
struct Run {
    QVector<Point> points;
    bool first = false; // the run starts the curve
    bool last = false;  // the run ends the curve
};

// Corner test. Splits the polygon vertices V[0 .. m-1] into runs at every corner whose measure
// reaches alphaMax; neighbouring runs share their corner vertex. The first run has `first` set,
// the last `last`. With m < 3 the single run is [V[0], V[m-1]]. Returns no run for an empty V.
QVector<Run> cornerRuns(const QVector<Point>& V, double alphaMax);

// Fits a run P[0 .. r-1] (r >= 2) with cubic Bezier segments, one for every three polygon
// edges and one for the remaining one or two, and appends their control points to `fitted`: b0,
// b1, b2 of each segment, and b3 of the last segment when run.last is set. On a closed curve the
// tangents at the joint look across it: `beforeJoint` is the polygon vertex before the closing
// vertex (V[m-2]) and `afterJoint` the one after the start (V[1]).
// Returns false, leaving `fitted` as it was, when r < 2 or some segment's points all coincide
// (the fit is undefined).
bool fitRun(const Run& run, bool closed, const Point& beforeJoint, const Point& afterJoint,
            QVector<Point>& fitted);

// Corner test and run fitting over a whole polygon: the control points of the curve through the
// polygon vertices V[0 .. m-1] (3q + 1 points for q segments). Empty when m < 2, when a fit is
// undefined or when all the control points coincide.
QVector<Point> fitPolygon(const QVector<Point>& V, bool closed);

} // namespace stroke
