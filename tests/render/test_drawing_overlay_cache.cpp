// The overlay kept between frames (CurveOverlayCache) draws what the overlay made afresh
// draws, makes again only the lines of curves that changed, and thins a dense drawing when
// asked.
#include "overlay_curves.h"
#include "overlay_drawing.h"
#include "overlay_layer.h"

#include "test_drawing_support.h"

#include "random_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace drawingtest;

namespace {

const WindowMapping kMapping{256.0, 256.0, 256.0, 256.0}; // the whole canvas in 512 pixels

// The kept lines, the live lines, then the handles of the cache as one mesh.
CoverageMesh joined(const CurveOverlayCache& cache)
{
    CoverageMesh all;
    all.append(cache.keptLines());
    all.append(cache.liveLines());
    all.append(cache.handles());
    return all;
}

// The lines alone of the curves `indices` of `set`, in that order.
CoverageMesh linesOf(const CurveSet& set, std::initializer_list<int> indices)
{
    CurveSet some;
    for (int i : indices)
        some.addCurve(set.curves[i]);
    some.setCurrentCurve(-1);
    return curveOverlayMesh(some, kMapping);
}

void expectSameMesh(const CoverageMesh& a, const CoverageMesh& b, const char* what)
{
    ASSERT_EQ(a.vertices().size(), b.vertices().size()) << what;
    EXPECT_EQ(std::memcmp(a.vertices().data(), b.vertices().data(),
                          a.vertices().size() * sizeof(PackedCoverageVertex)),
              0)
        << what;
    EXPECT_EQ(a.indices(), b.indices()) << what;
}

} // namespace

TEST(CurveOverlayCache, KeptLinesGiveTheFreshMeshAndOnlyChangedCurvesAreRemade)
{
    curveRenderingSettings() = CurveRenderingSettings{};
    CurveSet set = makeRandomDrawing(80, 12u);
    set.setCurrentCurve(4);
    CurveOverlayCache cache;
    cache.update(set, kMapping, {});
    EXPECT_EQ(cache.rebuiltLines(), 80);
    expectSameMesh(joined(cache), curveOverlayMesh(set, kMapping), "first frame");

    EXPECT_TRUE(cache.liveLines().empty());

    // A drag: the first move takes the curve out of the kept lines, the next ones leave those.
    CurveSet others = set;
    others.removeCurve(30);
    const int firstVersion = cache.keptVersion();
    for (int step = 1; step <= 3; ++step) {
        for (Point& p : set.curves[30].control_points)
            p = p + Point(0.01, -0.005);
        cache.update(set, kMapping, {});
        EXPECT_EQ(cache.rebuiltLines(), 1) << "step " << step;
        EXPECT_EQ(cache.keptVersion(), firstVersion + 1) << "step " << step;
        expectSameMesh(cache.liveLines(), linesOf(set, {30}), "the moving curve");
    }
    others.setCurrentCurve(-1);
    expectSameMesh(cache.keptLines(), curveOverlayMesh(others, kMapping), "the others");
    // Another curve moves: the first one goes back into the kept lines.
    for (Point& p : set.curves[50].control_points)
        p = p + Point(0.01, 0.0);
    cache.update(set, kMapping, {});
    expectSameMesh(cache.liveLines(), linesOf(set, {50}), "the next moving curve");
    EXPECT_EQ(cache.keptVersion(), firstVersion + 2);

    set.removeCurve(2);
    cache.update(set, kMapping, {});
    expectSameMesh(joined(cache), curveOverlayMesh(set, kMapping), "removed");

    const WindowMapping zoomed{512.0, 512.0, 300.0, 200.0};
    cache.update(set, zoomed, {});
    EXPECT_EQ(cache.rebuiltLines(), set.nb_curves) << "a new view makes every line again";
    expectSameMesh(joined(cache), curveOverlayMesh(set, zoomed), "zoomed");
}

TEST(CurveOverlayCache, ADenseDrawingShowsOnlyTheSelectedLinesAndFewHandles)
{
    curveRenderingSettings() = CurveRenderingSettings{};
    CurveSet set = makeRandomDrawing(40, 13u);
    set.setCurrentCurve(-1);
    for (int i : {3, 9, 17}) {
        set.selection.append(i);
        set.curves[i].selected = true;
    }
    set.selection_min = Point(-0.5, -0.5);
    set.selection_max = Point(0.5, 0.5);

    OverlayOptions thin;
    thin.lines = OverlayOptions::Lines::SelectedOnly;
    CurveOverlayCache cache;
    cache.update(set, kMapping, thin);
    CoverageMesh selectedLines;
    for (int i : {3, 9, 17}) {
        CurveSet one;
        one.addCurve(set.curves[i]);
        one.setCurrentCurve(-1);
        selectedLines.append(curveOverlayMesh(one, kMapping));
    }
    expectSameMesh(cache.keptLines(), selectedLines, "the selected curves' lines alone");
    expectSameMesh(joined(cache), curveOverlayMesh(set, kMapping, thin), "thin");

    // The curve under the pointer shows its line too, after the selected ones in index order.
    thin.hoveredCurve = 5;
    cache.update(set, kMapping, thin);
    CoverageMesh withHovered;
    for (int i : {3, 5, 9, 17}) {
        CurveSet one;
        one.addCurve(set.curves[i]);
        one.setCurrentCurve(-1);
        withHovered.append(curveOverlayMesh(one, kMapping));
    }
    expectSameMesh(cache.keptLines(), withHovered, "the selected and the hovered curves' lines");
    EXPECT_TRUE(cache.liveLines().empty());
    thin.hoveredCurve = -1;

    // Handles of a selection larger than the limit: only the selection box.
    OverlayOptions fewHandles;
    fewHandles.maxSelectedWithHandles = 2;
    const CoverageMesh withHandles = curveOverlayMesh(set, kMapping);
    const CoverageMesh boxOnly = curveOverlayMesh(set, kMapping, fewHandles);
    CurveSet none = set;
    none.selection.clear();
    const CoverageMesh lines = curveOverlayMesh(none, kMapping);
    EXPECT_GT(boxOnly.vertices().size(), lines.vertices().size()) << "the box is drawn";
    EXPECT_GT(withHandles.vertices().size(), boxOnly.vertices().size() + 3 * 8)
        << "three curves' crosses and handles are left out";
}

class OverlayCacheDrawingTest : public DrawingTest {};

TEST(CurveOverlayCache, OtherLayersAreFadedAndHiddenLayersLeftOut)
{
    curveRenderingSettings() = CurveRenderingSettings{};
    CurveSet set = makeRandomDrawing(9, 14u);
    set.setCurrentCurve(-1);
    set.layers = {Layer{"Back"}, Layer{"Hidden"}, Layer{"Edited"}};
    for (Layer& layer : set.layers)
        layer.curveCount = 3;
    set.layers[1].visible = false;
    OverlayOptions options;
    options.editable = set.layerRange(2);
    CurveOverlayCache cache;
    cache.update(set, kMapping, options);
    const CoverageMesh mesh = curveOverlayMesh(set, kMapping, options);
    expectSameMesh(joined(cache), mesh, "kept");

    // The hidden layer's lines are left out; the others keep their shapes, at 0.3 of their
    // opacity outside the edited layer.
    const CoverageMesh back = linesOf(set, {0, 1, 2});
    const CoverageMesh edited = linesOf(set, {6, 7, 8});
    ASSERT_EQ(mesh.vertices().size(), back.vertices().size() + edited.vertices().size());
    for (size_t v = 0; v < mesh.vertices().size(); ++v) {
        const bool faded = v < back.vertices().size();
        const PackedCoverageVertex& expected =
            faded ? back.vertices()[v] : edited.vertices()[v - back.vertices().size()];
        EXPECT_FLOAT_EQ(mesh.vertices()[v].rgba[3], (faded ? 0.3f : 1.0f) * expected.rgba[3]);
        EXPECT_EQ(mesh.vertices()[v].position[0], expected.position[0]);
    }

    // Another layer edited: the lines whose fading changed are made again.
    options.editable = set.layerRange(0);
    cache.update(set, kMapping, options);
    EXPECT_EQ(cache.rebuiltLines(), 6);
    expectSameMesh(joined(cache), curveOverlayMesh(set, kMapping, options), "another layer");
}

TEST_F(OverlayCacheDrawingTest, KeptOverlayDrawsTheSamePixels)
{
    CurveSet set = makeRandomDrawing(60, 14u);
    set.setCurrentCurve(8);
    CurveOverlayCache cache;
    OverlayLayer layer;
    const View view{1.5, Point(0.1, -0.05)};
    const auto frame = [&](bool kept) {
        canvas->bind();
        canvas->clear(0.3f, 0.6f, 0.9f, 1.0f);
        glViewport(40, 24, 400, 440); // a window larger than its canvas places it off the corner
        if (kept)
            drawCurvesInView(set, view, cache, layer);
        else
            drawCurvesInView(set, view);
        return canvas->image();
    };
    // The first frame, the first move (the layer made again) and a second move (only the
    // composite and the moving curve).
    for (int move = 0; move <= 2; ++move) {
        if (move > 0) {
            for (Point& p : set.curves[20].control_points)
                p = p + Point(-0.02, 0.01);
        }
        const std::vector<Rgba> kept = frame(true);
        const std::vector<Rgba> fresh = frame(false);
        ASSERT_EQ(kept.size(), fresh.size());
        // The float canvas does not round: the layer's one blend of the crossing lines and the
        // window's blend after each line agree but for the float rounding of the vertices'
        // shifted coordinates, far below a quarter of an 8-bit level.
        float largest = 0.0f;
        for (size_t i = 0; i < kept.size(); ++i)
            for (int c = 0; c < 4; ++c)
                largest = std::max(largest, std::abs(kept[i][c] - fresh[i][c]));
        EXPECT_LE(largest, 0.25f / 255.0f) << "move " << move;
        EXPECT_GT(canvas->countDifferent({0.3f, 0.6f, 0.9f, 1.0f}), 1000) << "curves were drawn";
    }
}
