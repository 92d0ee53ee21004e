#include "curve_set.h"
#include "curve_set_layers.h"
#include "test_curve_set_helpers.h"

#include <gtest/gtest.h>

using namespace doc_test;

namespace {

// Keyframe A: one curve from (0, 0) with black left colours, blur 3, lifetime 0.
// Keyframe B: the same curve moved to (1, -1), white left colours, blur 4, lifetime 32, and its
// attribute points at globalID 0 and 20 instead of 0 and 10.
struct KeyframePair : ::testing::Test {
    void SetUp() override
    {
        Curve ca = curveThrough({Point(0, 0), Point(0.1, 0), Point(0.2, 0), Point(0.3, 0)},
                                QColor(0, 0, 0), QColor(255, 0, 100), 3);
        ca.lifetime = 0;
        a.addCurve(ca);
        a.image_width = 300;
        a.image_height = 200;

        Curve cb;
        for (const Point& p : {Point(1, -1), Point(1.1, -1), Point(1.2, -1), Point(1.3, -1)})
            cb.appendControlPoint(p.x, p.y);
        cb.appendLeftColor(0, false, QColor(255, 255, 255));
        cb.appendLeftColor(20, false, QColor(255, 255, 255));
        cb.appendRightColor(0, false, QColor(0, 255, 100));
        cb.appendRightColor(20, false, QColor(0, 255, 100));
        cb.appendBlur(0, false, 4);
        cb.appendBlur(20, false, 4);
        cb.lifetime = 32;
        b.addCurve(cb);
    }

    CurveSet a, b, out;
};

} // namespace

TEST_F(KeyframePair, HalfWayMixesAndRounds)
{
    interpolateSets(a, b, out, 0.5);
    ASSERT_EQ(out.nb_curves, 1);
    const Curve& c = out.curve(0);
    EXPECT_TRUE(near(c.control_points[0], Point(0.5, -0.5), 1e-12));
    EXPECT_EQ(c.left_colors[0], QColor(128, 128, 128));
    EXPECT_EQ(c.right_colors[0], QColor(128, 128, 100));
    EXPECT_EQ(c.blur_values[0], 4);
    EXPECT_EQ(c.lifetime, 16);
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 10})) << "positions stay A's";
    EXPECT_EQ(out.image_width, 300);
    EXPECT_EQ(out.image_height, 200);
    EXPECT_TRUE(near(c.bbox_min, Point(0.5, -0.5), 1e-12)) << "box recomputed for selection";
}

TEST_F(KeyframePair, SecondFrameOfAStep)
{
    interpolateSets(a, b, out, 0.02);
    EXPECT_EQ(out.curve(0).left_colors[1], QColor(5, 5, 5));
    EXPECT_EQ(out.curve(0).lifetime, 1);
}

TEST_F(KeyframePair, EndsAreTheKeyframes)
{
    interpolateSets(a, b, out, 0.0);
    EXPECT_EQ(out.curve(0).control_points, a.curve(0).control_points);
    EXPECT_EQ(out.curve(0).left_colors, a.curve(0).left_colors);
    EXPECT_EQ(out.curve(0).blur_values, a.curve(0).blur_values);
    EXPECT_EQ(out.curve(0).lifetime, 0);

    interpolateSets(a, b, out, 1.0);
    EXPECT_EQ(out.curve(0).control_points, b.curve(0).control_points);
    EXPECT_EQ(out.curve(0).left_colors, b.curve(0).left_colors);
    EXPECT_EQ(out.curve(0).right_colors, b.curve(0).right_colors);
    EXPECT_EQ(out.curve(0).blur_values, b.curve(0).blur_values);
    EXPECT_EQ(out.curve(0).lifetime, 32);
    EXPECT_EQ(out.curve(0).blur_ids, (QVector<int>{0, 10}));
}

TEST_F(KeyframePair, OutputIsOverwrittenWhole)
{
    out = ladder(5);
    out.setCurrentCurve(3);
    out.copied_blur = 7;
    interpolateSets(a, b, out, 0.3);
    EXPECT_EQ(out.nb_curves, 1);
    EXPECT_EQ(out.curves.size(), 1);
    EXPECT_EQ(out.current_curve, -1);
    EXPECT_EQ(out.copied_blur, -1);
}

TEST(KeyframeBlend, ASetBlendedWithItselfIsUnchanged)
{
    CurveSet set = ladder(3);
    set.curve(1).lifetime = 17;
    CurveSet out;
    for (double t : {0.0, 0.02, 0.37, 0.5, 1.0}) {
        interpolateSets(set, set, out, t);
        ASSERT_EQ(out.nb_curves, 3);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(out.curve(i).control_points.size(), set.curve(i).control_points.size());
            for (int k = 0; k < set.curve(i).control_points.size(); ++k)
                EXPECT_TRUE(
                    near(out.curve(i).control_points[k], set.curve(i).control_points[k], 1e-15))
                    << t;
            EXPECT_EQ(out.curve(i).left_colors, set.curve(i).left_colors) << t;
            EXPECT_EQ(out.curve(i).right_colors, set.curve(i).right_colors) << t;
            EXPECT_EQ(out.curve(i).blur_values, set.curve(i).blur_values) << t;
            EXPECT_EQ(out.curve(i).lifetime, set.curve(i).lifetime) << t;
        }
    }
}

TEST(KeyframeBlend, OutputMayBeOneOfTheKeyframes)
{
    CurveSet a = ladder(2);
    CurveSet b = ladder(2);
    for (Curve& c : b.curves)
        for (Point& p : c.control_points)
            p.x += 1.0;
    interpolateSets(a, b, a, 0.5);
    ASSERT_EQ(a.nb_curves, 2);
    EXPECT_TRUE(near(a.curve(0).control_points[0], Point(0.0, 0.0), 1e-12));
}

TEST(KeyframeBlend, DifferentCurveCountsBlendTheCommonCurves)
{
    CurveSet three = ladder(3);
    CurveSet two = ladder(2);
    CurveSet out;
    interpolateSets(three, two, out, 0.5);
    EXPECT_EQ(out.nb_curves, 2);
    interpolateSets(two, three, out, 0.5);
    EXPECT_EQ(out.nb_curves, 2);
    interpolateSets(CurveSet(), three, out, 0.5);
    EXPECT_EQ(out.nb_curves, 0);
}

TEST(KeyframeBlend, DifferentPointCountsBlendTheCommonPoints)
{
    CurveSet longer, shorter, out;
    Curve two = curveThrough({Point(0, 0), Point(0.1, 0), Point(0.2, 0), Point(0.3, 0),
                              Point(0.4, 0), Point(0.5, 0), Point(0.6, 0)});
    two.insertAttribute(10, LeftColor);
    two.insertAttribute(10, Blur);
    longer.addCurve(two);
    Curve one = segment(0, 1, 0.3, 1);
    shorter.addCurve(one);

    for (const auto& [from, to] : {std::pair<CurveSet*, CurveSet*>{&longer, &shorter},
                                   std::pair<CurveSet*, CurveSet*>{&shorter, &longer}}) {
        interpolateSets(*from, *to, out, 0.5);
        ASSERT_EQ(out.nb_curves, 1);
        const Curve& c = out.curve(0);
        EXPECT_EQ(c.nb_control_points, 4);
        EXPECT_EQ(c.control_points.size(), 4);
        EXPECT_EQ(c.nb_left_colors, 2);
        EXPECT_EQ(c.left_colors.size(), c.left_color_ids.size());
        EXPECT_EQ(c.nb_blur_points, 2);
        EXPECT_EQ(c.blur_values.size(), c.blur_ids.size());
        EXPECT_NEAR(c.control_points[0].y, 0.5, 1e-12);
    }
}

// Layers blend layer by layer: a's names and runs, opacity mixed, a hidden side counting as
// opacity 0; colour points blend their opacity like their channels.
TEST(KeyframeBlend, OpacityOfLayersAndColourPointsIsBlended)
{
    CurveSet a, b, out;
    for (CurveSet* set : {&a, &b}) {
        renameLayer(*set, 0, set == &a ? "Ground" : "Other name");
        set->addCurve(segment(0, 0, 0.3, 0));
        addLayer(*set, "Top");
        set->addCurve(segment(0, 1, 0.3, 1));
        set->addCurve(segment(0, 2, 0.3, 2));
        addLayer(*set, "Fading in");
    }
    a.curve(1).setLeftColorOf(QColor(0, 0, 0, 0), 0);
    b.curve(1).setLeftColorOf(QColor(0, 0, 0, 255), 0);
    setLayerOpacity(a, 1, 1.0);
    setLayerOpacity(b, 1, 0.5);
    setLayerVisible(a, 2, false);
    setLayerOpacity(b, 2, 0.8);

    interpolateSets(a, b, out, 0.02);
    ASSERT_EQ(out.layerCount(), 3);
    EXPECT_EQ(out.layers[0].name, "Ground");
    EXPECT_EQ(out.layerRange(1).size(), 2);
    EXPECT_DOUBLE_EQ(out.layers[1].opacity, 0.99);
    EXPECT_TRUE(out.layers[2].visible);
    EXPECT_DOUBLE_EQ(out.layers[2].opacity, 0.016);
    EXPECT_EQ(out.curve(1).left_colors[0].alpha(), 5) << "255 * 0.02 rounds to 5";
    interpolateSets(a, b, out, 0.5);
    EXPECT_EQ(out.curve(1).left_colors[0].alpha(), 128);
    EXPECT_DOUBLE_EQ(out.layers[1].opacity, 0.75);
    setLayerVisible(b, 2, false);
    interpolateSets(a, b, out, 0.5);
    EXPECT_FALSE(out.layers[2].visible);
}
