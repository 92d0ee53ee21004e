#include "curve_set.h"

CurveSet::CurveSet()
{
    curves.reserve(4);
    selection_hull.reserve(4);
}

void CurveSet::clear()
{
    curves.clear();
    curves.reserve(4);
    nb_curves = 0;
    copied_blur = -1;
    current_curve = -1;
}
