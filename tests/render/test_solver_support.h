#pragma once

// Shared pieces of the solver and output tests: a 512 x 512 solver over a curve set, named
// curves, and read-back pictures addressed by pixel or by canvas point.

#include "gl_fixture.h"

#include "curve.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "test_curves.h"

#include <QColor>

#include <algorithm>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace solvertest {

constexpr int kSize = 512;

using Rgb = std::array<double, 3>;

// Canvas coordinate of the centre of pixel column / row i, and the pixel holding a coordinate.
inline double centreOf(int i) { return (i + 0.5) * 2.0 / kSize - 1.0; }
inline int pixelOf(double c) { return int(std::floor((c + 1.0) * 0.5 * kSize)); }

inline Rgb rgbOf(const QColor& c) { return {c.redF(), c.greenF(), c.blueF()}; }

// One read-back image: RGBA floats, rows bottom-up.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;

    float channel(int x, int y, int c) const { return pixels[(size_t(y) * width + x) * 4 + c]; }
    Rgb rgb(int x, int y) const { return {channel(x, y, 0), channel(x, y, 1), channel(x, y, 2)}; }
    float alpha(int x, int y) const { return channel(x, y, 3); }
    // Largest channel difference from `expected` at pixel (x, y).
    double distance(int x, int y, const Rgb& expected) const
    {
        double d = 0.0;
        for (int c = 0; c < 3; ++c)
            d = std::max(d, std::abs(channel(x, y, c) - expected[c]));
        return d;
    }
};

inline Picture readPicture(const DiffusionSolver& solver, SolverImage image, int level = 0)
{
    return {solver.images().levelWidthOf(level), solver.images().levelHeightOf(level),
            solver.images().readImage(image, level)};
}

// A solver over `drawing` at the viewer's settings (512 x 512, multiplier 3, zoom 1).
class SolverTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        setLifetimeThreshold(0);
        solver = std::make_unique<DiffusionSolver>(kSize, kSize, 3, 1.0, 0.0, 0.0);
        ASSERT_TRUE(solver->initialize()) << solver->status().toStdString();
        ASSERT_TRUE(solver->allProgramsLinked());
        initCurveRendering(1.0 / kSize, kSize, kSize, solver->images().overviewFramebufferName());
        solver->setCurveSet(drawing);
    }
    void TearDown() override
    {
        solver.reset();
        GlTest::TearDown();
    }

    Picture picture(SolverImage image = SolverImage::ColorSolution, int level = 0) const
    {
        return readPicture(*solver, image, level);
    }

    CurveSet drawing;
    std::unique_ptr<DiffusionSolver> solver;
};

// Long random curves of three segments wandering across the whole canvas (and beyond its
// edge), so that they cross one another and cut the canvas into pockets of every size.
inline std::vector<Curve> randomCurves(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> position(-1.1, 1.1);
    std::uniform_int_distribution<int> channel(0, 255);
    auto color = [&] { return QColor(channel(random), channel(random), channel(random)); };
    std::vector<Curve> curves;
    for (int c = 0; c < count; ++c) {
        Curve curve;
        for (int i = 0; i <= 9; ++i)
            curve.appendControlPoint(position(random), position(random));
        for (int id : {0, 15, 30}) {
            curve.appendLeftColor(id, false, color());
            curve.appendRightColor(id, false, color());
            curve.appendBlur(id, false, 0);
        }
        curve.updateBoundingBox();
        curves.push_back(curve);
    }
    return curves;
}

} // namespace solvertest
