#include "curve_set_edits.h"

#include "curve_set.h"
#include "curve_set_selection.h"
#include "curve_transforms.h"

namespace {

// Applies edit to every selected curve in list order, then to the current curve; returns the
// number of distinct curves edited.
template <typename Edit>
int forSelectedThenCurrent(CurveSet& set, Edit edit)
{
    int edited = 0;
    for (int i : set.selection) {
        if (i >= 0 && i < set.nb_curves) {
            edit(set.curves[i]);
            ++edited;
        }
    }
    if (set.hasCurrentCurve()) {
        edit(set.curves[set.current_curve]);
        if (!set.selection.contains(set.current_curve))
            ++edited;
    }
    return edited;
}

} // namespace

int setGlobalBlur(CurveSet& set, int shift)
{
    return forSelectedThenCurrent(set, [shift](Curve& c) { shiftBlur(c, shift); });
}

int stylizeSplines(CurveSet& set)
{
    return forSelectedThenCurrent(set, [](Curve& c) { c.toggleStylized(); });
}

int increaseContrast(CurveSet& set)
{
    return forSelectedThenCurrent(set, [](Curve& c) { increaseContrast(c); });
}

int decreaseContrast(CurveSet& set)
{
    return forSelectedThenCurrent(set, [](Curve& c) { decreaseContrast(c); });
}

int switchColors(CurveSet& set)
{
    return forSelectedThenCurrent(set, [](Curve& c) { switchColors(c); });
}

int smoothSplines(CurveSet& set)
{
    const int edited = forSelectedThenCurrent(set, [](Curve& c) { smooth(c); });
    selectionBox(set);
    selectionHull(set);
    return edited;
}
