#pragma once

#include <QString>

#include <array>

// The colour space a drawing's colours are diffused in. Colours in the file and in the panel
// are 8-bit sRGB whatever the space; the renderer converts them into the space before it
// rasterises the curves, solves and blurs there, and converts the picture back to sRGB.
//   Srgb:   the sRGB-encoded values themselves (the default, and the only space older files
//           know);
//   Linear: linear-light sRGB (the sRGB transfer curve removed);
//   Oklab:  the OKLab perceptual space (L, a, b), from linear-light sRGB.
enum class ColourSpace { Srgb, Linear, Oklab };

// Three channels: sRGB or linear red, green, blue in 0 .. 1, or OKLab L, a, b.
using ColourTriple = std::array<double, 3>;

// "srgb", "linear", "oklab": the names in files and on the command line.
QString colourSpaceName(ColourSpace space);
// The space named `name` (exactly as colourSpaceName writes it); false for any other text.
bool colourSpaceFromName(const QString& name, ColourSpace* space);

// An sRGB-encoded colour (channels 0 .. 1) in `space`.
ColourTriple fromSrgb(ColourSpace space, const ColourTriple& srgb);
// The same for 8-bit channels (0 .. 255, clamped), with the same values as fromSrgb of
// channel / 255, the sRGB curve read from a table: the renderer converts every curve sample.
ColourTriple fromSrgb8(ColourSpace space, int red, int green, int blue);
// A colour of `space` as sRGB-encoded channels, clipped to the gamut 0 .. 1.
ColourTriple toSrgb(ColourSpace space, const ColourTriple& value);
