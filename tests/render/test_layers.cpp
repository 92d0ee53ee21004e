// A drawing of several layers: each visible layer diffused and blurred alone and composited bottom
// first with premultiplied "over", scaled by its opacity; hidden layers change nothing; an edit of
// one layer solves that layer again and no other, zoomed in too, where each layer's whole canvas
// is kept and the overview is their composite; the exports composite the layers as the editor.
#include "test_solver_support.h"

#include "curve_transforms.h"
#include "multigrid.h"
#include "overview_reader.h"
#include "shader_constants.h"

#include <QImage>

#include <map>
#include <string>

namespace {

using namespace solvertest;

// A pixel as the pictures hold it: red, green and blue premultiplied by the opacity.
struct Premultiplied {
    double rgb[3];
    double opacity;
};

Premultiplied at(const Picture& p, int x, int y)
{
    const double a = std::clamp((p.alpha(x, y) - kOpacityFloor) / (1.0 - kOpacityFloor), 0.0, 1.0);
    return {{p.channel(x, y, 0), p.channel(x, y, 1), p.channel(x, y, 2)}, a};
}

// `top` at `opacity` over `bottom`.
Premultiplied over(const Premultiplied& top, double opacity, const Premultiplied& bottom)
{
    const double a = opacity * top.opacity;
    Premultiplied out{{}, a + (1.0 - a) * bottom.opacity};
    for (int c = 0; c < 3; ++c)
        out.rgb[c] = opacity * top.rgb[c] + (1.0 - a) * bottom.rgb[c];
    return out;
}

double distance(const Premultiplied& a, const Premultiplied& b)
{
    double d = std::abs(a.opacity - b.opacity);
    for (int c = 0; c < 3; ++c)
        d = std::max(d, std::abs(a.rgb[c] - b.rgb[c]));
    return d;
}

// One layer of a test drawing.
struct TestLayer {
    std::vector<Curve> curves;
    bool visible = true;
    double opacity = 1.0;
};

CurveSet drawingOf(const std::vector<TestLayer>& layers)
{
    CurveSet set;
    set.layers.clear();
    for (const TestLayer& layer : layers) {
        for (const Curve& c : layer.curves)
            set.curves.append(c);
        Layer l{QStringLiteral("layer %1").arg(set.layers.size() + 1)};
        l.visible = layer.visible;
        l.opacity = layer.opacity;
        l.curveCount = int(layer.curves.size());
        set.layers.append(l);
    }
    set.nb_curves = set.curves.size();
    return set;
}

// An opaque disc over a clear outside, and a half-transparent red one.
std::vector<Curve> discs()
{
    return {circleCurve({0.1, -0.1}, 0.45, QColor(230, 200, 40), QColor(20, 40, 210, 0)),
            circleCurve({-0.5, 0.5}, 0.3, QColor(200, 30, 30, 128), QColor(20, 40, 210, 0))};
}

// A horizontal line across the canvas at y = -0.2, blurred 12 (of 16), red above, green below.
Curve blurredLine()
{
    return straightCurve({-1.2, -0.2}, {1.2, -0.2}, QColor(220, 40, 40), QColor(40, 180, 60), 12);
}

class LayersTest : public SolverTest {
protected:
    // The picture of `layers` solved afresh.
    Picture render(const std::vector<TestLayer>& layers)
    {
        drawing = drawingOf(layers);
        solver->setCurveSet(drawing);
        solver->fullUpdate();
        return picture();
    }
    // The editor's progressive solve, frame by frame, to rest (see PictureRefresh).
    void settle(bool fresh)
    {
        solver->beginProgressiveSolve(fresh);
        solver->progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
        bool settled = false;
        for (int k = 0; k < 12 && !settled; ++k)
            settled = solver->progressiveStep(true);
        EXPECT_TRUE(settled);
        solver->finishProgressiveSolve();
    }
    // Counts the multigrid's phases by name while it lives (one at a time).
    struct PhaseCount {
        PhaseCount()
        {
            setMultigridPhaseHook([this](const char* phase) { ++counts[phase]; });
        }
        ~PhaseCount() { setMultigridPhaseHook({}); }
        int operator[](const char* phase) const
        {
            const auto found = counts.find(phase);
            return found == counts.end() ? 0 : found->second;
        }
        std::map<std::string, int> counts;
    };

    // The largest distance between `expected(x, y)` and the picture, over every pixel.
    template <typename Expected>
    static double largestError(const Picture& p, Expected expected)
    {
        double worst = 0.0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                worst = std::max(worst, distance(at(p, x, y), expected(x, y)));
        return worst;
    }
};

TEST_F(LayersTest, TwoLayersAreTheTopOneOverTheBottomOneRenderedAlone)
{
    const std::vector<Curve> bottom = randomCurves(8, 11);
    const Picture bottomAlone = render({{bottom}});
    const Picture topAlone = render({{discs()}});
    const Picture both = render({{bottom}, {discs()}});
    const double error = largestError(both, [&](int x, int y) {
        return over(at(topAlone, x, y), 1.0, at(bottomAlone, x, y));
    });
    EXPECT_LE(error, 1.0 / 255.0);
    // The top layer's clear outside shows the bottom one: the disc's edge is no wall for it.
    EXPECT_LT(distance(at(both, 500, 10), at(bottomAlone, 500, 10)), 1.0 / 255.0);
}

TEST_F(LayersTest, HiddenLayerChangesNothingAndHalfOpacityGivesTheEvenMix)
{
    const std::vector<Curve> bottom = randomCurves(8, 11);
    const std::vector<Curve> top = randomCurves(6, 29); // opaque everywhere
    const Picture bottomAlone = render({{bottom}});
    const Picture topAlone = render({{top}});

    const Picture hidden = render({{bottom}, {top, false}});
    EXPECT_LE(largestError(hidden, [&](int x, int y) { return at(bottomAlone, x, y); }),
              1.0 / 255.0);

    const Picture half = render({{bottom}, {top, true, 0.5}});
    const double error = largestError(half, [&](int x, int y) {
        const Premultiplied a = at(bottomAlone, x, y), b = at(topAlone, x, y);
        Premultiplied mix{{}, 1.0};
        for (int c = 0; c < 3; ++c)
            mix.rgb[c] = 0.5 * (a.rgb[c] + b.rgb[c]);
        return mix;
    });
    EXPECT_LE(error, 1.0 / 255.0);

    // Every layer hidden: nothing at all.
    const Picture none = render({{bottom, false}, {top, false}});
    EXPECT_LT(at(none, 256, 256).opacity, 1e-6);
}

// A drag of a curve of the top layer: the frames solve that layer alone (one build of the
// multigrid's operators for the whole drag) and settle on the picture a fresh solve gives.
TEST_F(LayersTest, EditOfOneLayerSolvesThatLayerOnly)
{
    render({{randomCurves(8, 11)}, {discs()}, {randomCurves(3, 5), true, 0.4}});
    int operatorBuilds = 0;
    setMultigridPhaseHook(
        [&](const char* phase) { operatorBuilds += std::string(phase) == "operators"; });
    Curve& moved = drawing.curves[8]; // the top layer's first curve
    moved.setDragAnchor(0.0, 0.0);
    for (int step = 1; step <= 3; ++step) {
        translateTo(moved, 0.02 * step, -0.01 * step);
        solver->beginProgressiveSolve(false);
        solver->progressiveStep(false, 2);
    }
    bool settled = false;
    for (int k = 0; k < 12 && !settled; ++k)
        settled = solver->progressiveStep(true);
    setMultigridPhaseHook({});
    EXPECT_TRUE(settled);
    EXPECT_EQ(operatorBuilds, 3); // one a frame, all of the edited layer
    const Picture dragged = picture();
    solver->fullUpdate();
    const Picture fresh = picture();
    EXPECT_LE(largestError(dragged, [&](int x, int y) { return at(fresh, x, y); }), 1.0 / 255.0);
}

// The export composites the layers as the editor's picture does, at its size and at another.
TEST_F(LayersTest, ExportCompositesTheLayers)
{
    const std::vector<Curve> bottom = randomCurves(8, 11);
    PictureRequest request;
    request.blur = false;
    request.encoding.dither = false;
    auto exported = [&](int size) {
        request.size = size;
        QImage image = solver->renderImage(request);
        EXPECT_EQ(image.format(), QImage::Format_RGBA8888);
        return image;
    };
    render({{bottom}});
    const QImage bottomAtHalf = exported(kSize / 2);
    render({{discs()}});
    const QImage discsAtHalf = exported(kSize / 2);
    const Picture editor = render({{bottom}, {discs(), true, 0.7}});
    const QImage own = exported(kSize);
    ASSERT_FALSE(own.isNull());
    for (int y = 0; y < kSize; y += 5) {
        for (int x = 0; x < kSize; x += 5) {
            const Premultiplied e = at(editor, x, kSize - 1 - y); // rows bottom-up
            const QColor c = own.pixelColor(x, y);
            const Premultiplied got{{c.redF() * c.alphaF(), c.greenF() * c.alphaF(),
                                     c.blueF() * c.alphaF()},
                                    c.alphaF()};
            ASSERT_LE(distance(got, e), 1.0 / 255.0) << x << ", " << y;
        }
    }
    // At half size: the top layer's clear outside shows the bottom layer as it exports alone;
    // inside its opaque disc, at 0.7, the disc as it exports alone lets 0.3 of it through.
    const QImage half = exported(kSize / 2);
    ASSERT_FALSE(half.isNull());
    const QColor outside = half.pixelColor(250, 5), bottomOutside = bottomAtHalf.pixelColor(250, 5);
    EXPECT_EQ(outside.alpha(), 255);
    EXPECT_NEAR(outside.redF(), bottomOutside.redF(), 1.0 / 255.0);
    EXPECT_NEAR(outside.greenF(), bottomOutside.greenF(), 1.0 / 255.0);
    EXPECT_NEAR(outside.blueF(), bottomOutside.blueF(), 1.0 / 255.0);
    const int cx = pixelOf(0.1) / 2, cy = (kSize - 1 - pixelOf(-0.1)) / 2; // the disc's centre
    const QColor inside = half.pixelColor(cx, cy), below = bottomAtHalf.pixelColor(cx, cy),
                 disc = discsAtHalf.pixelColor(cx, cy);
    EXPECT_EQ(disc.alpha(), 255);
    EXPECT_NEAR(inside.redF(), 0.7 * disc.redF() + 0.3 * below.redF(), 1.0 / 255.0);
    EXPECT_NEAR(inside.greenF(), 0.7 * disc.greenF() + 0.3 * below.greenF(), 1.0 / 255.0);
    EXPECT_NEAR(inside.blueF(), 0.7 * disc.blueF() + 0.3 * below.blueF(), 1.0 / 255.0);
}

// A translucent drawing exported at any size keeps its colours: inside the opaque disc, more than
// 4 pixels of the picture from its curve, exactly 230,200,40 and opaque; outside both discs
// clear; inside the half-transparent one its colour at opacity 128 (straight colour to a level).
TEST_F(LayersTest, TranslucentExportIsExactInsideAndOutsideAtEverySize)
{
    render({{discs()}});
    PictureRequest request;
    request.blur = false;
    request.encoding.dither = false;
    for (int size : {256, kSize, 1024}) {
        SCOPED_TRACE(size);
        request.size = size;
        const QImage image = solver->renderImage(request);
        ASSERT_EQ(image.size(), QSize(size, size));
        const double margin = 4.0 * 2.0 / size;
        int checked[3] = {0, 0, 0}, worst = 0;
        for (int row = 0; row < size; ++row) {
            for (int x = 0; x < size; ++x) {
                const double cx = (x + 0.5) * 2.0 / size - 1.0;
                const double cy = 1.0 - (row + 0.5) * 2.0 / size;
                const double opaque = std::hypot(cx - 0.1, cy + 0.1) - 0.45;
                const double half = std::hypot(cx + 0.5, cy - 0.5) - 0.3;
                if (std::abs(opaque) < margin || std::abs(half) < margin)
                    continue;
                const QColor got = image.pixelColor(x, row);
                QColor expected(0, 0, 0, 0);
                if (opaque < 0.0)
                    expected = QColor(230, 200, 40);
                else if (half < 0.0)
                    expected = QColor(200, 30, 30, 128);
                ++checked[opaque < 0.0 ? 0 : (half < 0.0 ? 1 : 2)];
                int d = std::abs(got.alpha() - expected.alpha());
                if (expected.alpha() > 0)
                    d = std::max({d, std::abs(got.red() - expected.red()),
                                  std::abs(got.green() - expected.green()),
                                  std::abs(got.blue() - expected.blue())});
                worst = std::max(worst, d);
                ASSERT_LE(d, 1) << x << ", " << row << ": " << got.red() << "," << got.green()
                                << "," << got.blue() << "," << got.alpha();
            }
        }
        EXPECT_GT(checked[0], size * size / 8);
        EXPECT_GT(checked[1], size * size / 20);
        EXPECT_GT(checked[2], size * size / 4);
    }
}

// Zoomed in, each layer's edge ring comes from its own whole canvas, kept while its curves stay
// the same: the overview (what the colour picker reads) is the layers' composite, a pan solves
// no whole canvas again, and an edit re-solves the edited layer's alone, from its previous one.
TEST_F(LayersTest, ZoomedInEachLayerKeepsItsWholeCanvasAndTheOverviewIsTheComposite)
{
    const Picture whole =
        render({{randomCurves(8, 11)}, {discs()}, {randomCurves(3, 5), true, 0.4}});
    const int layerCount = 3;
    solver->setView(View{2.0, Point(0.2, -0.1)});
    {
        const PhaseCount phases;
        settle(true); // as after a zoom
        EXPECT_EQ(phases["operators"],
                  layerCount); // each layer's picture; their whole canvases are kept
    }
    const OverviewReader reader(*solver);
    double worst = 0.0;
    for (int y = 3; y < kSize; y += 16) {
        for (int x = 5; x < kSize; x += 16) {
            const std::array<float, 4> straight = reader.readPixel(x, y);
            const Premultiplied read{{straight[0] * straight[3], straight[1] * straight[3],
                                      straight[2] * straight[3]},
                                     straight[3]};
            worst = std::max(worst, distance(read, at(whole, x, y)));
        }
    }
    EXPECT_LE(worst, 1.0 / 255.0);

    solver->setView(View{2.0, Point(-0.3, 0.2)});
    {
        const PhaseCount phases;
        settle(true); // a pan
        EXPECT_EQ(phases["operators"], layerCount);
    }
    // A drag of a curve of the middle layer: each frame solves that layer's whole canvas and
    // picture, both from their previous ones (no first estimate), and no other layer's.
    Curve& moved = drawing.curves[8];
    moved.setDragAnchor(0.0, 0.0);
    const PhaseCount phases;
    for (int step = 1; step <= 3; ++step) {
        translateTo(moved, 0.02 * step, -0.01 * step);
        solver->beginProgressiveSolve(false);
        solver->progressiveStep(false, DiffusionSolver::kMovingFrameCycles);
    }
    EXPECT_EQ(phases["operators"], 2 * 3);
    EXPECT_EQ(phases["first estimate"], 0);
}

// Each layer is blurred by its own curves' blur only: the blurred picture of two layers is the
// "over" of the two blurred alone, so the top layer's disc keeps its sharp edge across the bottom
// layer's blurred line (the pictures read are the blurred ones). An edit of the layer without
// blur leaves the other's blurred picture as it is: no blur map is solved again.
TEST_F(LayersTest, EachLayerIsBlurredAloneBeforeTheCompositing)
{
    const std::vector<Curve> top = {
        circleCurve({0.1, -0.2}, 0.3, QColor(230, 200, 40), QColor(20, 40, 210, 0))};
    solver->settings().blurEnabled = false;
    const Picture sharpBottom = render({{{blurredLine()}}});
    solver->settings().blurEnabled = true;
    const Picture bottomAlone = render({{{blurredLine()}}});
    const Picture topAlone = render({{top}});
    const Picture both = render({{{blurredLine()}}, {top}});
    EXPECT_LE(largestError(both,
                           [&](int x, int y) {
                               return over(at(topAlone, x, y), 1.0, at(bottomAlone, x, y));
                           }),
              1.0 / 255.0);
    // Where the top layer is clear, the line is blurred.
    const int x = pixelOf(-0.7), y = pixelOf(-0.2 + 0.03);
    EXPECT_GT(distance(at(sharpBottom, x, y), at(both, x, y)), 20.0 / 255.0);

    // An edit of the top layer, which has no blur: no blur map is solved again.
    const PhaseCount phases;
    Curve& moved = drawing.curves[1];
    moved.setDragAnchor(0.0, 0.0);
    translateTo(moved, 0.05, 0.0);
    settle(false);
    EXPECT_EQ(phases["operators"], 1); // the top layer's picture only
}

// A layered drawing exported at another size keeps each layer's blur, read from the on-screen
// blurred layer at the same canvas point: beside the blurred line, the picture at 1024 averaged
// down is the editor's blurred picture, and not the sharp one.
TEST_F(LayersTest, ExportAtAnotherSizeKeepsEachLayersBlur)
{
    solver->settings().blurEnabled = true;
    const Picture editor = [&] {
        return render(
            {{{blurredLine()}},
             {{circleCurve({0.5, 0.4}, 0.3, QColor(230, 200, 40), QColor(20, 40, 210, 0))}}});
    }();
    PictureRequest request;
    request.size = 2 * kSize;
    request.encoding.dither = false;
    const QImage large = solver->renderImage(request);
    ASSERT_EQ(large.size(), QSize(2 * kSize, 2 * kSize));
    request.blur = false;
    const QImage sharp = solver->renderImage(request);
    int compared = 0;
    for (int x = 20; x < kSize - 20; x += 7) {
        for (double dy : {-0.03, 0.03}) {
            const int y = pixelOf(-0.2 + dy), row = 2 * (kSize - 1 - y);
            double got[3] = {0, 0, 0}, unblurred[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const QColor c = large.pixelColor(2 * x + k % 2, row + k / 2);
                const QColor d = sharp.pixelColor(2 * x + k % 2, row + k / 2);
                got[0] += c.redF() / 4, got[1] += c.greenF() / 4, got[2] += c.blueF() / 4;
                unblurred[0] += d.redF() / 4, unblurred[1] += d.greenF() / 4,
                    unblurred[2] += d.blueF() / 4;
            }
            const Premultiplied e = at(editor, x, y);
            ASSERT_GT(e.opacity, 0.999);
            double d = 0.0, s = 0.0;
            for (int c = 0; c < 3; ++c) {
                d = std::max(d, std::abs(got[c] - e.rgb[c]));
                s = std::max(s, std::abs(unblurred[c] - e.rgb[c]));
            }
            ASSERT_LE(d, 1.0 / 255.0) << x << ", " << y;
            ASSERT_GT(s, 10.0 / 255.0) << x << ", " << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
}

} // namespace
