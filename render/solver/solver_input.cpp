#include "solver_input.h"

#include "curve_set.h"

#include <algorithm>

ColourSpace SolverInput::colourSpace() const
{
    return curves ? curves->colour_space : ColourSpace::Srgb;
}

namespace {

// True when some colour point of curves first .. end - 1 is not fully opaque.
bool anyTranslucent(const CurveSet& set, CurveRange run)
{
    auto translucentColour = [](const QColor& c) { return c.isValid() && c.alpha() < 255; };
    const int end = std::min(run.end, int(set.curves.size()));
    for (int i = std::max(0, run.first); i < end; ++i) {
        const Curve& c = set.curves[i];
        if (std::any_of(c.left_colors.begin(), c.left_colors.end(), translucentColour)
            || std::any_of(c.right_colors.begin(), c.right_colors.end(), translucentColour))
            return true;
    }
    return false;
}

} // namespace

CurveRange SolverInput::run() const
{
    if (!curves)
        return {};
    if (layer < 0 || layer >= curves->layerCount())
        return {0, int(curves->curves.size())};
    return curves->layerRange(layer);
}

ConstraintPrecision SolverInput::constraintPrecision() const
{
    if (colourSpace() != ColourSpace::Srgb)
        return ConstraintPrecision::HalfFloats;
    const bool any = curves && anyTranslucent(*curves, {0, int(curves->curves.size())});
    return any ? ConstraintPrecision::Shorts : ConstraintPrecision::Bytes;
}

bool SolverInput::translucent() const { return curves && anyTranslucent(*curves, run()); }

bool SolverInput::layered() const
{
    if (!curves || curves->layerCount() == 0)
        return false;
    const Layer& only = curves->layers.front();
    return curves->layerCount() > 1 || !only.visible || only.opacity < 1.0;
}
