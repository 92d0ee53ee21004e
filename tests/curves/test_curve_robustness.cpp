// Every operation, on ordinary and degenerate curves, with valid and invalid arguments, keeps the
// curve consistent: counts equal sizes, positions ascend, coordinates stay finite.
#include "curve.h"
#include "curve_fixtures.h"
#include "pixel_reader.h"
#include "curve_sampling.h"
#include "curve_transforms.h"
#include "curve_topology.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>

using namespace fixtures;

namespace {

class GreyPicture : public PixelReader {
public:
    int width() const override { return 64; }
    int height() const override { return 48; }
    std::array<float, 4> readPixel(int column, int row) const override
    {
        return {column / 64.0f, row / 48.0f, 0.5f, 1.0f};
    }
};

// All control points at one place, attribute points at both ends.
Curve collapsedCurve()
{
    Curve c;
    for (int i = 0; i < 7; ++i)
        c.appendControlPoint(0.25, 0.25);
    addEndAttributes(c, kRed, kBlue, 4);
    return c;
}

// A curve whose first attribute points were deleted, so lists start after globalID 0.
Curve curveWithLateLists()
{
    Curve c = humpCurve();
    c.left_color_ids[0] = 6;
    c.right_color_ids[0] = 12;
    c.blur_ids[0] = 19;
    return c;
}

Curve emptyListsCurve()
{
    Curve c = straightCurve(3);
    c.left_colors.clear();
    c.left_color_ids.clear();
    c.right_colors.clear();
    c.right_color_ids.clear();
    c.blur_values.clear();
    c.blur_ids.clear();
    c.nb_left_colors = c.nb_right_colors = c.nb_blur_points = 0;
    return c;
}

void checkCurve(const Curve& c, const std::string& step)
{
    SCOPED_TRACE(step);
    expectListsConsistent(c);
    EXPECT_TRUE(allFinite(c));
    c.forEachSample([&](const CurveSample& s) {
        ASSERT_TRUE(std::isfinite(s.point.x) && std::isfinite(s.point.y));
        ASSERT_NEAR(s.normal.norm(), 1.0, 1e-9);
    });
}

} // namespace

TEST(Robustness, RandomEditSequencesKeepCurvesConsistent)
{
    std::mt19937 rng(1234);
    const QImage contour = [] {
        QImage img(100, 80, QImage::Format_RGB32);
        img.fill(Qt::white);
        for (int r = 30; r < 33; ++r)
            for (int col = 0; col < 100; ++col)
                img.setPixel(col, r, qRgb(0, 0, 0));
        return img;
    }();
    const GreyPicture picture;
    const QVector<Curve> starts{straightCurve(3), humpCurve(),          closedLoop(),
                                collapsedCurve(), curveWithLateLists(), emptyListsCurve()};

    for (int run = 0; run < 60; ++run) {
        Curve c = starts[run % starts.size()];
        for (int step = 0; step < 25; ++step) {
            const int n = c.nb_control_points;
            const int anyIndex = std::uniform_int_distribution<int>(-2, n + 2)(rng);
            const int anyID =
                std::uniform_int_distribution<int>(-5, 10 * c.segmentCount() + 15)(rng);
            const double x = std::uniform_real_distribution<double>(-1.2, 1.2)(rng);
            const double y = std::uniform_real_distribution<double>(-1.2, 1.2)(rng);
            const double t = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
            const AttributeKind kind = AttributeKind(std::uniform_int_distribution<int>(0, 2)(rng));
            const int op = std::uniform_int_distribution<int>(0, 17)(rng);
            Curve other;
            switch (op) {
            case 0: c.insertAttribute(anyID, kind); break;
            case 1: c.deleteAttribute(anyID, kind); break;
            case 2: insertControlPoint(c, x, y, anyIndex / 3 * 3 + 2, t); break;
            case 3: deleteControlPoint(c, anyIndex); break;
            case 4:
                if (split(c, x, y, anyIndex / 3 * 3 + 2, t, other))
                    checkCurve(other, "split tail");
                break;
            case 5:
                c.selectControlPoint(anyIndex);
                c.moveSelectedControlPoint(x, y);
                break;
            case 6: c.setClosed(!c.isClosed()); break;
            case 7: smooth(c); break;
            case 8: increaseContrast(c); break;
            case 9: decreaseContrast(c); break;
            case 10: shiftBlur(c, anyIndex - 3); break;
            case 11: snakeStep(c, contour); break;
            case 12: sampleFromExample(c, contour); break;
            case 13: sampleRenderedColors(c, anyIndex % 2, picture); break;
            case 14: c.setLeftColorOf(QColor(x > 0 ? 255 : 0, 0, 0), anyIndex); break;
            case 15: c.setBlurOf(anyIndex, anyIndex); break;
            case 16: switchColors(c); break;
            case 17: c.toggleStylized(); break;
            }
            checkCurve(c, "run " + std::to_string(run) + " step " + std::to_string(step) + " op "
                              + std::to_string(op));
            if (HasFatalFailure() || HasNonfatalFailure())
                return;
        }
    }
}
