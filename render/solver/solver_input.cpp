#include "solver_input.h"

#include "curve_set.h"

#include <algorithm>

ColourSpace SolverInput::colourSpace() const
{
    return curves ? curves->colour_space : ColourSpace::Srgb;
}

ConstraintPrecision SolverInput::constraintPrecision() const
{
    if (colourSpace() != ColourSpace::Srgb)
        return ConstraintPrecision::HalfFloats;
    return translucent() ? ConstraintPrecision::Shorts : ConstraintPrecision::Bytes;
}

bool SolverInput::translucent() const
{
    if (!curves)
        return false;
    auto anyTranslucent = [](const QVector<QColor>& colours) {
        return std::any_of(colours.begin(), colours.end(),
                           [](const QColor& c) { return c.isValid() && c.alpha() < 255; });
    };
    return std::any_of(curves->curves.begin(), curves->curves.end(), [&](const Curve& c) {
        return anyTranslucent(c.left_colors) || anyTranslucent(c.right_colors);
    });
}
