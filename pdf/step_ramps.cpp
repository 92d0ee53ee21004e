#include "step_ramps.h"

namespace {

Point offset(const Point& p, const Point& n, double distance)
{
    return Point(p.x + distance * n.x, p.y + distance * n.y);
}

void addLine(const StepLine& line, const ReferencePicture& picture, const RampWidths& w,
             GouraudMesh& ramps)
{
    std::vector<ShadedVertex> right, left;
    for (size_t k = 0; k < line.points.size(); ++k) {
        const Point &p = line.points[k], &n = line.normals[k];
        right.push_back({offset(p, n, -w.halfWidth), picture.at(offset(p, n, -w.sideOffset))});
        left.push_back({offset(p, n, w.halfWidth), picture.at(offset(p, n, w.sideOffset))});
    }
    for (size_t k = 0; k + 1 < line.points.size(); ++k) {
        ramps.push_back({{right[k], left[k], right[k + 1]}});
        ramps.push_back({{left[k], left[k + 1], right[k + 1]}});
    }
}

} // namespace

GouraudMesh stepRamps(const std::vector<StepLine>& lines, const ReferencePicture& picture,
                      const RampWidths& widths)
{
    GouraudMesh ramps;
    for (const StepLine& line : lines)
        addLine(line, picture, widths, ramps);
    return ramps;
}
