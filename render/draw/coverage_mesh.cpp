#include "coverage_mesh.h"

#include <algorithm>
#include <cmath>

namespace {

// Points nearer than this (pixels) are one point of a line.
constexpr double kSamePoint = 1e-3;
// A mitre is at most this many half-widths long; sharper turns get a shorter, blunter join.
constexpr double kMitreLimit = 4.0;

// The lateral levels of a line strip, right edge first: offsets in pixels from the centre line
// for half-width h are -(h + 1), -h, h, h + 1, with coverage 0, 1, 1, 0.
constexpr int kLevels = 4;
constexpr float kLevelAlpha[kLevels] = {0.0f, 1.0f, 1.0f, 0.0f};
double levelOffset(int level, double h)
{
    const double offsets[kLevels] = {-(h + 1.0), -h, h, h + 1.0};
    return offsets[level];
}

Point leftNormal(const Point& from, const Point& to)
{
    const Point d = unit(to - from);
    return {-d.y, d.x};
}

// The offset direction at a join of two segments with unit normals n0 and n1: along their
// bisector, 1 / cos(half the turn) long so that the strip keeps its width on both sides.
Point mitre(const Point& n0, const Point& n1)
{
    const Point sum = n0 + n1;
    const double twiceCosSquared = 1.0 + dot(n0, n1);
    if (twiceCosSquared >= 2.0 / (kMitreLimit * kMitreLimit))
        return sum * (1.0 / twiceCosSquared);
    const Point bisector = unit(sum);
    return bisector == Point() ? n0 : bisector * kMitreLimit;
}

// The points with near duplicates removed; for a closed line a last point on the first goes too.
std::vector<Point> distinctPoints(const std::vector<Point>& points, bool closed)
{
    std::vector<Point> out;
    for (const Point& p : points)
        if (out.empty() || !near(out.back(), p, kSamePoint))
            out.push_back(p);
    if (closed && out.size() > 2 && near(out.back(), out.front(), kSamePoint))
        out.pop_back();
    return out;
}

} // namespace

unsigned int CoverageMesh::vertex(const Point& at, float alpha, const OverlayColour& colour)
{
    vertexData.push_back({{static_cast<float>(at.x), static_cast<float>(at.y)},
                          {colour.r, colour.g, colour.b, alpha * colour.a}});
    return static_cast<unsigned int>(vertexData.size() - 1);
}

void CoverageMesh::triangle(unsigned int a, unsigned int b, unsigned int c)
{
    indexData.insert(indexData.end(), {a, b, c});
}

void CoverageMesh::quad(unsigned int a0, unsigned int a1, unsigned int b0, unsigned int b1)
{
    triangle(a0, a1, b1);
    triangle(a0, b1, b0);
}

void CoverageMesh::line(const std::vector<Point>& points, double width, OverlayColour colour,
                        bool closed)
{
    const std::vector<Point> p = distinctPoints(points, closed);
    const int n = static_cast<int>(p.size());
    if (n < 2)
        return;
    closed = closed && n > 2;
    const int segments = closed ? n : n - 1;
    // normals[i]: segment i from p[i] to p[i + 1 mod n].
    std::vector<Point> normals(segments);
    for (int i = 0; i < segments; ++i)
        normals[i] = leftNormal(p[i], p[(i + 1) % n]);
    const double h = std::max(width, 1.0) * 0.5;
    // One row of kLevels vertices across the line at every point: rows[i * kLevels + k].
    std::vector<unsigned int> rows(static_cast<size_t>(n) * kLevels);
    const auto addRow = [&](const Point& at, const Point& offset, bool faded, unsigned int* row) {
        for (int k = 0; k < kLevels; ++k)
            row[k] = vertex(at + offset * levelOffset(k, h), faded ? 0.0f : kLevelAlpha[k], colour);
    };
    std::vector<Point> offsets(n);
    for (int i = 0; i < n; ++i) {
        const bool end = !closed && (i == 0 || i == n - 1);
        offsets[i] = end ? normals[std::min(i, segments - 1)]
                         : mitre(normals[(i + segments - 1) % segments], normals[i % segments]);
        addRow(p[i], offsets[i], false, &rows[static_cast<size_t>(i) * kLevels]);
    }
    const auto joinRows = [&](const unsigned int* a, const unsigned int* b) {
        for (int k = 0; k + 1 < kLevels; ++k)
            quad(a[k], a[k + 1], b[k], b[k + 1]);
    };
    for (int i = 0; i < segments; ++i)
        joinRows(&rows[static_cast<size_t>(i) * kLevels],
                 &rows[static_cast<size_t>((i + 1) % n) * kLevels]);
    if (closed)
        return;
    // Ends: the last row fades to nothing one pixel further along the line.
    const auto cap = [&](int end, const Point& outwards) {
        unsigned int beyond[kLevels];
        addRow(p[end] + outwards, offsets[end], true, beyond);
        joinRows(&rows[static_cast<size_t>(end) * kLevels], beyond);
    };
    cap(0, unit(p[0] - p[1]));
    cap(n - 1, unit(p[n - 1] - p[n - 2]));
}

void CoverageMesh::dashedLine(const std::vector<Point>& points, double width, OverlayColour colour,
                              bool closed, double dash, double gap)
{
    if (dash <= 0.0)
        return;
    if (gap <= 0.0) {
        line(points, width, colour, closed);
        return;
    }
    std::vector<Point> path = distinctPoints(points, closed);
    if (path.size() < 2)
        return;
    if (closed)
        path.push_back(path.front());
    bool on = true;
    double done = 0.0; // pixels of the current dash or gap already walked
    std::vector<Point> current;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const Point a = path[i], d = path[i + 1] - path[i];
        const double length = d.norm();
        for (double s = 0.0; s < length;) {
            const double step = std::min((on ? dash : gap) - done, length - s);
            if (on) {
                if (current.empty())
                    current.push_back(a + d * (s / length));
                current.push_back(a + d * ((s + step) / length));
            }
            s += step;
            done += step;
            if (done >= (on ? dash : gap)) {
                if (on)
                    line(current, width, colour);
                current.clear();
                on = !on;
                done = 0.0;
            }
        }
    }
    if (on)
        line(current, width, colour);
}

void CoverageMesh::disk(const Point& centre, double radius, OverlayColour colour)
{
    if (!(radius > 0.0))
        return;
    // Chords of about 2 pixels on the outer circle: they stay within 0.02 pixel of it.
    constexpr double kPi = 3.14159265358979323846;
    const int slices = std::clamp(static_cast<int>(std::ceil(kPi * (radius + 0.5))), 16, 512);
    const double inner = std::max(radius - 0.5, 0.0), outer = radius + 0.5;
    const unsigned int middle = vertex(centre, 1.0f, colour);
    // Vertex first + 2 i: inner ring at slice i, first + 2 i + 1: outer ring.
    const unsigned int first = static_cast<unsigned int>(vertexData.size());
    for (int i = 0; i < slices; ++i) {
        const double angle = 2.0 * kPi * i / slices;
        const Point u(std::cos(angle), std::sin(angle));
        vertex(centre + u * inner, 1.0f, colour);
        vertex(centre + u * outer, 0.0f, colour);
    }
    for (int i = 0; i < slices; ++i) {
        const unsigned int a = first + 2 * i, b = first + 2 * ((i + 1) % slices);
        if (inner > 0.0)
            triangle(middle, a, b);
        quad(a, b, a + 1, b + 1);
    }
}

void CoverageMesh::rectangle(const Point& min, const Point& max, OverlayColour colour)
{
    if (!(min.x <= max.x && min.y <= max.y))
        return;
    // Inner corners half a pixel inside (meeting in the middle for a rectangle under a pixel),
    // outer corners half a pixel outside, counter-clockwise from the lower left.
    const double midX = 0.5 * (min.x + max.x), midY = 0.5 * (min.y + max.y);
    const double x0 = std::min(min.x + 0.5, midX), x1 = std::max(max.x - 0.5, midX);
    const double y0 = std::min(min.y + 0.5, midY), y1 = std::max(max.y - 0.5, midY);
    const unsigned int in[4] = {vertex({x0, y0}, 1.0f, colour), vertex({x1, y0}, 1.0f, colour),
                                vertex({x1, y1}, 1.0f, colour), vertex({x0, y1}, 1.0f, colour)};
    const unsigned int out[4] = {vertex({min.x - 0.5, min.y - 0.5}, 0.0f, colour),
                                 vertex({max.x + 0.5, min.y - 0.5}, 0.0f, colour),
                                 vertex({max.x + 0.5, max.y + 0.5}, 0.0f, colour),
                                 vertex({min.x - 0.5, max.y + 0.5}, 0.0f, colour)};
    quad(in[0], in[1], in[3], in[2]);
    for (int k = 0; k < 4; ++k)
        quad(in[k], in[(k + 1) % 4], out[k], out[(k + 1) % 4]);
}

void CoverageMesh::append(const CoverageMesh& other)
{
    const unsigned int offset = static_cast<unsigned int>(vertexData.size());
    vertexData.insert(vertexData.end(), other.vertexData.begin(), other.vertexData.end());
    // Inserting grows the storage geometrically: a reserve of the exact new size at each call
    // would copy the whole mesh every time, quadratic in the curves appended one by one.
    const size_t first = indexData.size();
    indexData.insert(indexData.end(), other.indexData.begin(), other.indexData.end());
    for (size_t k = first; k < indexData.size(); ++k)
        indexData[k] += offset;
}

void CoverageMesh::clear()
{
    vertexData.clear();
    indexData.clear();
}
