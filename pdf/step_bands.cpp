#include "step_bands.h"

namespace {

Point offset(const Point& p, const Point& n, double distance)
{
    return Point(p.x + distance * n.x, p.y + distance * n.y);
}

// Two triangles over the quad a0, a1 (one edge) and b0, b1 (the other), a0-b0 across.
void addQuad(GouraudMesh& mesh, const ShadedVertex& a0, const ShadedVertex& b0,
             const ShadedVertex& a1, const ShadedVertex& b1)
{
    mesh.push_back({{a0, b0, a1}});
    mesh.push_back({{b0, b1, a1}});
}

void addLine(const StepLine& line, const ReferencePicture& picture, const BandWidths& w,
             StepBands& bands)
{
    const size_t n = line.points.size();
    std::vector<std::array<float, 3>> left(n), right(n);
    for (size_t k = 0; k < n; ++k) {
        left[k] = picture.at(offset(line.points[k], line.normals[k], w.sideOffset));
        right[k] = picture.at(offset(line.points[k], line.normals[k], -w.sideOffset));
    }
    std::vector<Point> clip;
    clip.reserve(2 * n);
    for (size_t k = 0; k < n; ++k)
        clip.push_back(line.points[k]);
    for (size_t k = n; k-- > 0;)
        clip.push_back(offset(line.points[k], line.normals[k], w.over));
    bands.over.clip.push_back(std::move(clip));
    for (size_t k = 0; k + 1 < n; ++k) {
        const Point &p = line.points[k], &q = line.points[k + 1];
        const Point &np = line.normals[k], &nq = line.normals[k + 1];
        addQuad(bands.under.mesh, {p, right[k]}, {offset(p, np, w.under), right[k]},
                {q, right[k + 1]}, {offset(q, nq, w.under), right[k + 1]});
        addQuad(bands.over.mesh, {offset(p, np, -w.overreach), left[k]},
                {offset(p, np, w.over), left[k]}, {offset(q, nq, -w.overreach), left[k + 1]},
                {offset(q, nq, w.over), left[k + 1]});
    }
}

} // namespace

StepBands stepBands(const std::vector<StepLine>& lines, const ReferencePicture& picture,
                    const BandWidths& widths)
{
    StepBands bands;
    for (const StepLine& line : lines)
        addLine(line, picture, widths, bands);
    return bands;
}
