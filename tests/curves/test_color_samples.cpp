// L*a*b* conversion and the reduction of sampled colour lists.
#include "color_samples.h"

#include <gtest/gtest.h>

namespace {

QVector<ColorSample> samplesOf(const QVector<QColor>& colors)
{
    QVector<ColorSample> out;
    for (int i = 0; i < colors.size(); ++i)
        out.append(ColorSample{colors[i], i});
    return out;
}

} // namespace

TEST(Lab, WhiteAndBlackSitAtTheEndsOfTheLightnessScale)
{
    const Lab white = toLab(QColor(255, 255, 255));
    EXPECT_EQ(white.L, 255);
    EXPECT_EQ(white.a, 0);
    EXPECT_EQ(white.b, 0);
    const Lab black = toLab(QColor(0, 0, 0));
    EXPECT_EQ(black.L, 0);
    EXPECT_EQ(black.a, 0);
    EXPECT_EQ(black.b, 0);
    EXPECT_NEAR(labDistance(white, black), 255.0, 1e-12);
}

TEST(ColorSimplification, ThreeSamplesOrFewerAreAllKept)
{
    EXPECT_TRUE(simplifyColorSamples({}, 30).isEmpty());
    EXPECT_EQ(simplifyColorSamples(samplesOf({Qt::red, Qt::red, Qt::red}), 30),
              (QVector<int>{0, 1, 2}));
}

TEST(ColorSimplification, UniformListKeepsItsEndSamples)
{
    const QVector<ColorSample> s = samplesOf(QVector<QColor>(23, QColor(40, 90, 200)));
    EXPECT_EQ(simplifyColorSamples(s, 30), (QVector<int>{0, 22}));
}

TEST(ColorSimplification, LinearRampNeedsOnlyItsEnds)
{
    QVector<QColor> ramp;
    for (int i = 0; i <= 20; ++i)
        ramp.append(QColor(10 * i, 5 * i, 200 - 10 * i));
    EXPECT_EQ(simplifyColorSamples(samplesOf(ramp), 30), (QVector<int>{0, 20}));
}

TEST(ColorSimplification, FourSamplesRunAtMostTwoIterations)
{
    const QVector<ColorSample> s =
        samplesOf({Qt::black, Qt::white, QColor(255, 0, 0), QColor(0, 0, 255)});
    const QVector<int> kept = simplifyColorSamples(s, 30);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept.first(), 0);
    EXPECT_EQ(kept.last(), 3);
}

TEST(ColorSimplification, KeptSamplesReproduceAStepWithinTolerance)
{
    QVector<QColor> step(12, Qt::black);
    step += QVector<QColor>(12, QColor(250, 250, 250));
    const QVector<ColorSample> s = samplesOf(step);
    const QVector<int> kept = simplifyColorSamples(s, 30);
    ASSERT_GE(kept.size(), 3);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    // Every sample is within the tolerance of the blend between its kept neighbours.
    for (int k = 0; k + 1 < kept.size(); ++k) {
        const ColorSample& a = s[kept[k]];
        const ColorSample& b = s[kept[k + 1]];
        for (int j = kept[k]; j <= kept[k + 1]; ++j) {
            const double w = double(s[j].globalID - a.globalID) / (b.globalID - a.globalID);
            const QColor expected(int((1 - w) * a.color.red() + w * b.color.red()),
                                  int((1 - w) * a.color.green() + w * b.color.green()),
                                  int((1 - w) * a.color.blue() + w * b.color.blue()));
            EXPECT_LE(labDistance(toLab(expected), toLab(s[j].color)), 30.0) << j;
        }
    }
}
