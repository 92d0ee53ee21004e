// The multigrid against an exact solve of the same discrete problem: the level-0 constraint and
// divergence images are read back, the Poisson equation they define is solved with a sparse
// direct solver, and the GPU picture is compared with it on the free pixels. The bound is the
// product's promise: at most 1/255 per channel, 0.3/255 root-mean-square, for the picture the
// editor shows after an edit, after a drag, and for the export.
#include "test_solver_support.h"
#include "curve_transforms.h"

#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <cstdio>
#include <random>

namespace solvertest {
namespace {

constexpr double kMaxError = 1.0 / 255.0;
constexpr double kRmsError = 0.3 / 255.0;

// The bound of a picture while the drawing moves: every frame within 1/255 root-mean-square and
// 4/255 at the 99.9th percentile of the channel errors.
constexpr double kMovingRmsError = 1.0 / 255.0;
constexpr double kMovingPercentileError = 4.0 / 255.0;

struct SolveError {
    double max = 0.0;
    double rms = 0.0;
    double p999 = 0.0; // 99.9th percentile of the channel errors
};

// Solves, for every free pixel p (constraint alpha 0.1 or less),
//   sum over in-canvas neighbours n of (u(n) - u(p)) = div(p),
// with constrained pixels fixed to their constraint colour: the fixed point of the Jacobi step
// (a neighbour outside the canvas repeats p, so it adds nothing). Returns the GPU picture's
// largest and root-mean-square channel error over the free pixels.
SolveError compareWithExactSolve(const Picture& constraints, const Picture& divergence,
                                 const Picture& solution)
{
    const int w = constraints.width, h = constraints.height;
    auto isFree = [&](int x, int y) { return constraints.alpha(x, y) <= 0.1f; };
    std::vector<int> index(size_t(w) * h, -1);
    int unknowns = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isFree(x, y))
                index[size_t(y) * w + x] = unknowns++;

    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(size_t(unknowns) * 5);
    Eigen::MatrixXd rhs = Eigen::MatrixXd::Zero(unknowns, 3);
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int row = index[size_t(y) * w + x];
            if (row < 0)
                continue;
            int degree = 0;
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                    continue;
                ++degree;
                const int col = index[size_t(ny) * w + nx];
                if (col >= 0)
                    entries.emplace_back(row, col, -1.0);
                else
                    for (int c = 0; c < 3; ++c)
                        rhs(row, c) += constraints.channel(nx, ny, c);
            }
            entries.emplace_back(row, row, double(degree));
            for (int c = 0; c < 3; ++c)
                rhs(row, c) -= divergence.channel(x, y, c);
        }
    }
    Eigen::SparseMatrix<double> matrix(unknowns, unknowns);
    matrix.setFromTriplets(entries.begin(), entries.end());
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver(matrix);
    EXPECT_EQ(solver.info(), Eigen::Success) << "every free region must touch a constraint";
    const Eigen::MatrixXd exact = solver.solve(rhs);

    SolveError error;
    double squares = 0.0;
    std::vector<double> errors;
    errors.reserve(size_t(unknowns) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int row = index[size_t(y) * w + x];
            if (row < 0)
                continue;
            for (int c = 0; c < 3; ++c) {
                const double d = std::abs(solution.channel(x, y, c) - exact(row, c));
                error.max = std::max(error.max, d);
                squares += d * d;
                errors.push_back(d);
            }
        }
    }
    error.rms = std::sqrt(squares / (3.0 * std::max(1, unknowns)));
    if (!errors.empty()) {
        const size_t k = std::min(errors.size() - 1, size_t(0.999 * errors.size()));
        std::nth_element(errors.begin(), errors.begin() + k, errors.end());
        error.p999 = errors[k];
    }
    return error;
}

struct Drawing {
    const char* name;
    std::vector<Curve> curves;
};

std::vector<Drawing> hardDrawings()
{
    const QColor red(220, 30, 30), blue(20, 40, 210), green(30, 200, 60), white(250, 250, 250);
    return {
        {"circle r 0.9", {circleCurve({0.0, 0.0}, 0.9, red, blue)}},
        {"circle r 0.1", {circleCurve({0.1, -0.2}, 0.1, red, blue)}},
        {"nested shapes",
         {circleCurve({0.0, 0.0}, 0.8, red, blue), circleCurve({0.1, 0.05}, 0.45, green, red),
          circleCurve({0.15, 0.1}, 0.15, white, green)}},
        {"across the canvas edge", {circleCurve({0.85, 0.3}, 0.6, red, blue)}},
        {"30 random curves", randomCurves(30, 7u)},
        // Busy drawings: a drag step there needs more than the re-solve's fixed cycles.
        {"100 random curves", randomCurves(100, 5u)},
        {"300 random curves", randomCurves(300, 9u)},
        {"a realistic drawing",
         {circleCurve({-0.3, 0.25}, 0.35, QColor(220, 60, 40), QColor(40, 90, 200)),
          straightCurve({-0.9, -0.7}, {0.8, 0.1}, QColor(250, 230, 60), QColor(30, 140, 70)),
          straightCurve({0.2, -0.95}, {0.45, 0.9}, QColor(240, 240, 240), QColor(20, 20, 30)),
          straightCurve({0.5, 0.6}, {0.85, 0.8}, QColor(200, 40, 160), QColor(90, 200, 220))}},
    };
}

class ExactSolveTest : public SolverTest {
protected:
    void draw(const Drawing& d)
    {
        drawing.clear();
        for (const Curve& curve : d.curves)
            drawing.addCurve(curve);
    }

    SolveError error(const char* what, const char* name)
    {
        const SolveError e = compareWithExactSolve(picture(SolverImage::ColorConstraints),
                                                   picture(SolverImage::Divergence), picture());
        std::printf("%-24s %-10s max %.3f/255, rms %.3f/255, 99.9%% %.3f/255\n", name, what,
                    e.max * 255.0, e.rms * 255.0, e.p999 * 255.0);
        return e;
    }

    void expectMovingBound(const char* what, const char* name)
    {
        const SolveError e = error(what, name);
        EXPECT_LE(e.rms, kMovingRmsError) << name << ", " << what;
        EXPECT_LE(e.p999, kMovingPercentileError) << name << ", " << what;
    }

    void expectSolution(const char* what, const char* name)
    {
        const SolveError e = error(what, name);
        EXPECT_LE(e.max, kMaxError) << name << ", " << what;
        EXPECT_LE(e.rms, kRmsError) << name << ", " << what;
    }
};

// After an edit the editor solves afresh at its default setting: that picture must be the
// solution already.
TEST_F(ExactSolveTest, PictureAfterAnEditIsTheSolution)
{
    ASSERT_EQ(solver->settings().iterations, kDefaultIterations);
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        solver->fullUpdate();
        expectSolution("edit", d.name);
    }
}

// The blur map is the solution of the Laplace equation between the blur strips (no right-hand
// side): from the fresh solve the editor runs it must hold the same bounds as the colours. With
// the blur on, fullUpdate solves it; with the blur off, preparing its display does.
TEST_F(ExactSolveTest, BlurMapAfterAnEditIsTheSolution)
{
    bool blurOn = false;
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        int blur = 2;
        for (Curve& curve : drawing.curves) {
            setUniformBlur(curve, blur);
            blur = 2 + (blur + 5) % 14;
        }
        blurOn = !blurOn;
        solver->settings().blurEnabled = blurOn;
        solver->fullUpdate();
        if (!blurOn)
            solver->prepareDisplay(DisplayMode::BlurMap);
        const Picture constraints = picture(SolverImage::BlurConstraints);
        Picture noDivergence = constraints;
        std::fill(noDivergence.pixels.begin(), noDivergence.pixels.end(), 0.0f);
        const SolveError e =
            compareWithExactSolve(constraints, noDivergence, picture(SolverImage::BlurSolution));
        std::printf("%-24s blur map   max %.3f/255, rms %.3f/255\n", d.name, e.max * 255.0,
                    e.rms * 255.0);
        EXPECT_LE(e.max, kMaxError) << d.name;
        EXPECT_LE(e.rms, kRmsError) << d.name;
    }
}

// A drag re-solves from the previous picture on every mouse move; after a run of moves each
// picture must still be the solution of the drawing as it is then.
TEST_F(ExactSolveTest, PictureDuringADragIsTheSolution)
{
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        solver->fullUpdate();
        for (int move = 1; move <= 6; ++move) {
            Curve& dragged = drawing.curves[0];
            dragged.setDragAnchor(0.0, 0.0);
            translateTo(dragged, 8.0 / kSize, -6.0 / kSize); // 4 and 3 pixels
            solver->update();
        }
        expectSolution("drag", d.name);
    }
}

// A colour edit re-solves from the previous picture (the quick update) with every colour point
// of one curve changed: the largest change an edit of the panel makes at once.
TEST_F(ExactSolveTest, PictureAfterAColourEditIsTheSolution)
{
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        solver->fullUpdate();
        Curve& edited = drawing.curves[0];
        for (int i = 0; i < edited.nb_left_colors; ++i)
            edited.setLeftColorOf(QColor(40, 220, 90), i);
        for (int i = 0; i < edited.nb_right_colors; ++i)
            edited.setRightColorOf(QColor(250, 200, 20), i);
        solver->update();
        expectSolution("colour", d.name);
    }
}

TEST_F(ExactSolveTest, ExportedPictureIsTheSolution)
{
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        solver->renderFinalPicture();
        expectSolution("export", d.name);
    }
}

// A drag that moves a curve a long way in one step (a fast mouse) still ends on the solution.
TEST_F(ExactSolveTest, LongJumpDuringADragEndsOnTheSolution)
{
    const Drawing d = hardDrawings()[2];
    draw(d);
    solver->fullUpdate();
    drawing.curves[1].setDragAnchor(0.0, 0.0);
    translateTo(drawing.curves[1], -0.35, -0.3);
    solver->update();
    expectSolution("jump", d.name);
}

// Each re-solve starts from the previous answer, so an error left by one drag step is where the
// next one starts: every picture of a chain of steps must be the solution.
TEST_F(ExactSolveTest, EveryStepOfADragChainIsTheSolution)
{
    for (const Drawing& d : hardDrawings()) {
        draw(d);
        solver->fullUpdate();
        Curve& dragged = drawing.curves.back();
        dragged.setDragAnchor(0.0, 0.0);
        for (int step = 1; step <= 5; ++step) {
            translateTo(dragged, step * 6.0 / kSize, step * -4.0 / kSize); // 3 and 2 pixels
            solver->update();
            char what[16];
            std::snprintf(what, sizeof what, "step %d", step);
            expectSolution(what, d.name);
        }
    }
}

// Two curves 2 px apart leave a channel one texel wide between them, which the coarse levels
// cannot see as free; its colours must still be the solution, also after a drag step.
TEST_F(ExactSolveTest, ChannelBetweenCurvesTwoPixelsApartIsTheSolution)
{
    const double gap = 4.0 / kSize; // 2 pixels
    const Drawing d{"curves 2 px apart",
                    {straightCurve({-0.8, -0.6}, {0.7, 0.5}, QColor(230, 40, 40),
                                   QColor(40, 230, 40)),
                     straightCurve({-0.8, -0.6 + gap}, {0.7, 0.5 + gap}, QColor(40, 40, 230),
                                   QColor(240, 240, 20))}};
    draw(d);
    solver->fullUpdate();
    expectSolution("edit", d.name);
    drawing.curves[1].setDragAnchor(0.0, 0.0);
    translateTo(drawing.curves[1], 2.0 / kSize, 0.0);
    solver->update();
    expectSolution("drag", d.name);
}

TEST_F(ExactSolveTest, DrawingOfAThousandCurvesIsTheSolution)
{
    const Drawing d{"1000 random curves", randomCurves(1000, 11u)};
    draw(d);
    solver->fullUpdate();
    expectSolution("edit", d.name);
    drawing.curves[0].setDragAnchor(0.0, 0.0);
    translateTo(drawing.curves[0], 6.0 / kSize, 4.0 / kSize);
    solver->update();
    expectSolution("drag", d.name);
}

// The editor's progressive solve: while a curve is dragged each frame re-rasterises and runs the
// moving frame's cycles from the previous frame's picture; every frame must hold the moving
// bound against the exact solve of its own drawing (a long jump and a channel 2 px wide
// included). When the pointer rests, the first frame's cycles (100 ms at the drag's frame cost)
// must bring the picture to the resting bound, the stop rule saying so.
TEST_F(ExactSolveTest, ProgressiveDragHoldsTheMovingBoundAndRestsExact)
{
    const QColor red(220, 30, 30), blue(20, 40, 210), green(30, 200, 60), yellow(240, 240, 20);
    const double gap = 4.0 / kSize; // 2 pixels
    struct Chain {
        Drawing drawing;
        Point jump; // the first move, then 19 moves of `step`
        Point step;
    };
    const std::vector<Chain> chains = {
        {hardDrawings()[2], {-0.35, -0.3}, {6.0 / kSize, -4.0 / kSize}},
        {{"curves 2 px apart",
          {straightCurve({-0.8, -0.6}, {0.7, 0.5}, red, green),
           straightCurve({-0.8, -0.6 + gap}, {0.7, 0.5 + gap}, blue, yellow)}},
         {0.0, 0.0},
         {6.0 / kSize, 4.4 / kSize}}, // along the curves: the channel stays 2 px wide
        {{"1000 random curves", randomCurves(1000, 11u)},
         {6.0 / kSize, 4.0 / kSize},
         {6.0 / kSize, -4.0 / kSize}},
    };
    for (const Chain& chain : chains) {
        draw(chain.drawing);
        solver->fullUpdate();
        Curve& dragged = drawing.curves.back();
        dragged.setDragAnchor(0.0, 0.0);
        Point at = chain.jump;
        for (int frame = 1; frame <= 20; ++frame) {
            if (frame > 1)
                at = at + chain.step;
            translateTo(dragged, at.x, at.y);
            solver->beginProgressiveSolve(false);
            EXPECT_FALSE(solver->progressiveStep(false, DiffusionSolver::kMovingFrameCycles));
            char what[16];
            std::snprintf(what, sizeof what, "frame %d", frame);
            expectMovingBound(what, chain.drawing.name);
        }
        EXPECT_TRUE(solver->progressiveStep(true, DiffusionSolver::kFirstRestCycles))
            << chain.drawing.name << ": not settled in the first frame at rest";
        expectSolution("rested", chain.drawing.name);
    }
}

} // namespace
} // namespace solvertest
