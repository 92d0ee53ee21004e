#include "curve_set.h"

#include "curve_set_selection.h"
#include "curve_sampling.h"
#include "curve_transforms.h"
#include "curve_topology.h"

#include <algorithm>

CurveSet::CurveSet()
{
    curves.reserve(4);
    selection_hull.reserve(4);
}

void CurveSet::clear()
{
    curves.clear();
    curves.reserve(4);
    nb_curves = 0;
    copied_blur = -1;
    current_curve = -1;
    layers = {Layer{firstLayerName()}};
    current_layer = 0;
}

// ---------------------------------------------------------------- access

int CurveSet::addCurve(const Curve& c) { return insertCurveInLayer(currentLayer(), c); }

int CurveSet::insertCurveInLayer(int layer, const Curve& c)
{
    fitLayersToCurves();
    if (layer < 0 || layer >= layers.size())
        layer = layers.size() - 1;
    const int at = layerRange(layer).end;
    curves.insert(at, c);
    // Only addToSelection marks a curve selected, so that the flags match the selection list.
    curves[at].setSelected(false);
    nb_curves = curves.size();
    ++layers[layer].curveCount;
    for (int& s : selection)
        if (s >= at)
            ++s;
    if (current_curve >= at)
        ++current_curve;
    return at;
}

void CurveSet::removeCurve(int i)
{
    if (i < 0 || i >= nb_curves)
        return;
    fitLayersToCurves();
    --layers[layerOfCurve(i)].curveCount;
    curves.remove(i);
    nb_curves = curves.size();

    // Keep the selection and the current curve naming the curves they named before.
    QVector<int> renumbered;
    renumbered.reserve(selection.size());
    for (int s : selection) {
        if (s == i)
            continue;
        renumbered.append(s > i ? s - 1 : s);
    }
    selection = renumbered;
    if (current_curve == i)
        current_curve = -1;
    else if (current_curve > i)
        --current_curve;
}

void CurveSet::newCurve()
{
    const CurveRange run = layerRange(currentLayer());
    if (run.size() > 0 && curves[run.end - 1].nb_control_points < 4)
        return;
    setCurrentCurve(insertCurveInLayer(currentLayer(), Curve(current_left_color,
                                                             current_right_color, current_blur)));
}

void CurveSet::setCurrentCurve(int i)
{
    if (i < 0 || i >= nb_curves) {
        current_curve = -1;
        return;
    }
    current_curve = i;
    const Curve& c = curves[i];
    current_left_color = c.default_left_color;
    current_right_color = c.default_right_color;
    current_blur = c.default_blur;
}

QColor CurveSet::currentCurveLeftColor(int k) const
{
    if (!hasCurrentCurve())
        return current_left_color;
    const Curve& c = curves[current_curve];
    if (k < 0 || k >= c.left_colors.size())
        return current_left_color;
    return c.left_colors[k];
}

QColor CurveSet::currentCurveRightColor(int k) const
{
    if (!hasCurrentCurve())
        return current_right_color;
    const Curve& c = curves[current_curve];
    if (k < 0 || k >= c.right_colors.size())
        return current_right_color;
    return c.right_colors[k];
}

int CurveSet::selectedControlPoint() const
{
    return hasCurrentCurve() ? curves[current_curve].selected_control_point : -1;
}

// ---------------------------------------------------------------- current colours and blur

void CurveSet::setLeftColor(const QColor& c)
{
    if (hasCurrentCurve())
        curves[current_curve].setDefaultLeftColor(c);
    current_left_color = c;
}

void CurveSet::setRightColor(const QColor& c)
{
    if (hasCurrentCurve())
        curves[current_curve].setDefaultRightColor(c);
    current_right_color = c;
}

void CurveSet::setBlur(int v)
{
    current_blur = v;
    if (hasCurrentCurve())
        curves[current_curve].setDefaultBlur(v);
}

// ---------------------------------------------------------------- forwarding, "ignore" guard

void CurveSet::insertControlPoint(double x, double y, int index, double t)
{
    if (hasCurrentCurve())
        ::insertControlPoint(curves[current_curve], x, y, index, t);
}

void CurveSet::split(double x, double y, int index, double t)
{
    if (!hasCurrentCurve())
        return;
    Curve second;
    if (::split(curves[current_curve], x, y, index, t, second))
        insertCurveInLayer(layerOfCurve(current_curve), second);
}

void CurveSet::insertAttribute(int globalID, AttributeKind kind)
{
    if (hasCurrentCurve())
        curves[current_curve].insertAttribute(globalID, kind);
}

void CurveSet::deleteAttribute(int globalID, AttributeKind kind)
{
    if (hasCurrentCurve())
        curves[current_curve].deleteAttribute(globalID, kind);
}

void CurveSet::deleteControlPoint(int index)
{
    if (!hasCurrentCurve())
        return;
    Curve& c = curves[current_curve];
    ::deleteControlPoint(c, index);
    // A curve without a whole segment can be neither drawn nor edited: drop it.
    if (c.nb_control_points < 4)
        removeCurve(current_curve);
}

void CurveSet::selectControlPoint(int i)
{
    if (hasCurrentCurve())
        curves[current_curve].selectControlPoint(i);
}

bool CurveSet::moveSelectedControlPoint(double x, double y)
{
    if (!hasCurrentCurve())
        return false;
    return curves[current_curve].moveSelectedControlPoint(x, y);
}

void CurveSet::clearControlPointSelection()
{
    if (hasCurrentCurve())
        curves[current_curve].clearControlPointSelection();
}

void CurveSet::setLeftColorOf(const QColor& color, int index)
{
    if (hasCurrentCurve())
        curves[current_curve].setLeftColorOf(color, index);
}

void CurveSet::setRightColorOf(const QColor& color, int index)
{
    if (hasCurrentCurve())
        curves[current_curve].setRightColorOf(color, index);
}

void CurveSet::setBlurOf(int value, int index)
{
    if (hasCurrentCurve())
        curves[current_curve].setBlurOf(value, index);
}

int CurveSet::blurValue(int index) const
{
    if (!hasCurrentCurve())
        return -1;
    const Curve& c = curves[current_curve];
    if (index < 0 || index >= c.blur_values.size())
        return -1;
    return c.blur_values[index];
}

int CurveSet::sampleFromExample(const QImage& example)
{
    if (example.isNull())
        return 0;
    return forSelectedAndCurrent([&](Curve& c) {
        ::sampleFromExample(c, example);
        takeDefaultsFromPoints(c);
    });
}

int CurveSet::snakeStep(const QImage& contour, int reachPixels)
{
    if (contour.isNull())
        return 0;
    const int reach = std::clamp(reachPixels, kMinSnapReach, kMaxSnapReach);
    return forSelectedAndCurrent(
        [&](Curve& c) { ::snakeStep(c, contour, kCanvasPixel, 2 * reach); });
}

int CurveSet::forSelectedAndCurrent(const std::function<void(Curve&)>& edit)
{
    QVector<int> edited;
    for (int i : selection) {
        if (i >= 0 && i < nb_curves && !edited.contains(i))
            edited.append(i);
    }
    if (hasCurrentCurve() && !edited.contains(current_curve))
        edited.append(current_curve);
    for (int i : edited)
        edit(curves[i]);
    return edited.size();
}

// ---------------------------------------------------------------- forwarding, "clamp" guard

Curve* CurveSet::clampedCurrentCurve()
{
    if (!hasCurrentCurve()) {
        const CurveRange run = layerRange(currentLayer());
        if (run.size() < 1)
            return nullptr;
        current_curve = run.end - 1;
    }
    return &curves[current_curve];
}

void CurveSet::appendControlPoint(double x, double y)
{
    if (Curve* c = clampedCurrentCurve())
        c->appendControlPoint(x, y);
}

void CurveSet::setClosed(bool closed)
{
    if (Curve* c = clampedCurrentCurve())
        c->setClosed(closed);
}

bool CurveSet::isClosed()
{
    const Curve* c = clampedCurrentCurve();
    return c && c->isClosed();
}

void CurveSet::appendLeftColor(int globalID, bool use_default, const QColor& color)
{
    if (Curve* c = clampedCurrentCurve())
        c->appendLeftColor(globalID, use_default, color);
}

void CurveSet::appendRightColor(int globalID, bool use_default, const QColor& color)
{
    if (Curve* c = clampedCurrentCurve())
        c->appendRightColor(globalID, use_default, color);
}

void CurveSet::appendBlur(int globalID, bool use_default, double value)
{
    if (Curve* c = clampedCurrentCurve())
        c->appendBlur(globalID, use_default, value);
}

// ---------------------------------------------------------------- dragging

void CurveSet::beginDrag(double x, double y, bool active)
{
    if (active && hasCurrentCurve()) {
        curves[current_curve].setDragAnchor(x, y);
        dragging = true;
        return;
    }
    for (int i : selection)
        if (i >= 0 && i < nb_curves)
            curves[i].setDragAnchor(x, y);
    dragging = active;
}

void CurveSet::dragTo(double x, double y)
{
    if (hasCurrentCurve()) {
        translateTo(curves[current_curve], x, y);
        return;
    }
    for (int i : selection)
        if (i >= 0 && i < nb_curves)
            translateTo(curves[i], x, y);
    selectionBox(*this);
    selectionHull(*this);
}

// ---------------------------------------------------------------- layers

int CurveSet::currentLayer() const
{
    return std::clamp(current_layer, 0, std::max(0, int(layers.size()) - 1));
}

CurveRange CurveSet::layerRange(int layer) const
{
    const int n = curves.size();
    if (layer < 0 || layer >= layers.size())
        return CurveRange{n, n};
    int first = 0;
    for (int l = 0; l < layer; ++l)
        first += std::max(0, layers[l].curveCount);
    first = std::min(first, n);
    const int end =
        layer == layers.size() - 1 ? n : std::min(n, first + std::max(0, layers[layer].curveCount));
    return CurveRange{first, end};
}

int CurveSet::layerOfCurve(int i) const
{
    if (i < 0 || i >= curves.size())
        return -1;
    // The same runs as layerRange: each layer below the top ends after its count, the top
    // layer takes the rest.
    int end = 0;
    for (int l = 0; l + 1 < layers.size(); ++l) {
        end += std::max(0, layers[l].curveCount);
        if (i < end)
            return l;
    }
    return layers.size() - 1;
}

void CurveSet::fitLayersToCurves()
{
    if (layers.isEmpty())
        layers.append(Layer{firstLayerName()});
    int counted = 0;
    for (Layer& layer : layers) {
        layer.curveCount = std::max(0, layer.curveCount);
        counted += layer.curveCount;
    }
    int surplus = curves.size() - counted;
    for (int l = layers.size() - 1; l >= 0 && surplus < 0; --l) {
        const int taken = std::min(layers[l].curveCount, -surplus);
        layers[l].curveCount -= taken;
        surplus += taken;
    }
    if (surplus > 0)
        layers.last().curveCount += surplus;
    current_layer = currentLayer();
}
