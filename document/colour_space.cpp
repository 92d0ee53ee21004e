#include "colour_space.h"

#include <algorithm>
#include <cmath>

namespace {

double decodeSrgb(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encodeSrgb(double l)
{
    l = std::clamp(l, 0.0, 1.0);
    return l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
}

// OKLab from linear-light sRGB and back, through the cone responses (LMS) and their cube roots.
ColourTriple linearToOklab(const ColourTriple& c)
{
    const double l = std::cbrt(0.4122214708 * c[0] + 0.5363325363 * c[1] + 0.0514459929 * c[2]);
    const double m = std::cbrt(0.2119034982 * c[0] + 0.6806995451 * c[1] + 0.1073969566 * c[2]);
    const double s = std::cbrt(0.0883024619 * c[0] + 0.2817188376 * c[1] + 0.6299787005 * c[2]);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

ColourTriple oklabToLinear(const ColourTriple& lab)
{
    const double l = std::pow(lab[0] + 0.3963377774 * lab[1] + 0.2158037573 * lab[2], 3.0);
    const double m = std::pow(lab[0] - 0.1055613458 * lab[1] - 0.0638541728 * lab[2], 3.0);
    const double s = std::pow(lab[0] - 0.0894841775 * lab[1] - 1.2914855480 * lab[2], 3.0);
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

} // namespace

QString colourSpaceName(ColourSpace space)
{
    switch (space) {
    case ColourSpace::Linear: return QStringLiteral("linear");
    case ColourSpace::Oklab: return QStringLiteral("oklab");
    case ColourSpace::Srgb: break;
    }
    return QStringLiteral("srgb");
}

bool colourSpaceFromName(const QString& name, ColourSpace* space)
{
    for (ColourSpace candidate : {ColourSpace::Srgb, ColourSpace::Linear, ColourSpace::Oklab})
        if (name == colourSpaceName(candidate)) {
            *space = candidate;
            return true;
        }
    return false;
}

ColourTriple fromSrgb(ColourSpace space, const ColourTriple& srgb)
{
    if (space == ColourSpace::Srgb)
        return srgb;
    const ColourTriple linear = {decodeSrgb(srgb[0]), decodeSrgb(srgb[1]), decodeSrgb(srgb[2])};
    return space == ColourSpace::Linear ? linear : linearToOklab(linear);
}

ColourTriple fromSrgb8(ColourSpace space, int red, int green, int blue)
{
    static const std::array<double, 256> decoded = [] {
        std::array<double, 256> table{};
        for (int c = 0; c < 256; ++c)
            table[c] = decodeSrgb(c / 255.0);
        return table;
    }();
    const auto level = [](int c) { return std::clamp(c, 0, 255); };
    if (space == ColourSpace::Srgb)
        return {level(red) / 255.0, level(green) / 255.0, level(blue) / 255.0};
    const ColourTriple linear = {decoded[level(red)], decoded[level(green)], decoded[level(blue)]};
    return space == ColourSpace::Linear ? linear : linearToOklab(linear);
}

ColourTriple toSrgb(ColourSpace space, const ColourTriple& value)
{
    if (space == ColourSpace::Srgb)
        return {std::clamp(value[0], 0.0, 1.0), std::clamp(value[1], 0.0, 1.0),
                std::clamp(value[2], 0.0, 1.0)};
    const ColourTriple linear = space == ColourSpace::Linear ? value : oklabToLinear(value);
    return {encodeSrgb(linear[0]), encodeSrgb(linear[1]), encodeSrgb(linear[2])};
}
