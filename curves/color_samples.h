#pragma once

#include <QColor>
#include <QVector>

// One colour read beside a curve, with the globalID at which it was taken.
struct ColorSample {
    QColor color;
    int globalID = 0;
};

// A colour in CIE L*a*b* (D50 white), as integers: L scaled to 0..255, a and b rounded.
struct Lab {
    int L = 0;
    int a = 0;
    int b = 0;
};

// Converts an sRGB colour (channels 0..255) to L*a*b*.
Lab toLab(const QColor& c);

// Euclidean distance between two L*a*b* values.
double labDistance(const Lab& p, const Lab& q);

// Indices (ascending, unique) of the samples to keep so that linear interpolation between kept
// samples reproduces every sample within `tolerance` in L*a*b*. Always keeps the first sample;
// with three samples or fewer keeps them all.
QVector<int> simplifyColorSamples(const QVector<ColorSample>& samples, double tolerance);
