// Work only where the drawing changed: the per-curve geometry kept between frames (checked
// without a context) and region redraws of the solver's gradient, divergence and constraint
// images, compared byte for byte with whole redraws of the same drawing.
#include "test_solver_support.h"

#include "curve_geometry_cache.h"
#include "curve_transforms.h"
#include "solver_gl.h"

#include "random_drawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace solvertest;

namespace {

// Moves every control point of curve i of `set` by (dx, dy).
void moveCurve(CurveSet& set, int i, double dx, double dy)
{
    Curve& c = set.curves[i];
    for (Point& p : c.control_points)
        p = p + Point(dx, dy);
    c.updateBoundingBox();
}

template <typename Packed>
std::vector<Packed> runOf(const VertexBatch<Packed>& batch, int i)
{
    return {batch.vertices.begin() + batch.firsts[i],
            batch.vertices.begin() + batch.firsts[i] + batch.counts[i]};
}

template <typename Packed>
bool sameBytes(const std::vector<Packed>& a, const std::vector<Packed>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Packed)) == 0;
}

// The cache's batches hold, curve by curve, exactly what a fresh cache makes of the set.
void expectCacheMatchesFreshBuild(const CurveGeometryCache& cache, const CurveSet& set)
{
    CurveGeometryCache fresh;
    fresh.sync(set);
    ASSERT_EQ(cache.curveCount(), fresh.curveCount());
    for (int i = 0; i < fresh.curveCount(); ++i) {
        EXPECT_TRUE(sameBytes(runOf(cache.gradientPairs(), i), runOf(fresh.gradientPairs(), i)))
            << "gradient of curve " << i;
        EXPECT_TRUE(
            sameBytes(runOf(cache.constraintStrips(), i), runOf(fresh.constraintStrips(), i)))
            << "strip of curve " << i;
        EXPECT_TRUE(sameBytes(runOf(cache.blurStrips(), i), runOf(fresh.blurStrips(), i)))
            << "blur of curve " << i;
    }
}

} // namespace

TEST(CurveGeometryCache, RebuildsOnlyTheCurvesAnEditTouchedAndReportsTheirOldAndNewExtent)
{
    curveRenderingSettings() = CurveRenderingSettings{};
    CurveSet set = makeRandomDrawing(60, 7u);
    CurveGeometryCache cache;
    const CurveGeometryCache::Change first = cache.sync(set);
    EXPECT_TRUE(first.everything);
    EXPECT_EQ(cache.curveCount(), 60);
    EXPECT_TRUE(cache.sync(set).isEmpty()) << "nothing changed";

    // One curve moved: only it is rebuilt, and the change spans where it was and where it is.
    const CanvasRect before = cache.extentOf(17);
    moveCurve(set, 17, 0.3, -0.2);
    const CurveGeometryCache::Change moved = cache.sync(set);
    EXPECT_EQ(moved.changedCurves, 1);
    EXPECT_FALSE(moved.everything);
    const CanvasRect after = cache.extentOf(17);
    EXPECT_NEAR(after.minX - before.minX, 0.3, 1e-6);
    EXPECT_NEAR(after.maxY - before.maxY, -0.2, 1e-6);
    CanvasRect both = before;
    both.unite(after);
    EXPECT_EQ(moved.extent.minX, both.minX);
    EXPECT_EQ(moved.extent.minY, both.minY);
    EXPECT_EQ(moved.extent.maxX, both.maxX);
    EXPECT_EQ(moved.extent.maxY, both.maxY);
    expectCacheMatchesFreshBuild(cache, set);

    // A colour edit changes the vertices but not the extent.
    set.curves[3].setLeftColorOf(QColor(1, 2, 3), 0);
    const CurveGeometryCache::Change recoloured = cache.sync(set);
    EXPECT_EQ(recoloured.changedCurves, 1);
    EXPECT_EQ(recoloured.extent.minX, cache.extentOf(3).minX);
    expectCacheMatchesFreshBuild(cache, set);

    // A curve removed from the middle and one added: the others keep their entries.
    const CanvasRect removedExtent = cache.extentOf(30);
    set.removeCurve(30);
    const CurveGeometryCache::Change removed = cache.sync(set);
    EXPECT_EQ(removed.changedCurves, 1);
    EXPECT_EQ(removed.extent.maxX, removedExtent.maxX);
    EXPECT_EQ(cache.curveCount(), 59);
    set.addCurve(makeRandomDrawing(1, 99u).curves[0]);
    EXPECT_EQ(cache.sync(set).changedCurves, 1);
    expectCacheMatchesFreshBuild(cache, set);

    // An explicit invalidation rebuilds the curve although it compares equal.
    cache.invalidate(5);
    EXPECT_EQ(cache.sync(set).changedCurves, 1);

    // The strip width and the lifetime threshold are the cache's settings: all afresh.
    curveRenderingSettings().pixelSize = 2.0 / kSize;
    EXPECT_TRUE(cache.sync(set).everything);
    expectCacheMatchesFreshBuild(cache, set);
    curveRenderingSettings().lifetimeThreshold = 1000;
    EXPECT_TRUE(cache.sync(set).everything);
    EXPECT_TRUE(cache.curvesMeeting(nullptr).empty()) << "no curve is old enough";
    curveRenderingSettings() = CurveRenderingSettings{};
}

TEST(CanvasRect, PixelsCoveringGrowByTheMarginAndStayInTheImage)
{
    const CanvasRect rect{-0.5, -0.5, 0.0, 0.25};
    const PixelRect pixels = pixelsCovering(rect, View(), 512, 512, 1);
    EXPECT_EQ(pixels.x, 127); // column 128 holds -0.5
    EXPECT_EQ(pixels.y, 127);
    EXPECT_EQ(pixels.x + pixels.width, 258);  // column 256 holds 0.0
    EXPECT_EQ(pixels.y + pixels.height, 322); // row 320 holds 0.25
    const PixelRect zoomed = pixelsCovering(rect, View{2.0, Point(0.5, 0.0)}, 512, 512, 0);
    EXPECT_EQ(zoomed.x, 256);
    EXPECT_EQ(zoomed.x + zoomed.width, 512) << "clipped at the image's edge";
    EXPECT_TRUE(pixelsCovering({3.0, 3.0, 4.0, 4.0}, View(), 512, 512, 1).isEmpty());
    EXPECT_TRUE(pixelsCovering(CanvasRect(), View(), 512, 512, 1).isEmpty());
}

namespace {

// The level-0 images the rasteriser draws, read back.
struct Rasterised {
    std::vector<float> gradientX, gradientY, divergence, colorConstraints, blurConstraints;
};

class RegionRedrawTest : public SolverTest {
protected:
    // Every rasterising pass at `v`, with `dirty` (see SolverRasteriser), and the images.
    Rasterised rasterise(const View& v, const CanvasRect* dirty = nullptr)
    {
        SolverRasteriser& r = solver->rasteriser();
        r.buildDivergencePyramid(v, dirty);
        r.buildColorConstraints(v, false, dirty);
        r.buildBlurConstraints(v, dirty);
        const SolverImages& images = solver->images();
        return {images.readImage(SolverImage::GradientX, 0),
                images.readImage(SolverImage::GradientY, 0),
                images.readImage(SolverImage::Divergence, 0),
                images.readImage(SolverImage::ColorConstraints, 0),
                images.readImage(SolverImage::BlurConstraints, 0)};
    }
    // The same drawn whole, from scratch.
    Rasterised rasteriseWhole(const View& v)
    {
        const bool region = solver->rasteriser().regionRedraws();
        solver->rasteriser().setRegionRedraws(false);
        Rasterised whole = rasterise(v);
        solver->rasteriser().setRegionRedraws(region);
        return whole;
    }

    // Pixels (of kSize x kSize RGBA floats) whose bytes differ, with the first one named.
    static std::string differences(const std::vector<float>& a, const std::vector<float>& b)
    {
        if (a.size() != b.size())
            return "sizes differ";
        int count = 0;
        std::ostringstream first;
        for (size_t p = 0; p < a.size() / 4; ++p)
            if (std::memcmp(&a[4 * p], &b[4 * p], 4 * sizeof(float)) != 0) {
                if (count++ == 0)
                    first << " first at (" << p % kSize << ", " << p / kSize << "): " << a[4 * p]
                          << " vs " << b[4 * p];
            }
        return count == 0 ? std::string() : std::to_string(count) + " pixels differ;" + first.str();
    }
    static void expectSameImages(const Rasterised& region, const Rasterised& whole,
                                 const std::string& what)
    {
        EXPECT_EQ(differences(region.gradientX, whole.gradientX), "") << what << ": gradient x";
        EXPECT_EQ(differences(region.gradientY, whole.gradientY), "") << what << ": gradient y";
        EXPECT_EQ(differences(region.divergence, whole.divergence), "") << what << ": divergence";
        EXPECT_EQ(differences(region.colorConstraints, whole.colorConstraints), "")
            << what << ": colour constraints";
        EXPECT_EQ(differences(region.blurConstraints, whole.blurConstraints), "")
            << what << ": blur constraints";
    }

    // Moves curve i by (dx, dy) and compares the region redraw with a whole one, with the dirty
    // rectangle given by the caller (the cache's change) and found by the rasteriser itself.
    void expectRegionRedrawIsWholeRedraw(const View& v, int i, double dx, double dy,
                                         const std::string& what)
    {
        SolverRasteriser& r = solver->rasteriser();
        r.setRegionRedraws(false);
        const Rasterised old = rasterise(v);
        moveCurve(drawing, i, dx, dy);
        const CurveGeometryCache::Change change = r.geometry().sync(drawing);
        ASSERT_EQ(change.changedCurves, 1);
        const Rasterised region = rasterise(v, &change.extent);
        const Rasterised whole = rasteriseWhole(v);
        expectSameImages(region, whole, what + ", given rectangle");
        EXPECT_NE(differences(old.colorConstraints, whole.colorConstraints), "")
            << what << ": the move must change the constraints";

        // Back again, the rectangle found by the rasteriser.
        r.setRegionRedraws(true);
        rasterise(v); // whole: the images are not known yet
        moveCurve(drawing, i, -dx, -dy);
        const Rasterised back = rasterise(v);
        expectSameImages(back, rasteriseWhole(v), what + ", found rectangle");
        expectSameImages(back, old, what + ", moved back");
    }
};

} // namespace

TEST_F(RegionRedrawTest, MovingOneCurveGivesTheWholeRedrawsImagesAtEveryView)
{
    drawing = makeRandomDrawing(150, 4242u);
    solver->setCurveSet(drawing);
    expectRegionRedrawIsWholeRedraw(View(), 37, 0.021, -0.013, "small move");
    expectRegionRedrawIsWholeRedraw(View(), 80, 1.1, -0.9, "across the canvas");
    // Half outside the canvas: the rectangle is clipped to the image.
    expectRegionRedrawIsWholeRedraw(View(), 5, -0.9 - drawing.curves[5].bbox_min.x, 0.05,
                                    "to the left edge");
    expectRegionRedrawIsWholeRedraw(View{2.5, Point(0.2, -0.1)}, 120, 0.03, 0.02, "zoomed in");
    expectRegionRedrawIsWholeRedraw(View{0.6, Point(-0.3, 0.25)}, 64, -0.2, 0.1, "zoomed out");
    // A curve mostly outside a zoomed window, moved into it.
    expectRegionRedrawIsWholeRedraw(
        View{3.0, Point(-0.4, -0.4)}, 99,
        0.4 - 0.5 * (drawing.curves[99].bbox_min.x + drawing.curves[99].bbox_max.x),
        0.4 - 0.5 * (drawing.curves[99].bbox_min.y + drawing.curves[99].bbox_max.y),
        "into a zoomed window");
}

TEST_F(RegionRedrawTest, DragsAddsRemovalsAndRecolouringFoundByTheRasteriserMatchWholeRedraws)
{
    drawing = makeRandomDrawing(100, 99u);
    solver->setCurveSet(drawing);
    SolverRasteriser& r = solver->rasteriser();
    r.setRegionRedraws(true);
    const View v{1.5, Point(0.1, 0.05)};
    rasterise(v);
    // A drag of ten steps: every frame is a region redraw of the previous one.
    for (int step = 0; step < 10; ++step) {
        moveCurve(drawing, 42, 0.013 * step, -0.007 * step);
        expectSameImages(rasterise(v), rasteriseWhole(v), "drag step " + std::to_string(step));
    }
    drawing.curves[10].setRightColorOf(QColor(250, 3, 90), 1);
    drawing.curves[11].setBlurOf(9, 0);
    expectSameImages(rasterise(v), rasteriseWhole(v), "recoloured");
    drawing.removeCurve(50);
    expectSameImages(rasterise(v), rasteriseWhole(v), "removed");
    drawing.addCurve(makeRandomDrawing(1, 5u).curves[0]);
    expectSameImages(rasterise(v), rasteriseWhole(v), "added");
    // Another view: the images hold the old one, so the pass is whole, and right.
    expectSameImages(rasterise(View()), rasteriseWhole(View()), "view changed");
}

// A region redraw keeps every pixel outside its rectangle: a mark written far from the moved
// curve survives it (and a whole redraw wipes it).
TEST_F(RegionRedrawTest, PixelsOutsideTheRectangleAreNotRedrawn)
{
    drawing.addCurve(straightCurve({-0.8, -0.8}, {-0.6, -0.8}, Qt::red, Qt::blue));
    drawing.addCurve(straightCurve({0.5, 0.5}, {0.7, 0.6}, Qt::green, Qt::white));
    solver->setCurveSet(drawing);
    SolverRasteriser& r = solver->rasteriser();
    r.setRegionRedraws(true);
    rasterise(View());
    // Mark the pixels around (0.6, -0.6) in the colour constraints.
    solvergl::beginPasses();
    solver->images().pyramid[0].colorConstraints.bindAsTarget();
    glEnable(GL_SCISSOR_TEST);
    glScissor(400, 100, 4, 4);
    glClearColor(1.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    solver->images().leavePasses();

    moveCurve(drawing, 1, 0.01, 0.0);
    const Rasterised region = rasterise(View());
    const auto markAlpha = [](const Rasterised& images) {
        return images.colorConstraints[(size_t(101) * kSize + 401) * 4 + 3];
    };
    EXPECT_EQ(markAlpha(region), 1.0f) << "the mark outside the moved curve's rectangle stays";
    EXPECT_EQ(markAlpha(rasteriseWhole(View())), 0.0f);
}

TEST_F(RegionRedrawTest, AnEmptyRectangleRedrawsNothingAndNoDrawingClearsTheImages)
{
    drawing = makeRandomDrawing(20, 3u);
    solver->setCurveSet(drawing);
    const Rasterised whole = rasterise(View());
    const CanvasRect nothing;
    moveCurve(drawing, 0, 0.5, 0.5);
    expectSameImages(rasterise(View(), &nothing), whole, "empty rectangle");

    CurveSet none;
    solver->setCurveSet(none);
    const Rasterised cleared = rasterise(View());
    EXPECT_EQ(std::count(cleared.colorConstraints.begin(), cleared.colorConstraints.end(), 0.0f),
              long(cleared.colorConstraints.size()));
}

// The editor's drag frames rebuild the multigrid's operators only where the constraints changed:
// each frame's picture is byte for byte the one that whole rebuilds give, for small moves and a
// jump across the canvas, after a solve that used the operators for another problem and after a
// first estimate, which uses their images.
TEST_F(RegionRedrawTest, DragFramesGiveThePicturesOfWholeOperatorBuilds)
{
    const CurveSet start = makeRandomDrawing(100, 77u);
    const auto dragFrames = [&](bool regions) {
        drawing = start;
        solver->setCurveSet(drawing);
        solver->rasteriser().setRegionRedraws(regions);
        solver->fullUpdate();
        std::vector<std::vector<float>> frames;
        const Point moves[] = {{0.02, -0.01}, {0.015, 0.01}, {-0.9, 0.7}, {0.01, 0.0}, {0.0, 0.01}};
        for (const Point& move : moves) {
            moveCurve(drawing, 42, move.x, move.y);
            solver->beginProgressiveSolve(frames.size() == 3); // the fourth from a first estimate
            solver->progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
            frames.push_back(solver->images().readImage(SolverImage::ColorSolution, 0));
            if (frames.size() == 2)
                solver->fullUpdate(); // the operators of a whole solve in between
        }
        return frames;
    };
    const std::vector<std::vector<float>> inBlocks = dragFrames(true), whole = dragFrames(false);
    for (size_t f = 0; f < whole.size(); ++f)
        EXPECT_EQ(differences(inBlocks[f], whole[f]), "") << "frame " << f + 1;
}
