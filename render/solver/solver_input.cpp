#include "solver_input.h"

#include "curve_set.h"

ColourSpace SolverInput::colourSpace() const
{
    return curves ? curves->colour_space : ColourSpace::Srgb;
}
