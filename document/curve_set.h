#pragma once

#include "colour_space.h"
#include "curve.h"
#include "curve_set_layers.h"
#include "point.h"
#include "view.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>
#include <functional>
#include <vector>

class PixelReader;

// Snap reach, in pixels of the 512 x 512 contour bitmap: how far one snap may move a control
// point along each axis. The bitmap spans the canvas's width of 2, so one of its pixels is two
// pixel steps (kCanvasPixel) of the snapping search; the default is the search's own reach.
constexpr int kDefaultSnapReach = kSnakeReachSteps / 2;
constexpr int kMinSnapReach = 2;
constexpr int kMaxSnapReach = 30;

// The document: the ordered curves of one drawing, the size of the image it maps onto, the
// current curve, the multi-selection, a private clipboard and the stroke vectoriser's working
// arrays. Geometry is in canvas coordinates (-1 .. 1, y up); only the XML files and the
// vectoriser convert to image pixels. The set makes no GL call: the renderer draws it through
// free functions that take a const CurveSet&.
//
// Curves are named by their index in `curves`. Operations that take an index ignore one that is
// out of range; indices in `selection` that name no curve are skipped.
//
// The curves are grouped in layers (curve_set_layers.h): `layers`, bottom first, each owning a
// contiguous run of `curves`. New curves go to the end of the current layer's run, which for a
// drawing of one layer is the end of `curves`.
class CurveSet {
public:
    CurveSet();

    // ---- life cycle
    // No curves, no current curve, nothing copied as blur, one layer as in a new drawing. Keeps
    // the selection list, the clipboard, the image size and the current colours and blur.
    void clear();

    // ---- access
    // The curve at index i; the caller guarantees 0 <= i < nb_curves.
    Curve& curve(int i) { return curves[i]; }
    const Curve& curve(int i) const { return curves[i]; }
    // Adds a copy of c, unselected, at the end of the current layer's run; returns its index.
    // Curves behind it move up by one, and the selection and current_curve follow them.
    int addCurve(const Curve& c);
    // Erases curve i (nothing when out of range). The selection and current_curve are renumbered
    // so that they keep naming the same curves; a removed current curve leaves none current.
    void removeCurve(int i);
    // Starts a new curve with the current colours and blur at the end of the current layer and
    // makes it current, unless the last curve of that layer is still unfinished (fewer than 4
    // control points), which then stays in use.
    void newCurve();
    // Makes curve i current and copies its default colours and blur into the current ones; an
    // index out of range only sets current_curve to -1.
    void setCurrentCurve(int i);
    // Colour of the k-th left (right) colour point of the current curve; the current colour when
    // there is no current curve or k is out of range.
    QColor currentCurveLeftColor(int k) const;
    QColor currentCurveRightColor(int k) const;
    // The current curve's selected control point, -1 without a current curve.
    int selectedControlPoint() const;
    // True when current_curve names a curve.
    bool hasCurrentCurve() const { return current_curve >= 0 && current_curve < nb_curves; }

    // ---- current colours and blur (also written into the current curve's defaults)
    void setLeftColor(const QColor& c);
    void setRightColor(const QColor& c);
    void setBlur(int v);

    // ---- forwarding to the current curve; do nothing without one ("ignore" guard)
    void insertControlPoint(double x, double y, int index, double t);
    // Splits the current curve; the part after the new key point of an open curve is added at
    // the end of the split curve's layer.
    void split(double x, double y, int index, double t);
    void insertAttribute(int globalID, AttributeKind kind);
    void deleteAttribute(int globalID, AttributeKind kind);
    // Deletes a control point; a curve left without a whole segment is removed from the set.
    void deleteControlPoint(int index);
    void selectControlPoint(int i);
    bool moveSelectedControlPoint(double x, double y);
    void clearControlPointSelection();
    void setLeftColorOf(const QColor& color, int index);
    void setRightColorOf(const QColor& color, int index);
    void setBlurOf(int value, int index);
    // Blur value of blur point `index` of the current curve; -1 when out of range or no curve.
    int blurValue(int index) const;
    // Reads the colours of the selected curves and of the current one from `example`; their
    // default colours become their first colour points. Returns the number of curves read: 0
    // without such curves or example.
    int sampleFromExample(const QImage& example);
    // Snaps the selected curves and the current one once; the reach is clamped to
    // kMinSnapReach .. kMaxSnapReach. Returns the number of curves snapped: 0 without such
    // curves or contour.
    int snakeStep(const QImage& contour, int reachPixels = kDefaultSnapReach);

    // ---- forwarding that fills the curve just started ("clamp" guard): a current_curve out of
    // range first becomes the last curve of the current layer (nb_curves - 1 in a drawing of one
    // layer). Nothing happens when that layer has no curve.
    void appendControlPoint(double x, double y);
    void setClosed(bool closed);
    bool isClosed();
    void appendLeftColor(int globalID, bool use_default, const QColor& color = QColor());
    void appendRightColor(int globalID, bool use_default, const QColor& color = QColor());
    void appendBlur(int globalID, bool use_default, double value = 0.0);

    // ---- dragging the current curve or else the selection
    // active: start a drag at (x, y); beginDrag(0, 0, false) ends it.
    void beginDrag(double x, double y, bool active);
    void dragTo(double x, double y);

    // ---- layers (curve_set_layers.h has the operations that change them)
    int layerCount() const { return layers.size(); }
    // current_layer, clamped to the layers there are.
    int currentLayer() const;
    // The run of curves of `layer`; empty (at the end of the array) when out of range. The top
    // layer's run always ends at the end of `curves`, so curves added to the array behind the
    // layers' back belong to it.
    CurveRange layerRange(int layer) const;
    // The layer holding curve i; -1 when i names no curve.
    int layerOfCurve(int i) const;
    // Makes the layers agree with `curves` again after code changed the array directly: at least
    // one layer, no negative count, surplus curves counted in the top layer and missing ones
    // taken from the top layer down; current_layer clamped.
    void fitLayersToCurves();

    // ---- fields
    QVector<Curve> curves;
    int nb_curves = 0;
    QVector<int> selection;
    QVector<Curve> clipboard;
    int copied_blur = -1;
    int current_curve = -1;
    Point selection_min;
    Point selection_max;
    QVector<Point> selection_hull;
    QVector<Point> stroke_points;
    QVector<Point> fitted_points;
    std::vector<int> polygon_vertices;
    std::vector<int> straight_reach;
    QColor current_left_color = kDefaultLeftColor;
    QColor current_right_color = kDefaultRightColor;
    bool left_colors_active = true;
    bool right_colors_active = true;
    int current_blur = 0;
    bool dragging = false;
    bool show_attributes = false;
    int image_width = kCanvasSize;
    int image_height = kCanvasSize;
    // The space the colours are diffused in; saved as "colour_space" on "curve_set" unless sRGB.
    ColourSpace colour_space = ColourSpace::Srgb;
    // Bottom first; never empty; the counts add up to nb_curves.
    QVector<Layer> layers{Layer{firstLayerName()}};
    // The layer new curves go into.
    int current_layer = 0;

    // Inserts c, unselected, at the end of `layer`'s run and counts it there (the top layer when
    // out of range); renumbers the selection and current_curve. Returns its index.
    int insertCurveInLayer(int layer, const Curve& c);

private:
    // Runs `edit` on each selected curve and on the current one, each once; returns how many.
    int forSelectedAndCurrent(const std::function<void(Curve&)>& edit);
    // The curve the "clamp" guard acts on: current_curve, first set to the last curve when it
    // names none; nullptr when the set is empty.
    Curve* clampedCurrentCurve();
};

// Fills `out` with the drawing at parameter t between keyframes a (t = 0) and b (t = 1). Curves
// are paired by index and points by position; only what both keyframes have is blended, so
// surplus curves or points of either side are left out. The layers are a's, their opacity
// blended with b's (a hidden layer blends as opacity 0 and shows when either side shows it).
// a and b are only read.
void interpolateSets(const CurveSet& a, const CurveSet& b, CurveSet& out, double t);
