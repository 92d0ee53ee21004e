// The overlay kept between frames (CurveOverlayCache) draws what the overlay made afresh
// draws, makes again only the lines of curves that changed, and thins a dense drawing when
// asked.
#include "overlay_curves.h"
#include "overlay_drawing.h"

#include "test_drawing_support.h"

#include "random_drawing.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace drawingtest;

namespace {

// lines() then handles() of the cache as one mesh.
CoverageMesh joined(const CurveOverlayCache& cache)
{
    CoverageMesh all;
    all.append(cache.lines());
    all.append(cache.handles());
    return all;
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

const WindowMapping kMapping{256.0, 256.0, 256.0, 256.0}; // the whole canvas in 512 pixels

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

    for (int step = 1; step <= 3; ++step) {
        for (Point& p : set.curves[30].control_points)
            p = p + Point(0.01, -0.005);
        cache.update(set, kMapping, {});
        EXPECT_EQ(cache.rebuiltLines(), 1) << "step " << step;
        expectSameMesh(joined(cache), curveOverlayMesh(set, kMapping), "drag");
    }
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
    expectSameMesh(cache.lines(), selectedLines, "the selected curves' lines alone");
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
    expectSameMesh(cache.lines(), withHovered, "the selected and the hovered curves' lines");
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

TEST_F(OverlayCacheDrawingTest, KeptOverlayDrawsTheSamePixels)
{
    CurveSet set = makeRandomDrawing(60, 14u);
    set.setCurrentCurve(8);
    CurveOverlayCache cache;
    const View view{1.5, Point(0.1, -0.05)};
    const auto frame = [&](bool kept) {
        canvas->bind();
        canvas->clear(0.3f, 0.6f, 0.9f, 1.0f);
        if (kept)
            drawCurvesInView(set, view, cache);
        else
            drawCurvesInView(set, view);
        return canvas->image();
    };
    frame(true);
    for (Point& p : set.curves[20].control_points)
        p = p + Point(-0.02, 0.01);
    const std::vector<Rgba> kept = frame(true);
    const std::vector<Rgba> fresh = frame(false);
    ASSERT_EQ(kept.size(), fresh.size());
    EXPECT_EQ(std::memcmp(kept.data(), fresh.data(), kept.size() * sizeof(Rgba)), 0);
    EXPECT_GT(canvas->countDifferent({0.3f, 0.6f, 0.9f, 1.0f}), 1000) << "curves were drawn";
}
