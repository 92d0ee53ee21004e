// The stroke vectoriser: each stage on its own, then whole strokes through CurveSet.
#include "curve_set.h"
#include "pixel_reader.h"
#include "stroke_vectorizer.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <cmath>
#include <functional>
#include <limits>

// Readable failure messages for points.
void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

constexpr int kSize = 512;
constexpr double kPi = 3.14159265358979323846;

// Canvas positions whose pixels (in a kSize x kSize widget) are exactly the given ones: each
// position is the centre of its pixel.
QVector<Point> strokeThroughPixels(const QVector<QPoint>& pixels)
{
    QVector<Point> stroke;
    for (const QPoint& p : pixels)
        stroke.append(
            Point((p.x() + 0.5) / (kSize / 2.0) - 1.0, 1.0 - (p.y() + 0.5) / (kSize / 2.0)));
    return stroke;
}

QVector<QPoint> row(int x0, int y, int count)
{
    QVector<QPoint> pixels;
    for (int i = 0; i < count; ++i)
        pixels.append(QPoint(x0 + i, y));
    return pixels;
}

QVector<Point> asPoints(const QVector<QPoint>& pixels)
{
    QVector<Point> points;
    for (const QPoint& p : pixels)
        points.append(Point(p.x(), p.y()));
    return points;
}

// A smooth pixel-space path sampled every `step` pixels of arc length, as a canvas stroke. Each
// position is appended `repeat` times, as mouse events that did not move a pixel would be.
QVector<Point> sampledStroke(const std::function<Point(double)>& path, double t0, double t1,
                             double step = 1.0, int repeat = 1)
{
    QVector<Point> stroke;
    double t = t0;
    while (t <= t1) {
        const Point p = path(t);
        for (int i = 0; i < repeat; ++i)
            stroke.append(Point(p.x / (kSize / 2.0) - 1.0, 1.0 - p.y / (kSize / 2.0)));
        const double h = 1e-4;
        const double speed = (path(t + h) - p).norm() / h;
        t += step / std::max(speed, 1e-9);
    }
    // The pen is lifted at the end of the path, however short the last step.
    const Point end = path(t1);
    stroke.append(Point(end.x / (kSize / 2.0) - 1.0, 1.0 - end.y / (kSize / 2.0)));
    return stroke;
}

Point bezierAt(const QVector<Point>& c, int b, double t)
{
    const double s = 1.0 - t;
    return c[b] * (s * s * s) + c[b + 1] * (3 * s * s * t) + c[b + 2] * (3 * s * t * t)
           + c[b + 3] * (t * t * t);
}

// The curve's control points converted to pixels and sampled densely as a polyline.
QVector<Point> densePixelCurve(const Curve& curve)
{
    QVector<Point> pixels;
    for (const Point& c : curve.control_points)
        pixels.append(Point((c.x + 1.0) * (kSize / 2.0), (1.0 - c.y) * (kSize / 2.0)));
    QVector<Point> dense;
    for (int b = 0; b + 3 < pixels.size(); b += 3)
        for (int k = 0; k <= 200; ++k)
            dense.append(bezierAt(pixels, b, k / 200.0));
    return dense;
}

double distanceToPolyline(const Point& p, const QVector<Point>& line)
{
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i + 1 < line.size(); ++i) {
        const Point d = line[i + 1] - line[i];
        const double len2 = dot(d, d);
        const double t = len2 > 0 ? std::clamp(dot(p - line[i], d) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, (p - (line[i] + d * t)).norm());
    }
    return best;
}

// True when the control points do not all coincide.
bool hasExtent(const Curve& curve)
{
    for (const Point& p : curve.control_points)
        if (p != curve.control_points.first())
            return true;
    return false;
}

bool allFinite(const Curve& curve)
{
    for (const Point& p : curve.control_points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    return true;
}

void expectWorkingArraysEmpty(const CurveSet& set)
{
    EXPECT_TRUE(set.stroke_points.isEmpty());
    EXPECT_TRUE(set.fitted_points.isEmpty());
    EXPECT_TRUE(set.polygon_vertices.empty());
    EXPECT_TRUE(set.straight_reach.empty());
}

// A picture that is red left of column 256 and blue from there on.
class SplitPicture : public PixelReader {
public:
    int width() const override { return kSize; }
    int height() const override { return kSize; }
    std::array<float, 4> readPixel(int column, int) const override
    {
        if (column < kSize / 2)
            return {1.0f, 0.0f, 0.0f, 1.0f};
        return {0.0f, 0.0f, 1.0f, 1.0f};
    }
};

} // namespace

// ---------------------------------------------------------------- stages

TEST(VectorizerPixels, ConvertsCanvasToRowsFromTheTopAndBack)
{
    const QVector<Point> pixels =
        stroke::toPixels({Point(0, 0), Point(-1, 1), Point(1, -1), Point(0.5, 0.5)}, kSize, kSize);
    ASSERT_EQ(pixels.size(), 4);
    EXPECT_EQ(pixels[0], Point(256, 256));
    EXPECT_EQ(pixels[1], Point(0, 0));
    EXPECT_EQ(pixels[2], Point(512, 512));
    EXPECT_EQ(pixels[3], Point(384, 128));
    EXPECT_TRUE(near(stroke::toCanvas(Point(384, 128), kSize, kSize), Point(0.5, 0.5), 1e-12));
}

TEST(VectorizerPixels, DropsNonFinitePositionsAndClampsFarOnes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const QVector<Point> pixels =
        stroke::toPixels({Point(std::nan(""), 0), Point(inf, 0), Point(1e300, -1e300), Point(0, 0)},
                         kSize, kSize);
    ASSERT_EQ(pixels.size(), 2);
    EXPECT_EQ(pixels[0], Point(stroke::kMaxPixel, stroke::kMaxPixel));
    EXPECT_TRUE(stroke::toPixels({Point(0, 0)}, 0, kSize).isEmpty());
}

TEST(VectorizerClosing, EndsWithinTwoPixelsCloseAndThreeDoNot)
{
    QVector<Point> near2 =
        asPoints({QPoint(10, 10), QPoint(20, 10), QPoint(20, 20), QPoint(12, 12)});
    EXPECT_TRUE(stroke::closeStroke(near2));
    EXPECT_EQ(near2.last(), Point(10, 10));

    QVector<Point> far3 =
        asPoints({QPoint(10, 10), QPoint(20, 10), QPoint(20, 20), QPoint(13, 10)});
    EXPECT_FALSE(stroke::closeStroke(far3));
    EXPECT_EQ(far3.last(), Point(13, 10));
}

TEST(VectorizerStraightRuns, TenPixelRowReachesItsEndFromEveryPoint)
{
    const QVector<Point> S = asPoints(row(100, 200, 10));
    const std::vector<int> reach = stroke::computeStraightReach(S);
    EXPECT_EQ(reach, std::vector<int>(10, 9));
    EXPECT_EQ(stroke::optimalPolygon(S, reach), (std::vector<int>{0, 9}));
}

TEST(VectorizerStraightRuns, SevenPixelRowWrapsTheEndPivot)
{
    const QVector<Point> S = asPoints(row(100, 200, 7));
    const std::vector<int> reach = stroke::computeStraightReach(S);
    EXPECT_EQ(reach, (std::vector<int>{2, 2, 6, 6, 6, 6, 6}));
    EXPECT_EQ(stroke::optimalPolygon(S, reach), (std::vector<int>{0, 2, 6}));
}

TEST(VectorizerStraightRuns, ARightAngleSplitsThePolygonNearTheCorner)
{
    QVector<QPoint> pixels = row(100, 100, 30);
    for (int y = 101; y < 130; ++y)
        pixels.append(QPoint(129, y));
    const QVector<Point> S = asPoints(pixels);
    const std::vector<int> polygon = stroke::optimalPolygon(S, stroke::computeStraightReach(S));
    ASSERT_GE(polygon.size(), 3u);
    EXPECT_EQ(polygon.front(), 0);
    EXPECT_EQ(polygon.back(), S.size() - 1);
    // Some vertex sits within a pixel of the corner (129, 100).
    bool cornerFound = false;
    for (int v : polygon)
        cornerFound = cornerFound || (S[v] - Point(129, 100)).norm() <= 1.5;
    EXPECT_TRUE(cornerFound);
}

TEST(VectorizerPolygon, RejectsTablesThatDoNotBelongToTheStroke)
{
    const QVector<Point> S = asPoints(row(0, 0, 5));
    EXPECT_TRUE(stroke::optimalPolygon(S, {4, 4, 4}).empty());
    EXPECT_TRUE(stroke::optimalPolygon(S, {4, 4, 9, 4, 4}).empty());
    EXPECT_TRUE(stroke::optimalPolygon(S, {4, 4, -1, 4, 4}).empty());
}

TEST(VectorizerPolygon, PenaltyOfAZeroLengthEdgeIsZero)
{
    const QVector<Point> S = asPoints({QPoint(5, 5), QPoint(9, 1), QPoint(7, 7), QPoint(5, 5)});
    EXPECT_EQ(stroke::edgePenalty(S, 0, 3), 0.0); // end points coincide
    EXPECT_EQ(stroke::edgePenalty(S, 3, 4), 0.0); // cut back to the last point
    // A straight edge skipping a point 1 pixel off its line: L = 4, D = 4 / 4, 3 points.
    const QVector<Point> T = asPoints({QPoint(0, 0), QPoint(2, 1), QPoint(4, 0)});
    EXPECT_DOUBLE_EQ(stroke::edgePenalty(T, 0, 2), 4.0 * std::sqrt(1.0 / 3.0));
    EXPECT_DOUBLE_EQ(stroke::edgePenalty(T, 2, 0), stroke::edgePenalty(T, 0, 2));
}

TEST(VectorizerCorners, MeasureStaysBelowTheThresholdSoOneRunRemains)
{
    EXPECT_EQ(stroke::cornerAlpha(Point(0, 0), Point(5, 0), Point(10, 0)), 0.0);
    EXPECT_DOUBLE_EQ(stroke::cornerAlpha(Point(0, 0), Point(5, 5), Point(0, 0)), 4.0 / 3.0);
    const QVector<Point> V = {Point(0, 0), Point(50, 0), Point(50, 50), Point(0, 50), Point(0, 1)};
    const QVector<stroke::Run> runs = stroke::cornerRuns(V, stroke::kCornerThreshold);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].points, V);
    EXPECT_TRUE(runs[0].first && runs[0].last);
    // A lower threshold splits at each sharp corner; neighbouring runs share it.
    const QVector<stroke::Run> split = stroke::cornerRuns(V, 1.0);
    ASSERT_EQ(split.size(), 4);
    EXPECT_EQ(split[1].points, (QVector<Point>{V[1], V[2]}));
    EXPECT_FALSE(split[1].first || split[1].last);
}

TEST(VectorizerFit, SevenVerticesMakeTwoSegmentsThroughEveryThirdVertex)
{
    QVector<Point> V;
    for (int i = 0; i < 7; ++i)
        V.append(Point(10 * i, 20 * std::sin(i)));
    const QVector<Point> fitted = stroke::fitPolygon(V, false);
    ASSERT_EQ(fitted.size(), 7);
    EXPECT_EQ(fitted[0], V[0]);
    EXPECT_EQ(fitted[3], V[3]);
    EXPECT_EQ(fitted[6], V[6]);
    // The joint is smooth: the tangent points around V[3] are collinear with it.
    const Point in = fitted[3] - fitted[2];
    const Point out = fitted[4] - fitted[3];
    EXPECT_NEAR(in.x * out.y - in.y * out.x, 0.0, 1e-9 * in.norm() * out.norm());
}

TEST(VectorizerFit, CoincidentPointsLeaveTheFitUndefined)
{
    QVector<Point> fitted{Point(1, 1)};
    stroke::Run run;
    run.points = {Point(3, 3), Point(3, 3)};
    run.first = run.last = true;
    EXPECT_FALSE(stroke::fitRun(run, false, Point(), Point(), fitted));
    EXPECT_EQ(fitted.size(), 1);
    EXPECT_TRUE(stroke::fitPolygon({Point(3, 3), Point(3, 3), Point(3, 3)}, true).isEmpty());
}

// ---------------------------------------------------------------- whole strokes

class StrokeToCurve : public ::testing::Test {
protected:
    // Vectorises and returns the number of curves added.
    int vectorize(const QVector<Point>& stroke, const PixelReader* picture = nullptr)
    {
        const int before = set.nb_curves;
        vectorizeStroke(set, stroke, kSize, kSize, picture);
        expectWorkingArraysEmpty(set);
        return set.nb_curves - before;
    }

    CurveSet set;
};

TEST_F(StrokeToCurve, TenPixelRowBecomesOneSegmentWithThirdPointTangents)
{
    ASSERT_EQ(vectorize(strokeThroughPixels(row(100, 200, 10))), 1);
    const Curve& c = set.curve(0);
    ASSERT_EQ(c.nb_control_points, 4);
    const Point a = stroke::toCanvas(Point(100, 200), kSize, kSize);
    const Point b = stroke::toCanvas(Point(109, 200), kSize, kSize);
    EXPECT_TRUE(near(c.control_points[0], a, 1e-12));
    EXPECT_TRUE(near(c.control_points[1], a + (b - a) * (1.0 / 3.0), 1e-12));
    EXPECT_TRUE(near(c.control_points[2], a + (b - a) * (2.0 / 3.0), 1e-12));
    EXPECT_TRUE(near(c.control_points[3], b, 1e-12));
    EXPECT_FALSE(c.closed);
}

TEST_F(StrokeToCurve, SevenPixelRowStaysOnItsLine)
{
    ASSERT_EQ(vectorize(strokeThroughPixels(row(100, 200, 7))), 1);
    const Curve& c = set.curve(0);
    ASSERT_EQ(c.nb_control_points, 4);
    const Point a = stroke::toCanvas(Point(100, 200), kSize, kSize);
    const Point b = stroke::toCanvas(Point(106, 200), kSize, kSize);
    for (const Point& p : c.control_points) {
        EXPECT_DOUBLE_EQ(p.y, a.y);
        EXPECT_GE(p.x, a.x - 1e-12);
        EXPECT_LE(p.x, b.x + 1e-12);
    }
}

// Straight strokes of every length stay within their own extent: parallel end tangents make the
// fit's normal equations singular, and rounding noise must not turn that into a wild tangent.
TEST_F(StrokeToCurve, StraightStrokesOfAnyLengthKeepTheirTangentsOnTheLine)
{
    const QVector<QPoint> directions = {QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)};
    for (const QPoint& dir : directions) {
        for (int count = 4; count <= 80; ++count) {
            QVector<QPoint> pixels;
            for (int i = 0; i < count; ++i)
                pixels.append(QPoint(100, 100) + dir * i);
            set = CurveSet();
            ASSERT_EQ(vectorize(strokeThroughPixels(pixels)), 1) << count;
            const Curve& c = set.curve(0);
            const Point a = stroke::toCanvas(Point(100, 100), kSize, kSize);
            const Point b =
                stroke::toCanvas(Point(100 + dir.x() * (count - 1), 100 + dir.y() * (count - 1)),
                                 kSize, kSize);
            const double slack = 1e-9;
            for (const Point& p : c.control_points) {
                EXPECT_GE(p.x, std::min(a.x, b.x) - slack) << count;
                EXPECT_LE(p.x, std::max(a.x, b.x) + slack) << count;
                EXPECT_GE(p.y, std::min(a.y, b.y) - slack) << count;
                EXPECT_LE(p.y, std::max(a.y, b.y) + slack) << count;
            }
        }
    }
}

TEST_F(StrokeToCurve, LayoutCarriesTheCurrentColoursAndBlurAtBothEnds)
{
    set.setLeftColor(QColor(10, 20, 30));
    set.setRightColor(QColor(40, 50, 60));
    set.setBlur(7);
    const auto wave = [](double t) { return Point(100 + t, 250 + 40 * std::sin(t / 30)); };
    ASSERT_EQ(vectorize(sampledStroke(wave, 0, 300)), 1);
    const Curve& c = set.curve(0);
    EXPECT_EQ(set.current_curve, 0);
    ASSERT_GE(c.nb_control_points, 7);
    ASSERT_EQ((c.nb_control_points - 1) % 3, 0);
    const int q = (c.nb_control_points - 1) / 3;
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 10 * q}));
    EXPECT_EQ(c.right_color_ids, (QVector<int>{0, 10 * q}));
    EXPECT_EQ(c.blur_ids, (QVector<int>{0, 10 * q}));
    EXPECT_EQ(c.left_colors, (QVector<QColor>{QColor(10, 20, 30), QColor(10, 20, 30)}));
    EXPECT_EQ(c.right_colors, (QVector<QColor>{QColor(40, 50, 60), QColor(40, 50, 60)}));
    EXPECT_EQ(c.blur_values, (QVector<int>{7, 7}));
}

TEST_F(StrokeToCurve, EndsTwoPixelsApartCloseTheCurveAndThreeDoNot)
{
    auto squareEndingAt = [](QPoint end) {
        QVector<QPoint> pixels = row(100, 100, 60);
        for (int y = 101; y < 160; ++y)
            pixels.append(QPoint(159, y));
        for (int x = 158; x > 100; --x)
            pixels.append(QPoint(x, 159));
        for (int y = 158; y > 102; --y)
            pixels.append(QPoint(100, y));
        pixels.append(end);
        return strokeThroughPixels(pixels);
    };
    ASSERT_EQ(vectorize(squareEndingAt(QPoint(102, 102))), 1);
    const Curve& closed = set.curve(0);
    EXPECT_TRUE(closed.closed);
    EXPECT_EQ(closed.control_points.first(), closed.control_points.last());
    EXPECT_TRUE(allFinite(closed));

    ASSERT_EQ(vectorize(squareEndingAt(QPoint(100, 103))), 1);
    const Curve& open = set.curve(1);
    EXPECT_FALSE(open.closed);
    EXPECT_NE(open.control_points.first(), open.control_points.last());
}

TEST_F(StrokeToCurve, UnfinishedLastCurveReceivesTheStroke)
{
    Curve done;
    for (int i = 0; i < 4; ++i)
        done.appendControlPoint(0.1 * i, 0.0);
    Curve unfinished;
    unfinished.appendControlPoint(-0.5, -0.5);
    unfinished.appendControlPoint(-0.4, -0.5);
    set.addCurve(done);
    set.addCurve(unfinished);
    set.setCurrentCurve(0); // even with another curve current, the unfinished one is filled

    ASSERT_EQ(vectorize(strokeThroughPixels(row(100, 200, 10))), 0);
    EXPECT_EQ(set.curve(0).control_points, done.control_points);
    const Curve& filled = set.curve(1);
    ASSERT_EQ(filled.nb_control_points, 2 + 4);
    EXPECT_EQ(filled.control_points[0], Point(-0.5, -0.5));
    const Point rowStart = stroke::toCanvas(Point(100, 200), kSize, kSize);
    EXPECT_TRUE(near(filled.control_points[2], rowStart, 1e-12));
    EXPECT_EQ(set.current_curve, 1);
}

TEST_F(StrokeToCurve, InactiveSidesTakeTheRenderedColours)
{
    // A stroke straight down the boundary column: its left (east) side is blue, its right red.
    QVector<QPoint> pixels;
    for (int y = 100; y < 300; ++y)
        pixels.append(QPoint(256, y));
    const SplitPicture picture;

    set.left_colors_active = false;
    ASSERT_EQ(vectorize(strokeThroughPixels(pixels), &picture), 1);
    const Curve& leftRead = set.curve(0);
    ASSERT_GE(leftRead.nb_left_colors, 2);
    for (const QColor& color : leftRead.left_colors)
        EXPECT_EQ(color, QColor(0, 0, 255));
    const QColor right = set.current_right_color;
    EXPECT_EQ(leftRead.right_colors, (QVector<QColor>{right, right}));

    set.left_colors_active = true;
    set.right_colors_active = false;
    ASSERT_EQ(vectorize(strokeThroughPixels(pixels), &picture), 1);
    for (const QColor& color : set.curve(1).right_colors)
        EXPECT_EQ(color, QColor(255, 0, 0));

    // Without a picture the defaults stay.
    ASSERT_EQ(vectorize(strokeThroughPixels(pixels), nullptr), 1);
    EXPECT_EQ(set.curve(2).nb_right_colors, 2);
}

// ---------------------------------------------------------------- bad strokes

TEST_F(StrokeToCurve, StrokeWithinOnePixelAddsNothing)
{
    EXPECT_EQ(vectorize(strokeThroughPixels(QVector<QPoint>(20, QPoint(40, 40)))), 0);
    EXPECT_EQ(set.nb_curves, 0);
    EXPECT_EQ(set.curves.size(), 0);
}

TEST_F(StrokeToCurve, FewerThanFourPointsOrNoWidgetAddNothing)
{
    EXPECT_EQ(vectorize(strokeThroughPixels(row(0, 0, 3))), 0);
    vectorizeStroke(set, strokeThroughPixels(row(0, 0, 10)), 0, kSize);
    vectorizeStroke(set, strokeThroughPixels(row(0, 0, 10)), kSize, -4);
    EXPECT_EQ(set.nb_curves, 0);
    expectWorkingArraysEmpty(set);
}

TEST_F(StrokeToCurve, ExactlyFourPointsGiveAFiniteCurveOrNone)
{
    const QVector<QVector<QPoint>> strokes = {
        {QPoint(10, 10), QPoint(11, 10), QPoint(12, 10), QPoint(13, 10)},
        {QPoint(10, 10), QPoint(30, 10), QPoint(30, 30), QPoint(10, 30)},
        {QPoint(10, 10), QPoint(30, 10), QPoint(30, 30), QPoint(11, 11)}, // closes
        {QPoint(10, 10), QPoint(10, 10), QPoint(50, 50), QPoint(50, 50)},
    };
    for (const QVector<QPoint>& pixels : strokes) {
        CurveSet fresh;
        vectorizeStroke(fresh, strokeThroughPixels(pixels), kSize, kSize);
        for (const Curve& c : fresh.curves) {
            EXPECT_TRUE(allFinite(c));
            EXPECT_GE(c.nb_control_points, 4);
            EXPECT_EQ((c.nb_control_points - 1) % 3, 0);
        }
    }
}

TEST_F(StrokeToCurve, StrokeDoublingBackStaysFiniteAndNeverLeavesAnEmptyCurve)
{
    QVector<QPoint> outAndBack = row(50, 80, 40);
    for (int x = 88; x >= 50; --x)
        outAndBack.append(QPoint(x, 80));
    QVector<QPoint> zigzag;
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 20; ++i)
            zigzag.append(QPoint(k % 2 ? 219 - i : 200 + i, 300 + k));
    // Out and back to the start closes the stroke onto a polygon whose fit collapses to a point.
    EXPECT_EQ(vectorize(strokeThroughPixels(outAndBack)), 0);
    EXPECT_EQ(set.curves.size(), 0);

    outAndBack.resize(outAndBack.size() - 10); // turn back but stop short: an open curve
    for (const auto& pixels : {outAndBack, zigzag}) {
        EXPECT_EQ(vectorize(strokeThroughPixels(pixels)), 1);
        const Curve& c = set.curves.last();
        EXPECT_TRUE(allFinite(c));
        EXPECT_TRUE(hasExtent(c));
        EXPECT_GE(c.nb_control_points, 4);
    }
}

TEST_F(StrokeToCurve, StrokeFarOutsideTheCanvasStaysFinite)
{
    const double inf = std::numeric_limits<double>::infinity();
    QVector<Point> stroke;
    for (int i = 0; i < 50; ++i)
        stroke.append(Point(1e6 + 0.01 * i, -1e6 + 0.003 * i * i));
    stroke.append(Point(1e300, 1e300));
    stroke.append(Point(inf, 0));
    stroke.append(Point(std::nan(""), 1));
    vectorize(stroke);
    for (const Curve& c : set.curves)
        EXPECT_TRUE(allFinite(c));
}

// ---------------------------------------------------------------- fidelity

// Vectorises a canvas stroke and checks that every stroke pixel lies within `tolerance` pixels of
// the curve and that the curve strays no further than that from the stroke.
void expectCurveFollowsStroke(const QVector<Point>& strokeCanvas, bool closed, double tolerance)
{
    CurveSet set;
    vectorizeStroke(set, strokeCanvas, kSize, kSize);
    ASSERT_EQ(set.nb_curves, 1);
    const Curve& curve = set.curve(0);
    EXPECT_EQ(curve.closed, closed);
    ASSERT_TRUE(allFinite(curve));

    const QVector<Point> dense = densePixelCurve(curve);
    const QVector<Point> strokePixels = stroke::toPixels(strokeCanvas, kSize, kSize);
    double worst = 0.0;
    for (const Point& p : strokePixels)
        worst = std::max(worst, distanceToPolyline(p, dense));
    EXPECT_LE(worst, tolerance);

    double stray = 0.0;
    for (int i = 0; i < dense.size(); i += 7)
        stray = std::max(stray, distanceToPolyline(dense[i], strokePixels));
    EXPECT_LE(stray, tolerance);
}

struct SmoothStroke {
    const char* name;
    std::function<Point(double)> path;
    double t0, t1;
    bool closed;
    double step = 1.0;      // pixels of arc length between positions
    int repeat = 1;         // copies of each position
    double tolerance = 2.0; // pixels
};

class SmoothStrokeFit : public ::testing::TestWithParam<SmoothStroke> {};

// Strokes sampled at one-pixel steps are followed within 2 pixels. Positions that skip a few
// pixels or repeat (as mouse events do) loosen the straight-run test, so those strokes are held
// to 3 pixels.
TEST_P(SmoothStrokeFit, CurveFollowsTheStrokeWithinTolerance)
{
    const SmoothStroke& s = GetParam();
    expectCurveFollowsStroke(sampledStroke(s.path, s.t0, s.t1, s.step, s.repeat), s.closed,
                             s.tolerance);
}

// One position per column: the steep flanks step by up to 1.8 pixels, so the straight-run walk
// can leave a run without meeting the violated constraint along its last unit step. Such a run
// must still end before the point that broke it (otherwise an edge cuts 4 pixels off the stroke).
TEST(SmoothStrokeColumns, SteepSineSampledOncePerColumn)
{
    QVector<Point> stroke;
    for (int x = 40; x < 470; ++x)
        stroke.append(Point((x + 0.5) / (kSize / 2.0) - 1.0,
                            1.0 - (256 + 60 * std::sin(x / 40.0)) / (kSize / 2.0)));
    expectCurveFollowsStroke(stroke, false, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SmoothStrokeFit,
    ::testing::Values(
        SmoothStroke{"circle",
                     [](double t) {
                         return Point(256 + 120 * std::cos(t), 256 + 120 * std::sin(t));
                     },
                     0.0, 2 * kPi, true},
        SmoothStroke{"sine", [](double t) { return Point(40 + t, 256 + 60 * std::sin(t / 50)); },
                     0.0, 430.0, false},
        SmoothStroke{"sineInMouseSteps",
                     [](double t) { return Point(40 + t, 256 + 60 * std::sin(t / 50)); }, 0.0,
                     430.0, false, 4.0, 2, 3.0},
        SmoothStroke{"circleInMouseSteps",
                     [](double t) {
                         return Point(256 + 120 * std::cos(t), 256 + 120 * std::sin(t));
                     },
                     0.0, 2 * kPi, true, 6.0, 3, 3.0},
        SmoothStroke{"smallCircle",
                     [](double t) { return Point(300 + 20 * std::cos(t), 200 - 20 * std::sin(t)); },
                     0.0, 2 * kPi, true},
        SmoothStroke{"spiral",
                     [](double t) {
                         const double r = 30 + 10 * t;
                         return Point(256 + r * std::cos(t), 256 + r * std::sin(t));
                     },
                     0.0, 6 * kPi, false}),
    [](const ::testing::TestParamInfo<SmoothStroke>& info) {
        return std::string(info.param.name);
    });
