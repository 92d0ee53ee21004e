// The saved part of a drawing and the change one edit makes to it: the smallest run of curves
// that differs, applied and reverted to the exact saved text, sharing the curves' arrays with
// the drawing, and leaving the selection naming existing curves.
#include "curve_set_xml.h"
#include "drawing_change.h"
#include "test_curve_set_helpers.h"
#include "curve_set_edits.h"
#include "curve_set_selection.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

using doc_test::segment;

namespace {

// Five horizontal segments, one above the other.
CurveSet fiveCurves()
{
    CurveSet set;
    for (int i = 0; i < 5; ++i)
        set.addCurve(segment(-0.5, -0.4 + 0.2 * i, 0.5, -0.3 + 0.2 * i));
    return set;
}

// Applies `edit` to `set`, checks that reverting and re-applying the change gives the exact
// saved text before and after, and returns the change.
template <typename Edit>
DrawingChange checkRoundTrip(CurveSet& set, Edit edit)
{
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    const QByteArray textBefore = writeCurveSetXml(set);
    edit(set);
    const QByteArray textAfter = writeCurveSetXml(set);
    const DrawingChange change = DrawingChange::between(before, set);
    change.revert(set);
    EXPECT_EQ(writeCurveSetXml(set), textBefore);
    EXPECT_EQ(set.nb_curves, set.curves.size());
    change.apply(set);
    EXPECT_EQ(writeCurveSetXml(set), textAfter);
    EXPECT_EQ(set.nb_curves, set.curves.size());
    return change;
}

} // namespace

TEST(DrawingChange, NothingSavedChangedGivesAnEmptyChange)
{
    CurveSet set = fiveCurves();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    // Editing state only: the current curve, the selection, a drag anchor, a selected point.
    set.setCurrentCurve(2);
    addToSelection(set, 1);
    set.curve(3).setDragAnchor(0.4, 0.4);
    set.curve(2).selectControlPoint(1);
    set.current_blur = 9;
    EXPECT_TRUE(DrawingChange::between(before, set).isEmpty());

    set.image_width = 300; // the image size is saved
    EXPECT_FALSE(DrawingChange::between(before, set).isEmpty());
}

TEST(DrawingChange, OneMovedCurveIsARunOfOne)
{
    CurveSet set = fiveCurves();
    const DrawingChange change = checkRoundTrip(set, [](CurveSet& s) {
        s.curve(2).setDragAnchor(0.0, 0.0);
        translateTo(s.curve(2), 0.1, -0.05);
    });
    EXPECT_EQ(change.firstCurve(), 2);
    EXPECT_EQ(change.curvesBefore().size(), 1);
    EXPECT_EQ(change.curvesAfter().size(), 1);
    // The step shares the moved curve's points with the drawing instead of copying them.
    EXPECT_EQ(change.curvesAfter()[0].control_points.constData(),
              set.curve(2).control_points.constData());
}

TEST(DrawingChange, RemovalsInsertionsAndClearingRoundTrip)
{
    CurveSet set = fiveCurves();
    DrawingChange removed = checkRoundTrip(set, [](CurveSet& s) { s.removeCurve(1); });
    EXPECT_EQ(removed.firstCurve(), 1);
    EXPECT_EQ(removed.curvesBefore().size(), 1);
    EXPECT_TRUE(removed.curvesAfter().isEmpty());

    DrawingChange added = checkRoundTrip(set, [](CurveSet& s) {
        s.addCurve(segment(0.0, 0.0, 0.2, 0.9));
        s.addCurve(segment(0.1, 0.0, 0.3, 0.9));
    });
    EXPECT_EQ(added.firstCurve(), 4);
    EXPECT_TRUE(added.curvesBefore().isEmpty());
    EXPECT_EQ(added.curvesAfter().size(), 2);

    checkRoundTrip(set, [](CurveSet& s) {
        clearSelection(s);
        s.clear();
    });
    checkRoundTrip(set, [](CurveSet& s) {
        s.image_width = 640;
        s.image_height = 200;
    });
    EXPECT_EQ(set.image_width, 640);
}

TEST(DrawingChange, SetWideEditsOfAScatteredSelectionRoundTrip)
{
    CurveSet set = fiveCurves();
    addToSelection(set, 0);
    addToSelection(set, 3);
    const DrawingChange change = checkRoundTrip(set, [](CurveSet& s) {
        switchColors(s);
        setGlobalBlur(s, 4);
    });
    // The run spans the first to the last changed curve.
    EXPECT_EQ(change.firstCurve(), 0);
    EXPECT_EQ(change.curvesAfter().size(), 4);
}

TEST(DrawingChange, RevertKeepsTheSelectionAndCurrentCurveOnExistingCurves)
{
    CurveSet set = fiveCurves();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    set.addCurve(segment(0.0, 0.0, 0.2, 0.9));
    set.addCurve(segment(0.1, 0.0, 0.3, 0.9));
    const DrawingChange change = DrawingChange::between(before, set);
    addToSelection(set, 1);
    addToSelection(set, 6);
    addToSelection(set, 5);
    set.setCurrentCurve(6);

    change.revert(set);
    EXPECT_EQ(set.nb_curves, 5);
    EXPECT_EQ(set.selection, QVector<int>({1}));
    EXPECT_EQ(set.current_curve, -1);
    EXPECT_TRUE(set.curve(1).isSelected());
    for (int i : {0, 2, 3, 4})
        EXPECT_FALSE(set.curve(i).isSelected());

    // Applied again, the new curves come back unselected.
    change.apply(set);
    EXPECT_EQ(set.nb_curves, 7);
    EXPECT_FALSE(set.curve(5).isSelected());
    EXPECT_FALSE(set.curve(6).isSelected());
    EXPECT_EQ(set.curve(6).selected_control_point, -1);
}

TEST(DrawingChange, ARunThatNoLongerFitsIsClampedToTheSet)
{
    CurveSet set = fiveCurves();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    set.removeCurve(4);
    set.removeCurve(3);
    const DrawingChange change = DrawingChange::between(before, set);
    // The drawing was changed behind the history's back: two curves fewer still.
    set.removeCurve(0);
    set.removeCurve(0);
    set.removeCurve(0);
    change.apply(set); // removes a run past the end: nothing to remove, no crash
    EXPECT_EQ(set.nb_curves, 0);
    change.revert(set);
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.nb_curves, set.curves.size());
}

TEST(SameDrawnCurve, ComparesSavedContentOnly)
{
    const Curve a = segment(0.0, 0.0, 1.0, 1.0);
    Curve b = a;
    b.setSelected(true);
    b.selectControlPoint(2);
    b.setDragAnchor(3.0, 3.0);
    EXPECT_TRUE(sameDrawnCurve(a, b));
    b.setBlurOf(7, 0);
    EXPECT_FALSE(sameDrawnCurve(a, b));
    Curve c = a;
    c.toggleStylized();
    EXPECT_FALSE(sameDrawnCurve(a, c));
    Curve d = a;
    d.setDefaultLeftColor(QColor(1, 2, 3));
    EXPECT_FALSE(sameDrawnCurve(a, d));
}

TEST(DrawingChange, AbsorbsTheNextEditOfTheSameRunOnly)
{
    CurveSet set = fiveCurves();
    const QByteArray start = writeCurveSetXml(set);
    DrawingSnapshot before = DrawingSnapshot::of(set);
    set.curve(2).setBlurOf(5, 0);
    DrawingChange first = DrawingChange::between(before, set);
    before = DrawingSnapshot::of(set);
    set.curve(2).setBlurOf(8, 0);
    const QByteArray both = writeCurveSetXml(set);
    ASSERT_TRUE(first.absorb(DrawingChange::between(before, set)));
    first.revert(set);
    EXPECT_EQ(writeCurveSetXml(set), start);
    first.apply(set);
    EXPECT_EQ(writeCurveSetXml(set), both);

    // Another curve's edit is another step.
    before = DrawingSnapshot::of(set);
    set.curve(4).setBlurOf(1, 0);
    EXPECT_FALSE(first.absorb(DrawingChange::between(before, set)));

    // An edit that takes the curve back makes the combined change empty.
    CurveSet other = fiveCurves();
    before = DrawingSnapshot::of(other);
    other.curve(1).setBlurOf(6, 1);
    DrawingChange there = DrawingChange::between(before, other);
    before = DrawingSnapshot::of(other);
    other.curve(1).setBlurOf(2, 1);
    ASSERT_TRUE(there.absorb(DrawingChange::between(before, other)));
    EXPECT_TRUE(there.isEmpty());
}
