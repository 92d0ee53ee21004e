// L*a*b* conversion and the reduction of sampled colour lists.
#include "color_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

QVector<ColorSample> samplesOf(const QVector<QColor>& colors)
{
    QVector<ColorSample> out;
    for (int i = 0; i < colors.size(); ++i)
        out.append(ColorSample{colors[i], i});
    return out;
}

// L*a*b* error of sample j against the blend of samples a and b, truncated per channel.
double blendError(const QVector<ColorSample>& s, int a, int b, int j)
{
    const double span = s[b].globalID - s[a].globalID;
    const double w = span != 0.0 ? (s[j].globalID - s[a].globalID) / span : 0.0;
    auto mix = [w](int p, int q) { return std::clamp(int((1.0 - w) * p + w * q), 0, 255); };
    const QColor expected(mix(s[a].color.red(), s[b].color.red()),
                          mix(s[a].color.green(), s[b].color.green()),
                          mix(s[a].color.blue(), s[b].color.blue()));
    return labDistance(toLab(expected), toLab(s[j].color));
}

// The plain greedy thinning: keep the first and last samples, then in each round the sample
// worst reproduced (the first on a tie), remeasuring every sample, for at most m / 5 + 2 rounds.
QVector<int> plainGreedy(const QVector<ColorSample>& s, double tolerance)
{
    QVector<int> kept{0};
    int next = s.size() - 1;
    for (int round = 0; round < s.size() / 5 + 2; ++round) {
        if (!kept.contains(next))
            kept.append(next);
        std::sort(kept.begin(), kept.end());
        double worst = 0.0;
        next = 0;
        for (int k = 0; k + 1 < kept.size(); ++k)
            for (int j = kept[k] + 1; j < kept[k + 1]; ++j)
                if (blendError(s, kept[k], kept[k + 1], j) > worst) {
                    worst = blendError(s, kept[k], kept[k + 1], j);
                    next = j;
                }
        if (worst <= tolerance)
            break;
    }
    return kept;
}

// Colours drifting with noise and jumping now and then; globalIDs rising by 0 to 3.
QVector<ColorSample> randomSamples(std::mt19937& random, int count)
{
    std::uniform_int_distribution<int> value(0, 255), step(0, 3), jump(0, 20), nudge(-6, 6);
    QVector<ColorSample> out;
    int rgb[3] = {value(random), value(random), value(random)}, id = 0;
    for (int i = 0; i < count; ++i) {
        for (int& c : rgb)
            c = jump(random) == 0 ? value(random) : std::clamp(c + nudge(random), 0, 255);
        out.append(ColorSample{QColor(rgb[0], rgb[1], rgb[2]), id});
        id += step(random);
    }
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

TEST(ColorSimplification, KeepsWhatThePlainGreedyThinningKeeps)
{
    std::mt19937 random(11);
    for (int trial = 0; trial < 60; ++trial) {
        const QVector<ColorSample> s = randomSamples(random, 4 + trial * 5);
        for (double tolerance : {0.0, 4.0, 9.0, 30.0})
            EXPECT_EQ(simplifyColorSamples(s, tolerance), plainGreedy(s, tolerance))
                << "trial " << trial << ", tolerance " << tolerance;
    }
}
