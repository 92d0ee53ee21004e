// The descent direction of the colour fit: an error on one side of a curve pulls that side's
// colour points, in its channel and sign, and leaves the other side's alone.
#include "test_solver_support.h"

#include "trace_adjoint.h"

using namespace solvertest;

TEST(TraceAdjoint, ErrorOnOneSidePullsOnlyThatSidesColours)
{
    constexpr int size = 64;
    CurveSet drawing;
    // Up the middle of the canvas: its left side is the left half.
    drawing.addCurve(straightCurve({0.0, -1.2}, {0.0, 1.2}, QColor(0, 0, 0), QColor(0, 0, 0)));
    std::vector<float> residual(size_t(size) * size * 3, 0.0f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float* r = &residual[(size_t(y) * size + x) * 3];
            if (x < size / 2)
                r[0] = 10.0f; // too little red on the left
            else
                r[1] = -5.0f; // too much green on the right
        }
    const std::vector<Rgb> direction = colorDescentDirection(drawing, residual, size, size);
    ASSERT_EQ(direction.size(), 4u); // two left points, then two right ones
    for (int k = 0; k < 2; ++k) {
        const Rgb& left = direction[size_t(k)];
        const Rgb& right = direction[size_t(k) + 2];
        // The strip pixels' mean error at least, plus what the free pixels beside carry back.
        EXPECT_GE(left[0], 10.0);
        EXPECT_LE(right[1], -5.0);
        for (double other : {left[1], left[2], right[0], right[2]})
            EXPECT_DOUBLE_EQ(other, 0.0);
    }
}
