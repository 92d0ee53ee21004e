// CIE L*a*b* conversion and the reduction of sampled colour lists.
#include "color_samples.h"

#include <algorithm>
#include <cmath>

namespace {

// sRGB channel 0..255 to linear intensity.
double linearize(int channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double labF(double q) { return q > 0.008856452 ? std::cbrt(q) : (903.2963 * q + 16.0) / 116.0; }

// Adds 0.5 and drops the fraction towards zero.
int roundHalfUpTruncated(double v) { return std::isfinite(v) ? static_cast<int>(v + 0.5) : 0; }

} // namespace

Lab toLab(const QColor& c)
{
    const float R = static_cast<float>(linearize(c.red()));
    const float G = static_cast<float>(linearize(c.green()));
    const float B = static_cast<float>(linearize(c.blue()));
    // sRGB to XYZ adapted to the D50 white, in single precision.
    const float X = 0.43605202f * R + 0.3850816f * G + 0.14308742f * B;
    const float Y = 0.22249159f * R + 0.71688604f * G + 0.060621485f * B;
    const float Z = 0.013929122f * R + 0.097097f * G + 0.7141855f * B;
    const double fx = labF(X / 0.964221);
    const double fy = labF(Y);
    const double fz = labF(Z / 0.825211);
    const double L = 116.0 * fy - 16.0;
    Lab lab;
    lab.L = roundHalfUpTruncated(2.55 * L); // L scaled from 0..100 to 0..255
    lab.a = roundHalfUpTruncated(500.0 * (fx - fy));
    lab.b = roundHalfUpTruncated(200.0 * (fy - fz));
    return lab;
}

double labDistance(const Lab& p, const Lab& q)
{
    const double dL = p.L - q.L;
    const double da = p.a - q.a;
    const double db = p.b - q.b;
    return std::sqrt(dL * dL + da * da + db * db);
}

QVector<int> simplifyColorSamples(const QVector<ColorSample>& samples, double tolerance)
{
    const int m = samples.size();
    QVector<int> kept;
    if (m <= 3) {
        for (int i = 0; i < m; ++i)
            kept.append(i);
        return kept;
    }
    QVector<Lab> labs;
    labs.reserve(m);
    for (const ColorSample& s : samples)
        labs.append(toLab(s.color));

    kept.append(0);
    double error = tolerance + 1.0;
    int candidate = m - 1;
    const int maxIterations = m / 5 + 2;
    for (int iteration = 1; iteration <= maxIterations && error > tolerance; ++iteration) {
        kept.append(candidate);
        std::sort(kept.begin(), kept.end());
        kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
        // The sample worst reproduced by linear interpolation between the kept ones.
        error = 0.0;
        candidate = 0;
        for (int p = 0; p + 1 < kept.size(); ++p) {
            const ColorSample& s0 = samples[kept[p]];
            const ColorSample& s1 = samples[kept[p + 1]];
            const double span = s1.globalID - s0.globalID;
            for (int j = kept[p] + 1; j < kept[p + 1]; ++j) {
                const double w = span != 0.0 ? (samples[j].globalID - s0.globalID) / span : 0.0;
                auto mix = [w](int a, int b) { return static_cast<int>((1.0 - w) * a + w * b); };
                const QColor expected(std::clamp(mix(s0.color.red(), s1.color.red()), 0, 255),
                                      std::clamp(mix(s0.color.green(), s1.color.green()), 0, 255),
                                      std::clamp(mix(s0.color.blue(), s1.color.blue()), 0, 255));
                const double e = labDistance(toLab(expected), labs[j]);
                if (e > error) {
                    error = e;
                    candidate = j;
                }
            }
        }
    }
    return kept;
}
