// CIE L*a*b* conversion and the reduction of sampled colour lists.
#include "color_samples.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// sRGB channel 0..255 to linear intensity.
double linearize(int channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// linearize() of every channel value, computed once.
const std::array<double, 256>& linearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = linearize(i);
        return t;
    }();
    return table;
}

double labF(double q) { return q > 0.008856452 ? std::cbrt(q) : (903.2963 * q + 16.0) / 116.0; }

// Adds 0.5 and drops the fraction towards zero.
int roundHalfUpTruncated(double v) { return std::isfinite(v) ? static_cast<int>(v + 0.5) : 0; }

} // namespace

Lab toLab(const QColor& c)
{
    const std::array<double, 256>& linear = linearTable();
    const float R = static_cast<float>(linear[c.red()]);
    const float G = static_cast<float>(linear[c.green()]);
    const float B = static_cast<float>(linear[c.blue()]);
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

namespace {

// Sets errors[j], for each sample strictly between kept samples `from` and `to`, to its L*a*b*
// distance from the linear blend of the two (by globalID).
void measureSpan(const QVector<ColorSample>& samples, const QVector<Lab>& labs, int from, int to,
                 QVector<double>& errors)
{
    const ColorSample& s0 = samples[from];
    const ColorSample& s1 = samples[to];
    const double span = s1.globalID - s0.globalID;
    for (int j = from + 1; j < to; ++j) {
        const double w = span != 0.0 ? (samples[j].globalID - s0.globalID) / span : 0.0;
        auto mix = [w](int a, int b) { return static_cast<int>((1.0 - w) * a + w * b); };
        const QColor expected(std::clamp(mix(s0.color.red(), s1.color.red()), 0, 255),
                              std::clamp(mix(s0.color.green(), s1.color.green()), 0, 255),
                              std::clamp(mix(s0.color.blue(), s1.color.blue()), 0, 255));
        errors[j] = labDistance(toLab(expected), labs[j]);
    }
}

} // namespace

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

    // Each sample's error against the kept samples around it (0 for kept samples and for those
    // past the last kept one). Keeping a sample changes only the errors of the span it splits.
    QVector<double> errors(m, 0.0);
    kept.append(0);
    double error = tolerance + 1.0;
    int candidate = m - 1;
    const int maxIterations = m / 5 + 2;
    for (int iteration = 1; iteration <= maxIterations && error > tolerance; ++iteration) {
        const auto at = std::lower_bound(kept.begin(), kept.end(), candidate);
        if (at == kept.end() || *at != candidate) {
            const int position = int(at - kept.begin());
            kept.insert(position, candidate);
            errors[candidate] = 0.0;
            measureSpan(samples, labs, kept[position - 1], candidate, errors);
            if (position + 1 < kept.size())
                measureSpan(samples, labs, candidate, kept[position + 1], errors);
        }
        // The sample worst reproduced; the first one on a tie.
        error = 0.0;
        candidate = 0;
        for (int j = 0; j < m; ++j) {
            if (errors[j] > error) {
                error = errors[j];
                candidate = j;
            }
        }
    }
    return kept;
}
