// The named drawing behind GL_SELECT picking: which items carry which name depends on the
// viewer's mouse mode and on what the pick is for.
#include "curve_drawing.h"

#include "curve_gl_state.h"
#include "curve_set.h"
#include "pick_names.h"

namespace {

void curvesByIndex(const CurveSet& set)
{
    const int n = curvegl::curveCount(set);
    for (int i = 0; i < n; ++i) {
        glLoadName(curvePickName(i));
        drawCurve(set.curves[i]);
    }
}

void multiSelection(const CurveSet& set, PickPurpose purpose)
{
    if (purpose == PickPurpose::Menu)
        return;
    if (purpose != PickPurpose::Press) {
        curvesByIndex(set);
        return;
    }
    glLoadName(kPickNameNothing);
    curvegl::forEachCurve(set, [](const Curve& c) {
        if (!c.selected)
            drawCurve(c);
    });
    glLoadName(kPickNameBox);
    drawSelectionBox(set);
    for (int i : set.selection)
        if (curvegl::isCurveIndex(set, i))
            drawCurve(set.curves[i]);
}

void currentCurveItems(const CurveSet& set, ManipulationMode mode, PickPurpose purpose)
{
    const bool attributes = mode == ModeModifAttrib || mode == ModeBucket;
    if (mode != ModeMovePoint && !attributes)
        return;
    const int n = curvegl::curveCount(set);
    const Curve& current = set.curves[set.current_curve];

    glLoadName(kPickNameNothing);
    for (int i = 0; i < n; ++i)
        if (i != set.current_curve)
            drawCurve(set.curves[i]);
    glLoadName(kPickNameBox);
    drawBoundingBox(current);
    if (purpose == PickPurpose::Press) {
        glLoadName(kPickNameBody);
        drawCurve(current);
    } else {
        drawSampleNames(current);
    }
    if (attributes)
        drawAttributePoints(current, purpose == PickPurpose::Press);
    else
        drawControlPoints(current);
}

} // namespace

void drawForPicking(const CurveSet& set, ManipulationMode mode, PickPurpose what)
{
    if (static_cast<int>(what) < 0 || static_cast<int>(what) > 3)
        return;
    if (mode == ModeSelectMulti) {
        multiSelection(set, what);
        return;
    }
    const bool pointModes = mode == ModeMovePoint || mode == ModeSelectCurve
                            || mode == ModeModifAttrib || mode == ModeBucket;
    if (!pointModes)
        return;
    if (curvegl::isCurveIndex(set, set.current_curve))
        currentCurveItems(set, mode, what);
    else
        curvesByIndex(set);
}
