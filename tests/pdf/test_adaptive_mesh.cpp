// The adaptive mesh on the CPU, against pictures whose colours are known exactly: a flat colour
// on each side of a bent step line. The mesh must keep the step a step: every triangle lies on
// one side, and every corner of it, those on the line included, carries that side's colour.
#include "adaptive_mesh.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSide = 1024; // the solve's side at twice the canvas, as the export uses
const std::array<float, 3> kAbove = {200.0f, 40.0f, 60.0f};
const std::array<float, 3> kBelow = {30.0f, 120.0f, 220.0f};

// A smooth colour on each side of the line, sRGB levels at canvas point (x, y).
std::array<float, 3> smoothAbove(double x, double y)
{
    return {float(120 + 80 * std::sin(5.2 * x + 1.6 * y)), float(70 + 50 * std::cos(4.4 * y)),
            float(150 + 60 * std::sin(3.6 * x) * std::cos(2.8 * y))};
}
std::array<float, 3> smoothBelow(double x, double y)
{
    return {float(60 + 40 * std::cos(3.2 * x - 4 * y)), float(180 + 50 * std::sin(4.8 * x)),
            float(90 + 70 * std::cos(2.4 * x + 3.6 * y))};
}

// A wavy line across the canvas and beyond both sides, of many short pieces with corners at
// coordinates that doubles do not hold exactly (as a curve's samples are).
StepLine wavyLine()
{
    StepLine line;
    for (int i = 0; i <= 60; ++i) {
        const double x = -1.2 + 2.4 * i / 60.0;
        line.points.emplace_back(x, 0.3 * std::sin(3.7 * x) + 0.01 * (i % 3));
        line.normals.emplace_back(0.0, 1.0);
    }
    return line;
}

// The line's height at canvas abscissa x (the line runs left to right).
double heightAt(const StepLine& line, double x)
{
    for (size_t i = 0; i + 1 < line.points.size(); ++i) {
        const Point &a = line.points[i], &b = line.points[i + 1];
        if (x >= a.x && x <= b.x)
            return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
    }
    return 0.0;
}

// Canvas point of the centre of pixel (x, row).
Point pixelCentre(int x, int row)
{
    return Point((x + 0.5) * 2.0 / kSide - 1.0, 1.0 - (row + 0.5) * 2.0 / kSide);
}

using Colouring = std::array<float, 3> (*)(double x, double y);
std::array<float, 3> flatAbove(double, double) { return kAbove; }
std::array<float, 3> flatBelow(double, double) { return kBelow; }

// `above` above the line, `below` below it, each pixel by its centre, in 16 bits a channel.
QImage steppedPicture(const StepLine& line, Colouring above = flatAbove,
                      Colouring below = flatBelow)
{
    QImage picture(kSide, kSide, QImage::Format_RGBA64);
    for (int row = 0; row < kSide; ++row)
        for (int x = 0; x < kSide; ++x) {
            const Point p = pixelCentre(x, row);
            const auto c = p.y > heightAt(line, p.x) ? above(p.x, p.y) : below(p.x, p.y);
            picture.setPixelColor(x, row,
                                  QColor::fromRgbF(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0));
        }
    return picture;
}

// The mesh's colour at every pixel centre inside one of its triangles, -1 elsewhere.
std::vector<std::array<float, 3>> meshPicture(const GouraudMesh& mesh)
{
    std::vector<std::array<float, 3>> out(size_t(kSide) * kSide, {-1.0f, -1.0f, -1.0f});
    for (const ShadedTriangle& t : mesh) {
        double px[3], py[3];
        for (int k = 0; k < 3; ++k) {
            px[k] = (t.corners[k].position.x + 1.0) * 0.5 * kSide;
            py[k] = (1.0 - t.corners[k].position.y) * 0.5 * kSide;
        }
        const double area = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
        if (area == 0.0)
            continue;
        const int x0 = std::max(0, int(std::min({px[0], px[1], px[2]})));
        const int x1 = std::min(kSide - 1, int(std::max({px[0], px[1], px[2]})));
        const int y0 = std::max(0, int(std::min({py[0], py[1], py[2]})));
        const int y1 = std::min(kSide - 1, int(std::max({py[0], py[1], py[2]})));
        for (int row = y0; row <= y1; ++row)
            for (int x = x0; x <= x1; ++x) {
                const double cx = x + 0.5, cy = row + 0.5;
                double w[3];
                for (int k = 0; k < 3; ++k) {
                    const int i = (k + 1) % 3, j = (k + 2) % 3;
                    w[k] = ((px[i] - cx) * (py[j] - cy) - (px[j] - cx) * (py[i] - cy)) / area;
                }
                if (w[0] < 0 || w[1] < 0 || w[2] < 0)
                    continue;
                auto& c = out[size_t(row) * kSide + x];
                for (int k = 0; k < 3; ++k)
                    c[size_t(k)] = float(w[0] * t.corners[0].rgb[size_t(k)]
                                         + w[1] * t.corners[1].rgb[size_t(k)]
                                         + w[2] * t.corners[2].rgb[size_t(k)]);
            }
    }
    return out;
}

float colourDistance(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

TEST(AdaptiveMesh, CornersOnABentStepLineTakeTheColourOfTheirTrianglesSide)
{
    const StepLine line = wavyLine();
    const ReferencePicture picture(steppedPicture(line));
    MeshStatistics statistics;
    const GouraudMesh mesh = buildAdaptiveMesh(picture, {line}, MeshSettings(), &statistics);
    ASSERT_FALSE(mesh.empty());
    EXPECT_FALSE(statistics.capped);
    EXPECT_LE(statistics.worstError, MeshSettings().tolerance);
    int wrongCorners = 0;
    for (const ShadedTriangle& t : mesh) {
        const Point centroid(
            (t.corners[0].position.x + t.corners[1].position.x + t.corners[2].position.x) / 3.0,
            (t.corners[0].position.y + t.corners[1].position.y + t.corners[2].position.y) / 3.0);
        const auto& side = centroid.y > heightAt(line, centroid.x) ? kAbove : kBelow;
        for (const ShadedVertex& corner : t.corners)
            if (colourDistance(corner.rgb, side) > 1.0f && ++wrongCorners <= 5)
                ADD_FAILURE() << "corner (" << corner.position.x << ", " << corner.position.y
                              << ") of a triangle on the " << (&side == &kAbove ? "upper" : "lower")
                              << " side has (" << corner.rgb[0] << ", " << corner.rgb[1] << ", "
                              << corner.rgb[2] << ")";
    }
    EXPECT_EQ(wrongCorners, 0);
}

// A straight line crossing the wavy one at small angles, so that the two bound thin wedges.
StepLine shallowLine()
{
    StepLine line;
    for (double x : {-1.2, 1.2}) {
        line.points.emplace_back(x, 0.05 + 0.12 * x);
        line.normals.emplace_back(0.0, 1.0);
    }
    return line;
}

// Away from the steps (where the picture's pixels hold the step, which the mesh leaves to the
// ramps over it) every pixel of the mesh is within the tolerance of the picture: the thin
// triangles in the narrow wedges between two lines included.
TEST(AdaptiveMesh, FollowsSmoothColoursBetweenStepsWithinTheTolerance)
{
    const StepLine line = wavyLine(), other = shallowLine();
    // Each of the four regions its own smooth colouring.
    QImage image(kSide, kSide, QImage::Format_RGBA64);
    for (int row = 0; row < kSide; ++row)
        for (int x = 0; x < kSide; ++x) {
            const Point p = pixelCentre(x, row);
            const bool aboveWavy = p.y > heightAt(line, p.x);
            const bool aboveOther = p.y > heightAt(other, p.x);
            auto c = aboveWavy ? smoothAbove(p.x, p.y) : smoothBelow(p.x, p.y);
            if (aboveOther)
                c = {255.0f - c[1], c[2], 255.0f - c[0]};
            image.setPixelColor(x, row, QColor::fromRgbF(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0));
        }
    const ReferencePicture picture(image);
    const MeshSettings settings;
    MeshStatistics statistics;
    const auto drawn =
        meshPicture(buildAdaptiveMesh(picture, {line, other}, settings, &statistics));
    EXPECT_FALSE(statistics.capped);
    // Pixel centres closer to the line than this are the step's (MeshSettings::stepMargin,
    // plus the reach of the line's sloped pieces between two samples), in canvas units.
    const double margin = settings.stepMargin + 2.0 / kSide;
    double worst = 0.0;
    int compared = 0;
    for (int row = 0; row < kSide; ++row)
        for (int x = 0; x < kSide; ++x) {
            const Point p = pixelCentre(x, row);
            if (std::abs(p.y - heightAt(line, p.x)) < 3.0 * margin
                || std::abs(p.y - heightAt(other, p.x)) < 2.0 * margin)
                continue;
            const auto& mesh = drawn[size_t(row) * kSide + x];
            ASSERT_GE(mesh[0], 0.0f) << "pixel " << x << ", " << row << " outside every triangle";
            const float* want = picture.pixel(x, row);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, double(std::abs(mesh[size_t(c)] - want[c])));
            ++compared;
        }
    EXPECT_GT(compared, kSide * kSide / 2);
    EXPECT_LE(worst, settings.tolerance + 0.01);
}

} // namespace
