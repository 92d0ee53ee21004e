#pragma once

#include "point.h"

#include "shared_constants.h"

#include <QColor>
#include <QImage>
#include <QVector>
#include <functional>
#include <utility>

class PixelReader;

// Which attribute list of a curve an operation works on.
enum AttributeKind { LeftColor = 0, RightColor = 1, Blur = 2 };

// Every segment is divided into this many sample steps; attribute positions (globalID) count
// them, so segment s spans globalID 10s to 10s + 10.
constexpr int kSamplesPerSegment = 10;
// Parameter step of the sampling walk (1 / kSamplesPerSegment).
constexpr double sampleStep = 0.1;
// Half a pixel of the 512 x 512 canvas in canvas units: the canvas spans -1..1, two units for
// 512 pixels, so snapping and sampling walk in half-pixel steps.
constexpr double kCanvasPixel = 1.0 / kCanvasSize;
// How many pixel steps one snapping pass may move a control point along each axis, by default.
constexpr int kSnakeReachSteps = 6;

// One sample of the standard walk along a curve (see Curve::forEachSample).
struct CurveSample {
    int b = 0;      // index of the first control point of the segment (multiple of 3)
    double t = 0.0; // parameter within the segment, 0 .. just below 1
    Point point;    // pointAt(t, b)
    Point normal;   // normalAt(t, b): unit, pointing to the left side
    QColor left;    // interpolated left colour (invalid QColor when the list is empty)
    QColor right;   // interpolated right colour (invalid QColor when the list is empty)
    int blur = 0;   // interpolated blur (0 when the list is empty)
};

// One cubic Bezier spline of the drawing with the colours on its two sides and its blur values.
//
// A curve of k segments has 3k + 1 control points: index i is a key point (on the curve) when
// i mod 3 = 0, the tangent point leaving key point i - 1 when i mod 3 = 1, and the tangent point
// arriving at key point i + 1 when i mod 3 = 2. Attribute points are (value, globalID) pairs held
// in parallel arrays; globalID arrays are sorted ascending. A colour point's colour carries four
// 0..255 channels: red, green, blue and its opacity in the alpha channel (255 opaque, 0 fully
// transparent); opacity is interpolated along the curve like the colour channels.
//
// The fields are public for reading by the document, the renderer and the tests. Change them
// through the operations so that the counts stay equal to the array sizes.
// Out-of-range indices make an operation do nothing.
class Curve {
public:
    Curve();
    Curve(const QColor& left, const QColor& right, int blur);

    // Empties the control points and clears the flags; keeps the attribute lists and defaults.
    void reset();

    // ---- accessors
    void selectControlPoint(int i);
    void clearControlPointSelection() { selected_control_point = -1; }
    QColor defaultLeftColor() const { return default_left_color; }
    void setDefaultLeftColor(const QColor& c) { default_left_color = c; }
    QColor defaultRightColor() const { return default_right_color; }
    void setDefaultRightColor(const QColor& c) { default_right_color = c; }
    int defaultBlur() const { return default_blur; }
    void setDefaultBlur(int b) { default_blur = b; }
    bool isClosed() const { return closed; }
    bool isSelected() const { return selected; }
    void setSelected(bool s) { selected = s; }
    void toggleStylized() { stylized = !stylized; }
    std::pair<Point, Point> boundingBox() const { return {bbox_min, bbox_max}; }
    void setDragAnchor(double x, double y) { drag_anchor = Point(x, y); }
    Point controlPoint(int i) const;
    // Number of cubic segments, (nb_control_points - 1) / 3, 0 for fewer than 4 points.
    int segmentCount() const;

    // ---- evaluation (canvas units)
    // Point of the segment starting at control point b, at parameter t in [0, 1]. For b the last
    // control point, evaluates the previous segment at 1 - t (so (last, 0) is the end point).
    // Other out-of-range b use the nearest segment; a curve without a segment gives its nearest
    // control point (the origin when it has none).
    Point pointAt(double t, int b) const;
    // Unit normal (tangent turned a quarter turn counter-clockwise: the left side). Where the
    // derivative vanishes, falls back to the chord of the segment, then to (0, 1).
    Point normalAt(double t, int b) const;
    void updateBoundingBox();
    // Value between attribute points i and i + 1 at weight w in [0, 1]; the value of point i when
    // i is the last one (the last point's for larger i, the first point's for negative i).
    // Left colours (opacity included) and blur round, right colours truncate. An empty list gives
    // an invalid
    // QColor or blur 0.
    QColor leftColorAt(double w, int i) const;
    QColor rightColorAt(double w, int i) const;
    int blurAt(double w, int i) const;
    // Forward walk: returns the weight of the abscissa of (t, b) in interval i of the list,
    // advancing i by at most one when the abscissa has reached point i + 1. Before the first
    // point, on the last point or on an empty list the weight is 0 (i clamped into the list,
    // 0 when empty).
    double stepInterval(double t, int b, int& i, AttributeKind kind) const;
    // Single lookup: i becomes the last point at or before the abscissa of (t, b) (0 when the
    // abscissa lies before the first point), and the weight within [i, i + 1] is returned.
    double findInterval(double t, int b, int& i, AttributeKind kind) const;
    // findInterval for an abscissa x given directly on the globalID scale (exact for integer
    // positions, where going through (t, b) could round across an attribute point).
    double findIntervalAt(double x, int& i, AttributeKind kind) const;
    // The standard walk: every segment, t = 0, 0.1, ... while t <= 1 (11 samples a segment),
    // with running attribute intervals carried across segments.
    void forEachSample(const std::function<void(const CurveSample&)>& visit) const;

    // ---- editing
    // Appends a control point and recomputes the bounding box.
    void appendControlPoint(double x, double y);
    // Append one attribute point (no sorting): the curve's default value when use_default is
    // set, else the given one (colours keep their opacity, an invalid colour is opaque black;
    // blur truncated towards zero).
    void appendLeftColor(int globalID, bool use_default, const QColor& color = QColor());
    void appendRightColor(int globalID, bool use_default, const QColor& color = QColor());
    void appendBlur(int globalID, bool use_default, double value = 0.0);
    // Inserts a point carrying the value the curve already has at globalID, before the first
    // point after it (at the latest before the last point). Does nothing on an empty list or
    // beyond the last point (the list would lose its order).
    void insertAttribute(int globalID, AttributeKind kind);
    // Removes the last point at or before globalID (the first one when globalID lies before the
    // second point). Never removes the last point; does nothing on lists of fewer than 3 points.
    void deleteAttribute(int globalID, AttributeKind kind);
    // Set one value; on a closed curve the first and last points mirror each other.
    void setLeftColorOf(const QColor& color, int index);
    void setRightColorOf(const QColor& color, int index);
    void setBlurOf(int value, int index);
    // Drags the selected control point to (x, y) with its tangents (key point), its smooth
    // partner (tangent point) or the other end (closed curve); an open curve whose end comes
    // within 0.01 of the other end closes. False, and nothing moves, when no valid point is
    // selected.
    bool moveSelectedControlPoint(double x, double y);
    // Sets the flag (curves of fewer than 2 control points stay open). Closing gives each list
    // one value at the joint (the last one) and keeps the old first value just after it.
    void setClosed(bool closed);
    // ---- fields, in the order of the record
    bool stylized = false;
    int nb_control_points = 0;
    int nb_left_colors = 0;
    int nb_right_colors = 0;
    int nb_blur_points = 0;
    int lifetime = 32;
    QVector<Point> control_points;
    QVector<QColor> left_colors;
    QVector<QColor> right_colors;
    QVector<int> blur_values;
    QVector<int> left_color_ids;
    QVector<int> right_color_ids;
    QVector<int> blur_ids;
    QColor default_left_color = kDefaultLeftColor;
    QColor default_right_color = kDefaultRightColor;
    int default_blur = 0;
    int selected_control_point = -1;
    Point bbox_min;
    Point bbox_max;
    Point drag_anchor;
    bool closed = false;
    bool selected = false;
};

// result = blend of a and b at weight x (0 gives a), colour channels and opacity alike; pairs only
// what both curves have: a's structure and globalIDs, a's values where b has no partner. Other
// fields are defaults.
void interpolateCurves(const Curve& a, const Curve& b, Curve& result, double x);
