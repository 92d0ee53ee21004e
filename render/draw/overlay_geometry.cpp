#include "overlay_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename Packed>
void startRun(VertexBatch<Packed>& batch, int count)
{
    batch.firsts.push_back(static_cast<int>(batch.vertices.size()));
    batch.counts.push_back(count);
}

PackedPoint packed(double x, double y) { return {{static_cast<float>(x), static_cast<float>(y)}}; }

} // namespace

VertexBatch<PackedPoint> strokeVertices(const QVector<Point>& stroke)
{
    VertexBatch<PackedPoint> batch;
    if (stroke.isEmpty())
        return batch;
    startRun(batch, stroke.size());
    for (const Point& p : stroke)
        batch.vertices.push_back(packed(p.x, p.y));
    return batch;
}

VertexBatch<PackedPoint> scribbleMarkVertices(const QVector<Point>& marks, double edge)
{
    VertexBatch<PackedPoint> batch;
    const double h = edge * 0.5;
    for (const Point& m : marks) {
        startRun(batch, 4);
        batch.vertices.push_back(packed(m.x - h, m.y - h));
        batch.vertices.push_back(packed(m.x + h, m.y - h));
        batch.vertices.push_back(packed(m.x + h, m.y + h));
        batch.vertices.push_back(packed(m.x - h, m.y + h));
    }
    return batch;
}

VertexBatch<PackedTexturedPoint> backgroundVertices(const View& view, int width, int height)
{
    const double cx = (1.0 - view.pan.x) * 0.5 * width;
    const double cy = (1.0 - view.pan.y) * 0.5 * height;
    const double sx = width / (2.0 * view.zoom);
    const double sy = height / (2.0 * view.zoom);
    VertexBatch<PackedTexturedPoint> batch;
    startRun(batch, 4);
    for (const auto& corner :
         {Point(-1.0, -1.0), Point(1.0, -1.0), Point(1.0, 1.0), Point(-1.0, 1.0)}) {
        const float s = static_cast<float>(cx + corner.x * sx);
        const float t = static_cast<float>(cy + corner.y * sy);
        batch.vertices.push_back(
            {{static_cast<float>(corner.x), static_cast<float>(corner.y)}, {s, t}});
    }
    return batch;
}

double WindowMapping::lengthScale() const { return std::sqrt(std::fabs(scaleX * scaleY)); }

CoverageMesh scribbleMarkMesh(const QVector<Point>& marks, double edge, OverlayColour colour,
                              const WindowMapping& toWindow)
{
    CoverageMesh mesh;
    const VertexBatch<PackedPoint> squares = scribbleMarkVertices(marks, edge);
    for (int first : squares.firsts) {
        const float* lowerLeft = squares.vertices[first].position;
        const float* upperRight = squares.vertices[first + 2].position;
        const Point a = toWindow({lowerLeft[0], lowerLeft[1]});
        const Point b = toWindow({upperRight[0], upperRight[1]});
        mesh.rectangle({std::min(a.x, b.x), std::min(a.y, b.y)},
                       {std::max(a.x, b.x), std::max(a.y, b.y)}, colour);
    }
    return mesh;
}
