// Picking through the grid of curve bodies (curve_pick_index.h) gives what the GL selection
// pass gives, item for item and in the same order, for every mode and purpose that names
// items, at several views; and a click a few pixels beside a curve picks it at every zoom.
#include "curve_geometry.h"
#include "curve_pick_index.h"

#include "test_drawing_support.h"

#include "random_drawing.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace drawingtest;

namespace {

class PickIndexTest : public DrawingTest {
protected:
    PickQuery query(ManipulationMode mode, PickPurpose purpose, const View& view, double x,
                    double y, double region) const
    {
        PickQuery q;
        q.mode = mode;
        q.purpose = purpose;
        q.view = view;
        q.x = x;
        q.y = y;
        q.region = region;
        q.setViewport(0, 0, kSize, kSize);
        return q;
    }

    // Compares both pickers at window points around the drawing's samples and its current
    // curve's points (where items are) and at random points; returns how many picks hit.
    int expectSameAnswers(const CurveSet& set, ManipulationMode mode, PickPurpose purpose,
                          const View& view, unsigned seed, double region = 5.0)
    {
        std::vector<Point> canvasPoints;
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> jitter(-0.02, 0.02);
        std::uniform_real_distribution<double> anywhere(-1.0, 1.0);
        for (int i = 0; i < set.nb_curves; i += 7)
            for (const std::vector<Point>& polyline : segmentPolylines(set.curves[i]))
                canvasPoints.push_back(polyline[5] + Point(jitter(random), jitter(random)));
        if (set.current_curve >= 0) {
            const Curve& c = set.curves[set.current_curve];
            for (const Point& p : c.control_points)
                canvasPoints.push_back(p + Point(0.3 * jitter(random), 0.3 * jitter(random)));
            for (int g : c.left_color_ids) {
                Point p, n;
                if (attributePointFrame(c, g, p, n))
                    canvasPoints.push_back(p + n * (2.0 * curveRenderingSettings().handleSize));
            }
        }
        for (int i = 0; i < 40; ++i)
            canvasPoints.push_back({anywhere(random), anywhere(random)});

        int hits = 0;
        for (const Point& c : canvasPoints) {
            const Point ndc = view.canvasToNdc(c);
            const PickQuery q = query(mode, purpose, view, (ndc.x + 1.0) * 0.5 * kSize,
                                      (ndc.y + 1.0) * 0.5 * kSize, region);
            const PickHits gl = pickCurveSet(set, q);
            const PickHits cpu = pickCurveSetIndexed(set, index, q);
            EXPECT_EQ(cpu.names, gl.names)
                << "mode " << mode << ", purpose " << int(purpose) << ", zoom " << view.zoom
                << " at canvas (" << c.x << ", " << c.y << ")";
            hits += gl.empty() ? 0 : 1;
        }
        return hits;
    }

    CurvePickIndex index;
};

} // namespace

TEST_F(PickIndexTest, SameItemsInTheSameOrderAsTheSelectionPassInEveryModeAndView)
{
    CurveSet set = makeRandomDrawing(120, 31u);
    set.curves[7].lifetime = -5; // below the threshold: never picked
    setLifetimeThreshold(0);
    const View views[] = {View(), View{3.0, Point(-0.2, 0.1)}, View{0.5, Point(0.3, -0.2)}};
    int hits = 0;
    for (const View& view : views) {
        set.setCurrentCurve(-1);
        hits += expectSameAnswers(set, ModeMovePoint, PickPurpose::Press, view, 1u);
        hits += expectSameAnswers(set, ModeSelectCurve, PickPurpose::Press, view, 2u, 20.0);
        set.setCurrentCurve(25);
        for (PickPurpose purpose : {PickPurpose::Press, PickPurpose::Menu})
            for (ManipulationMode mode : {ModeMovePoint, ModeModifAttrib})
                hits += expectSameAnswers(set, mode, purpose, view, 3u);
        set.setCurrentCurve(-1);
        set.selection = {3, 40, 41};
        for (int i : set.selection)
            set.curves[i].selected = true;
        set.selection_min = Point(-0.3, -0.3);
        set.selection_max = Point(0.1, 0.2);
        for (PickPurpose purpose : {PickPurpose::Press, PickPurpose::Toggle, PickPurpose::Scribble})
            hits += expectSameAnswers(set, ModeSelectMulti, purpose, view, 4u);
        set.selection.clear();
        for (Curve& c : set.curves)
            c.selected = false;
    }
    EXPECT_GT(hits, 200) << "the points must reach the items";

    // The index follows an edit: a moved curve is found where it lies now.
    set.curves[60].control_points[0] = Point(0.95, 0.95);
    set.curves[60].updateBoundingBox();
    hits = expectSameAnswers(set, ModeMovePoint, PickPurpose::Press, View(), 5u);
    EXPECT_GT(hits, 0);
    set.removeCurve(10);
    expectSameAnswers(set, ModeMovePoint, PickPurpose::Press, View(), 6u);
}

TEST_F(PickIndexTest, AClickFourPixelsBesideACurvePicksItAtEveryZoom)
{
    const CurveSet set = setOf({straightCurve({-0.5, 0.0}, {0.5, 0.0}, Qt::red, Qt::blue)});
    for (double zoom : {0.5, 1.0, 4.0}) {
        const View view{zoom, Point()};
        const double y = 0.5 * kSize; // the curve's row in window pixels
        const auto picked = [&](double pixelsAbove) {
            const PickQuery q = query(ModeMovePoint, PickPurpose::Press, view, 0.5 * kSize,
                                      y + pixelsAbove, kClickPickEdge);
            const PickHits hits = pickCurveSetIndexed(set, index, q);
            return !hits.empty() && hits.first().kind == PickKind::Curve && hits.first().curve == 0;
        };
        EXPECT_TRUE(picked(4.0)) << "zoom " << zoom;
        EXPECT_TRUE(picked(-4.0)) << "zoom " << zoom;
        EXPECT_FALSE(picked(6.0)) << "zoom " << zoom;
    }
}

TEST(CurvePickIndex, ListsACurveInTheCellsItsBodySpansAndFollowsItsMoves)
{
    CurveSet set = makeRandomDrawing(50, 8u);
    CurvePickIndex index;
    index.sync(set);
    // Every curve is near its own body's box, and a far corner holds none of them.
    for (int i = 0; i < 50; ++i) {
        const Point p = set.curves[i].control_points[0];
        const std::vector<int> near = index.curvesNear({p.x, p.y, p.x, p.y});
        EXPECT_TRUE(std::binary_search(near.begin(), near.end(), i)) << i;
    }
    const Curve far = set.curves[9];
    for (Point& p : set.curves[9].control_points)
        p = p + Point(5.0, 5.0); // off the canvas: in the top right cell
    index.sync(set);
    const std::vector<int> topRight = index.curvesNear({0.99, 0.99, 6.0, 6.0});
    EXPECT_TRUE(std::binary_search(topRight.begin(), topRight.end(), 9));
    const Point old = far.control_points[0];
    const std::vector<int> before = index.curvesNear({old.x, old.y, old.x, old.y});
    EXPECT_FALSE(std::binary_search(before.begin(), before.end(), 9));
}
