#include "mouse_tools.h"

#include <iterator>

MouseTools::MouseTools(Viewer& viewer, ViewerSettings& settings)
    : menus(viewer), movePoint(viewer, menus), selectCurve(viewer, menus),
      attributes(viewer, menus, settings), selection(viewer, menus), stroke(viewer), inert(viewer),
      pan(viewer), camera(viewer), bucket(viewer, menus, settings), picker(viewer, settings)
{
}

MouseTool& MouseTools::forMode(ManipulationMode mode)
{
    // Indexed by ManipulationMode value.
    MouseTool* const byMode[] = {&movePoint, &selectCurve, &attributes, &selection, &stroke,
                                 &inert,     &pan,         &camera,     &bucket,    &picker};
    const int index = static_cast<int>(mode);
    if (index < 0 || index >= static_cast<int>(std::size(byMode)))
        return camera;
    return *byMode[index];
}

void MouseTools::clearOverlays()
{
    for (int mode = ModeMovePoint; mode <= ModePicker; ++mode)
        forMode(static_cast<ManipulationMode>(mode)).clearOverlay();
}
