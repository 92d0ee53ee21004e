// Round trip of the bitmap tracer: a drawing rendered to a picture, traced, its colours fitted by
// rendering, and rendered again must give the first picture back.
#include "test_solver_support.h"

#include "bitmap_tracer.h"
#include "picture_psnr.h"
#include "trace_refinement.h"

#include <QImage>

#include <cstdio>

using namespace solvertest;

namespace {

// Colour-fitting rounds of the round trip (the command line's default).
constexpr int kRounds = kDefaultTraceRounds;

const QColor kRed(200, 40, 40), kBlue(30, 60, 200), kYellow(230, 210, 40);
const QColor kGreen(30, 200, 60), kWhite(250, 250, 250);

// One flag per pixel (rows top first): true where the pixel's centre lies more than `distance`
// pixels from every curve of `curves`.
std::vector<bool> awayFromCurves(const std::vector<Curve>& curves, double distance)
{
    std::vector<bool> away(size_t(kSize) * kSize, true);
    const double reach = distance * 2.0 / kSize;
    for (const Curve& curve : curves) {
        for (int b = 0; b + 3 < curve.nb_control_points; b += 3) {
            for (double t = 0.0; t <= 1.0; t += 1.0 / 2048) {
                const Point p = curve.pointAt(t, b);
                const int cx = pixelOf(p.x), cy = kSize - 1 - pixelOf(p.y);
                for (int y = cy - 3; y <= cy + 3; ++y)
                    for (int x = cx - 3; x <= cx + 3; ++x) {
                        if (x < 0 || y < 0 || x >= kSize || y >= kSize)
                            continue;
                        const double dx = centreOf(x) - p.x, dy = centreOf(kSize - 1 - y) - p.y;
                        if (dx * dx + dy * dy <= reach * reach)
                            away[size_t(y) * kSize + x] = false;
                    }
            }
        }
    }
    return away;
}

class TraceRoundTripTest : public SolverTest {
protected:
    // Renders `curves`, traces the picture, fits the colours and renders the traced drawing:
    // PSNR against the first picture over all of it and beyond 2 pixels of the curves.
    void expectRoundTrip(const char* name, const std::vector<Curve>& curves)
    {
        drawing.clear();
        for (const Curve& curve : curves)
            drawing.addCurve(curve);
        solver->setCurveSet(drawing);
        const QImage original = renderTracedPicture(*solver);
        ASSERT_FALSE(original.isNull());
        TraceResult traced = traceBitmap(original);
        const std::vector<double> rounds =
            refineTracedColors(*solver, traced.drawing, original, kRounds);
        const QImage render = renderTracedPicture(*solver);
        const std::vector<bool> away = awayFromCurves(curves, 2.0);
        const double whole = picturePsnr(render, original);
        const double beyond = picturePsnr(render, original, &away);
        std::printf("%-18s %4d curves, PSNR whole %.2f dB, beyond 2 px %.2f dB; by round:", name,
                    traced.drawing.nb_curves, whole, beyond);
        for (double r : rounds)
            std::printf(" %.2f", r);
        std::printf("\n");
        EXPECT_GE(whole, 26.0);
        EXPECT_GE(beyond, 30.0);
        solver->setCurveSet(drawing);
    }
};

} // namespace

TEST_F(TraceRoundTripTest, Ramp)
{
    expectRoundTrip("ramp", {straightCurve({-0.5, -1.2}, {-0.5, 1.2}, kYellow, kRed),
                             straightCurve({0.5, -1.2}, {0.5, 1.2}, kBlue, kYellow)});
}

TEST_F(TraceRoundTripTest, NestedShapes)
{
    expectRoundTrip("nested shapes", {circleCurve({0.0, 0.0}, 0.8, kRed, kBlue),
                                      circleCurve({0.1, 0.05}, 0.45, kGreen, kRed),
                                      circleCurve({0.15, 0.1}, 0.15, kWhite, kGreen)});
}

TEST_F(TraceRoundTripTest, CancelStopsTheColourRoundsBetweenSolves)
{
    drawing.clear();
    drawing.addCurve(straightCurve({-0.5, -1.2}, {-0.5, 1.2}, kYellow, kRed));
    drawing.addCurve(straightCurve({0.5, -1.2}, {0.5, 1.2}, kBlue, kYellow));
    solver->setCurveSet(drawing);
    const QImage original = renderTracedPicture(*solver);
    TraceResult traced = traceBitmap(original);
    const CurveSet before = traced.drawing;
    int asked = 0;
    // Asked before each round's solve: cancelled at the second question, after one round.
    const std::vector<double> rounds =
        refineTracedColors(*solver, traced.drawing, original, 5, [&] { return ++asked >= 2; });
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(rounds.size(), 2u);
    ASSERT_EQ(traced.drawing.nb_curves, before.nb_curves);
    for (int i = 0; i < before.nb_curves; ++i) {
        EXPECT_EQ(traced.drawing.curve(i).left_colors, before.curve(i).left_colors);
        EXPECT_EQ(traced.drawing.curve(i).right_colors, before.curve(i).right_colors);
    }
    solver->setCurveSet(drawing);
}

// The hardest of the three: hundreds of crossings break the edges into about 2300 curves, and in
// the middle the curves lie closer than edge detection can tell apart.
TEST_F(TraceRoundTripTest, ThirtyRandomCurves)
{
    expectRoundTrip("30 random curves", randomCurves(30, 7u));
}
