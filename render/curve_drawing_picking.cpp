// The named drawing behind GL_SELECT picking: which items carry which name depends on the
// viewer's mouse mode and on what the pick is for.
#include "curve_drawing.h"

#include "curve_gl_state.h"
#include "curve_set.h"

namespace {

// Mouse modes (the viewer's ManipulationMode values) that pick.
constexpr int kModeMovePoint = 0;
constexpr int kModeSelectCurve = 1;
constexpr int kModeModifAttrib = 2;
constexpr int kModeSelectMulti = 3;
constexpr int kModeBucket = 8;

// Pick purposes.
constexpr int kPurposePress = 0;
constexpr int kPurposeMenu = 1;

// Names given while a curve is current.
constexpr GLuint kNameOther = 0;
constexpr GLuint kNameBox = 1;
constexpr GLuint kNameBody = 2;

void curvesByIndex(const CurveSet& set)
{
    const int n = curvegl::curveCount(set);
    for (int i = 0; i < n; ++i) {
        glLoadName(static_cast<GLuint>(i));
        drawCurve(set.curves[i]);
    }
}

void multiSelection(const CurveSet& set, int purpose)
{
    if (purpose == kPurposeMenu)
        return;
    if (purpose != kPurposePress) {
        curvesByIndex(set);
        return;
    }
    glLoadName(kNameOther);
    curvegl::forEachCurve(set, [](const Curve& c) {
        if (!c.selected)
            drawCurve(c);
    });
    glLoadName(kNameBox);
    drawSelectionBox(set);
    for (int i : set.selection)
        if (curvegl::isCurveIndex(set, i))
            drawCurve(set.curves[i]);
}

void currentCurveItems(const CurveSet& set, int mode, int purpose)
{
    const bool attributes = mode == kModeModifAttrib || mode == kModeBucket;
    if (mode != kModeMovePoint && !attributes)
        return;
    const int n = curvegl::curveCount(set);
    const Curve& current = set.curves[set.current_curve];

    glLoadName(kNameOther);
    for (int i = 0; i < n; ++i)
        if (i != set.current_curve)
            drawCurve(set.curves[i]);
    glLoadName(kNameBox);
    drawBoundingBox(current);
    if (purpose == kPurposePress) {
        glLoadName(kNameBody);
        drawCurve(current);
    } else {
        drawSampleNames(current);
    }
    if (attributes)
        drawAttributePoints(current, purpose == kPurposePress);
    else
        drawControlPoints(current);
}

} // namespace

void drawForPicking(const CurveSet& set, int mode, int purpose)
{
    if (purpose < 0 || purpose > 3)
        return;
    if (mode == kModeSelectMulti) {
        multiSelection(set, purpose);
        return;
    }
    const bool pointModes = mode == kModeMovePoint || mode == kModeSelectCurve ||
                            mode == kModeModifAttrib || mode == kModeBucket;
    if (!pointModes)
        return;
    if (curvegl::isCurveIndex(set, set.current_curve))
        currentCurveItems(set, mode, purpose);
    else
        curvesByIndex(set);
}
