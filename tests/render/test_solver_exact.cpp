// The multigrid against an exact solve of the same discrete problem: the level-0 constraint and
// divergence images are read back, the Poisson equation they define is solved with a sparse
// direct solver, and the GPU picture is compared with it on the free pixels.
#include "test_solver_support.h"

#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>

#include <cstdio>

namespace solvertest {
namespace {

struct SolveError {
    double max = 0.0;
    double rms = 0.0;
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
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int row = index[size_t(y) * w + x];
            if (row < 0)
                continue;
            for (int c = 0; c < 3; ++c) {
                const double d = std::abs(solution.channel(x, y, c) - exact(row, c));
                error.max = std::max(error.max, d);
                squares += d * d;
            }
        }
    }
    error.rms = std::sqrt(squares / (3.0 * std::max(1, unknowns)));
    return error;
}

// A realistic small drawing: a closed shape, two crossing strokes (their crossing is free and
// shaped by the divergence alone), and a short open curve ending in the middle of a region.
class ExactSolveTest : public SolverTest {
protected:
    void SetUp() override
    {
        SolverTest::SetUp();
        if (HasFatalFailure())
            return;
        drawing.addCurve(circleCurve({-0.3, 0.25}, 0.35, QColor(220, 60, 40), QColor(40, 90, 200)));
        drawing.addCurve(straightCurve({-0.9, -0.7}, {0.8, 0.1}, QColor(250, 230, 60), QColor(30, 140, 70)));
        drawing.addCurve(straightCurve({0.2, -0.95}, {0.45, 0.9}, QColor(240, 240, 240), QColor(20, 20, 30)));
        drawing.addCurve(straightCurve({0.5, 0.6}, {0.85, 0.8}, QColor(200, 40, 160), QColor(90, 200, 220)));
    }

    SolveError errorAt(int multiplier)
    {
        solver->setIterations(multiplier);
        solver->update();
        return compareWithExactSolve(picture(SolverImage::ColorConstraints),
                                     picture(SolverImage::Divergence), picture());
    }
};

TEST_F(ExactSolveTest, MultigridAgreesWithTheExactSolveAtTheExportSetting)
{
    const SolveError exportError = errorAt(50);
    const SolveError interactiveError = errorAt(3);
    std::printf("multigrid against exact solve: multiplier 50: max %.4f, rms %.4f; "
                "multiplier 3: max %.4f, rms %.4f\n",
                exportError.max, exportError.rms, interactiveError.max, interactiveError.rms);
    // Measured 0.044 RMS and 0.154 at most: the nested cascade relaxes the smooth part of the
    // error slowly. A sign error, lost constraints or a drifting store give 0.15 RMS and more.
    EXPECT_LT(exportError.rms, 0.06);
    EXPECT_LT(exportError.max, 0.2);
    // More relaxation must not make it worse.
    EXPECT_LE(exportError.rms, interactiveError.rms);
}

} // namespace
} // namespace solvertest
