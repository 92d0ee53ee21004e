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
}

// ---------------------------------------------------------------- access

void CurveSet::addCurve(const Curve& c)
{
    curves.append(c);
    // Only addToSelection marks a curve selected, so that the flags match the selection list.
    curves.last().setSelected(false);
    nb_curves = curves.size();
}

void CurveSet::removeCurve(int i)
{
    if (i < 0 || i >= nb_curves)
        return;
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
    if (nb_curves > 0 && curves.last().nb_control_points < 4)
        return;
    curves.append(Curve(current_left_color, current_right_color, current_blur));
    nb_curves = curves.size();
    setCurrentCurve(nb_curves - 1);
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
        addCurve(second);
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
    if (!hasCurrentCurve() || example.isNull())
        return 0;
    ::sampleFromExample(curves[current_curve], example);
    return 1;
}

int CurveSet::snakeStep(const QImage& contour, int reachPixels)
{
    if (!hasCurrentCurve() || contour.isNull())
        return 0;
    const int reach = std::clamp(reachPixels, kMinSnapReach, kMaxSnapReach);
    ::snakeStep(curves[current_curve], contour, kCanvasPixel, 2 * reach);
    return 1;
}

// ---------------------------------------------------------------- forwarding, "clamp" guard

Curve* CurveSet::clampedCurrentCurve()
{
    if (nb_curves < 1)
        return nullptr;
    if (!hasCurrentCurve())
        current_curve = nb_curves - 1;
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
