// The only unit that includes CGAL (its templates are heavy to compile).
#include "adaptive_mesh.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/spatial_sort.h>

#include <algorithm>
#include <cmath>

namespace {

using Rgb = std::array<float, 3>;

struct VertexInfo {
    bool sampled = false; // rgb holds the picture's colour at the vertex
    Rgb rgb{};
};

// Every face starts unmeasured (faces are default-constructed whenever the triangulation makes
// one), so a round measures exactly the faces made since the last.
struct FaceInfo {
    bool measured = false;
    bool emitted = false; // already in the mesh() being made
    float error = 0.0f;
    bool splittable = false; // large enough to split (see MeshSettings::shortestSplitEdge)
    Point worst;
    std::array<Rgb, 3> corners{};
};

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<VertexInfo, Kernel>;
using FaceInfoBase = CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel>;
using FaceBase = CGAL::Constrained_triangulation_face_base_2<Kernel, FaceInfoBase>;
using Tds = CGAL::Triangulation_data_structure_2<VertexBase, FaceBase>;
// Exact_predicates_tag: constraints may cross; the crossing points are computed in doubles.
using Triangulation =
    CGAL::Constrained_Delaunay_triangulation_2<Kernel, Tds, CGAL::Exact_predicates_tag>;
using Face = Triangulation::Face_handle;
using Vertex = Triangulation::Vertex_handle;
using Point2 = Kernel::Point_2;

Point pointOf(const Point2& p) { return Point(p.x(), p.y()); }

// The part of segment a-b inside the canvas square (Liang-Barsky); false when none is.
bool clipToCanvas(Point& a, Point& b)
{
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double s[2] = {a.x, a.y};
    for (int axis = 0; axis < 2; ++axis)
        for (int sign : {-1, 1}) {
            const double p = sign * d[axis], q = 1.0 - sign * s[axis];
            if (p == 0.0) {
                if (q < 0.0)
                    return false;
                continue;
            }
            const double t = q / p;
            if (p < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
    if (t0 > t1)
        return false;
    // An end inside the canvas stays exactly as it was, so that consecutive pieces of a line
    // share their vertex (from + 1 * d may differ from b in the last bit).
    const Point from = a;
    if (t0 > 0.0)
        a = Point(from.x + t0 * d[0], from.y + t0 * d[1]);
    if (t1 < 1.0)
        b = Point(from.x + t1 * d[0], from.y + t1 * d[1]);
    for (Point* p : {&a, &b}) {
        p->x = std::clamp(p->x, -1.0, 1.0);
        p->y = std::clamp(p->y, -1.0, 1.0);
    }
    return true;
}

// Marks the pixels whose centre lies within `margin` (canvas units) of a step line.
std::vector<bool> stepMask(const ReferencePicture& picture, const std::vector<StepLine>& lines,
                           double margin)
{
    const int n = picture.size();
    std::vector<bool> mask(size_t(n) * n, false);
    const double reach = margin * 0.5 * n; // in pixels
    for (const StepLine& line : lines)
        for (size_t i = 0; i + 1 < line.points.size(); ++i) {
            const Point a = picture.toPixels(line.points[i]);
            const Point b = picture.toPixels(line.points[i + 1]);
            const Point d(b.x - a.x, b.y - a.y);
            const double length2 = d.x * d.x + d.y * d.y;
            const int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - reach)));
            const int x1 = std::min(n - 1, int(std::ceil(std::max(a.x, b.x) + reach)));
            const int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - reach)));
            const int y1 = std::min(n - 1, int(std::ceil(std::max(a.y, b.y) + reach)));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const Point c(x + 0.5 - a.x, y + 0.5 - a.y);
                    const double t =
                        length2 > 0 ? std::clamp((c.x * d.x + c.y * d.y) / length2, 0.0, 1.0) : 0.0;
                    if (std::hypot(c.x - t * d.x, c.y - t * d.y) <= reach)
                        mask[size_t(y) * n + x] = true;
                }
        }
    return mask;
}

class MeshRefiner {
public:
    MeshRefiner(const ReferencePicture& picture, const std::vector<StepLine>& lines,
                const MeshSettings& settings)
        : picture(picture), settings(settings), mask(stepMask(picture, lines, settings.stepMargin))
    {
        for (double x : {-1.0, 1.0})
            for (double y : {-1.0, 1.0})
                triangulation.insert(Point2(x, y));
        for (const StepLine& line : lines)
            insertLine(line);
    }

    void refine(MeshStatistics* statistics)
    {
        MeshStatistics stats;
        for (;;) {
            std::vector<Point2> worst;
            stats.worstError = 0.0;
            for (Face f : triangulation.finite_face_handles()) {
                if (!f->info().measured)
                    measure(f);
                if (!f->info().splittable)
                    continue;
                stats.worstError = std::max(stats.worstError, double(f->info().error));
                if (f->info().error > settings.tolerance)
                    worst.emplace_back(f->info().worst.x, f->info().worst.y);
            }
            if (worst.empty())
                break;
            if (triangulation.number_of_faces() >= settings.maxTriangles) {
                stats.capped = true;
                break;
            }
            ++stats.rounds;
            insertAll(worst);
        }
        if (statistics)
            *statistics = stats;
    }

    // The faces in runs across the edges that are not constrained, each face after a neighbour
    // where one is left, so that the file chains them (see shadedPdf).
    GouraudMesh mesh()
    {
        GouraudMesh out;
        out.reserve(triangulation.number_of_faces());
        for (Face start : triangulation.finite_face_handles())
            for (Face f = start; f != Face() && !f->info().emitted; f = unemittedNeighbour(f)) {
                f->info().emitted = true;
                ShadedTriangle t;
                for (int i = 0; i < 3; ++i)
                    t.corners[size_t(i)] = {pointOf(f->vertex(i)->point()),
                                            f->info().corners[size_t(i)]};
                out.push_back(t);
            }
        return out;
    }

private:
    // The line's pieces inside the canvas as constraints between shared vertices: a corner of
    // the line is one vertex whose constrained edges bound the wedges on both sides.
    void insertLine(const StepLine& line)
    {
        Vertex last;
        Point lastPoint;
        for (size_t i = 0; i + 1 < line.points.size(); ++i) {
            Point a = line.points[i], b = line.points[i + 1];
            if (!clipToCanvas(a, b) || (a.x == b.x && a.y == b.y))
                continue;
            const Vertex from = last != Vertex() && a.x == lastPoint.x && a.y == lastPoint.y
                                    ? last
                                    : triangulation.insert(Point2(a.x, a.y));
            last = triangulation.insert(Point2(b.x, b.y), from->face());
            lastPoint = b;
            triangulation.insert_constraint(from, last);
        }
    }

    void insertAll(std::vector<Point2>& points)
    {
        CGAL::spatial_sort(points.begin(), points.end());
        Face hint;
        for (const Point2& p : points) {
            const size_t before = triangulation.number_of_vertices();
            const Vertex v = triangulation.insert(p, hint);
            hint = v->face();
            // A worst point on an existing vertex (a corner of a step line on a pixel centre)
            // changes nothing: its faces stay as they are, no longer split.
            const bool added = triangulation.number_of_vertices() > before;
            // Every face the insertion made or flipped has the new vertex as a corner.
            auto faces = triangulation.incident_faces(v), done = faces;
            do {
                if (added)
                    faces->info().measured = false;
                else
                    faces->info().splittable = false;
            } while (++faces != done);
        }
    }

    // A finite neighbour of f across an edge that is not constrained, not yet emitted; none
    // (a default handle) where there is no such neighbour.
    Face unemittedNeighbour(Face f) const
    {
        for (int i = 0; i < 3; ++i) {
            const Face g = f->neighbor(i);
            if (!triangulation.is_infinite(g) && !g->info().emitted
                && !triangulation.is_constrained(std::make_pair(f, i)))
                return g;
        }
        return Face();
    }

    // The colour corner i of face f takes: the picture's at the vertex, or, at a vertex on a
    // step line, the picture's beside it in the middle of the wedge between the step lines (and
    // the canvas edge) that holds the face.
    Rgb cornerColour(Face f, int i)
    {
        const Vertex v = f->vertex(i);
        if (!triangulation.are_there_incident_constraints(v)) {
            if (!v->info().sampled)
                v->info() = {true, picture.at(pointOf(v->point()))};
            return v->info().rgb;
        }
        const Point p = pointOf(v->point());
        const Point a = pointOf(f->vertex(Triangulation::ccw(i))->point());
        const Point b = pointOf(f->vertex(Triangulation::cw(i))->point());
        const double inside = std::atan2(a.y + b.y - 2 * p.y, a.x + b.x - 2 * p.x);
        // Angles of the bounding edges measured counter-clockwise from the face's direction.
        double before = 2 * M_PI, after = 2 * M_PI; // cw and ccw distances to the nearest bound
        auto edges = triangulation.incident_edges(v), done = edges;
        do {
            const Face g = edges->first;
            const int k = edges->second;
            const Face h = g->neighbor(k);
            if (!triangulation.is_constrained(*edges) && !triangulation.is_infinite(g)
                && !triangulation.is_infinite(h))
                continue;
            const Vertex w = g->vertex(Triangulation::cw(k)) == v ? g->vertex(Triangulation::ccw(k))
                                                                  : g->vertex(Triangulation::cw(k));
            if (triangulation.is_infinite(w))
                continue;
            const Point q = pointOf(w->point());
            double turn = std::atan2(q.y - p.y, q.x - p.x) - inside;
            while (turn < 0)
                turn += 2 * M_PI;
            while (turn >= 2 * M_PI)
                turn -= 2 * M_PI;
            after = std::min(after, turn);
            before = std::min(before, 2 * M_PI - turn);
        } while (++edges != done);
        const double middle = inside + 0.5 * (after - before);
        // In a narrow wedge (a line meeting the canvas edge or another line at a small angle)
        // the point goes farther out, so that it stays sideOffset clear of both bounds; at most
        // four times as far.
        const double half = std::min(0.5 * (after + before), 0.5 * M_PI);
        const double r = settings.sideOffset / std::max(std::sin(half), 0.25);
        return picture.at(Point(p.x + r * std::cos(middle), p.y + r * std::sin(middle)));
    }

    void measure(Face f)
    {
        FaceInfo& info = f->info();
        info.measured = true;
        info.error = 0.0f;
        info.splittable = false;
        for (int i = 0; i < 3; ++i)
            info.corners[size_t(i)] = cornerColour(f, i);
        Point q[3];
        for (int i = 0; i < 3; ++i)
            q[i] = picture.toPixels(pointOf(f->vertex(i)->point()));
        // Barycentric weight of corner i: the edge function of the opposite edge over the area.
        const double area =
            (q[1].x - q[0].x) * (q[2].y - q[0].y) - (q[2].x - q[0].x) * (q[1].y - q[0].y);
        if (area == 0.0)
            return;
        double longest = 0.0;
        for (int i = 0; i < 3; ++i)
            longest =
                std::max(longest, std::hypot(q[(i + 1) % 3].x - q[i].x, q[(i + 1) % 3].y - q[i].y));
        info.splittable = longest >= settings.shortestSplitEdge;
        double ax[3], ay[3], a0[3]; // weight i = ax x + ay y + a0
        for (int i = 0; i < 3; ++i) {
            const Point& s = q[(i + 1) % 3];
            const Point& e = q[(i + 2) % 3];
            ax[i] = (s.y - e.y) / area;
            ay[i] = (e.x - s.x) / area;
            a0[i] = (s.x * e.y - e.x * s.y) / area;
        }
        const int n = picture.size();
        const double yMin = std::min({q[0].y, q[1].y, q[2].y});
        const double yMax = std::max({q[0].y, q[1].y, q[2].y});
        const int row0 = std::max(0, int(std::ceil(yMin - 0.5)));
        const int row1 = std::min(n - 1, int(std::floor(yMax - 0.5)));
        for (int row = row0; row <= row1; ++row) {
            const double y = row + 0.5;
            double lo = -1e300, hi = 1e300; // x where every weight is >= 0
            for (int i = 0; i < 3; ++i) {
                const double c = ay[i] * y + a0[i];
                if (std::abs(ax[i]) < 1e-15) {
                    if (c < -1e-9)
                        lo = 1e300;
                } else if (ax[i] > 0) {
                    lo = std::max(lo, -c / ax[i]);
                } else {
                    hi = std::min(hi, -c / ax[i]);
                }
            }
            const int x0 = std::max(0, int(std::ceil(lo - 0.5)));
            const int x1 = std::min(n - 1, int(std::floor(hi - 0.5)));
            for (int x = x0; x <= x1; ++x) {
                if (mask[size_t(row) * n + x])
                    continue;
                const double px = x + 0.5;
                double weight[3];
                for (int i = 0; i < 3; ++i)
                    weight[i] = ax[i] * px + ay[i] * y + a0[i];
                // Rounding may put a pixel just outside a thin face into its span.
                if (weight[0] < -1e-6 || weight[1] < -1e-6 || weight[2] < -1e-6)
                    continue;
                const float* want = picture.pixel(x, row);
                float error = 0.0f;
                for (int c = 0; c < 3; ++c) {
                    double value = 0.0;
                    for (int i = 0; i < 3; ++i)
                        value += weight[i] * info.corners[size_t(i)][size_t(c)];
                    error = std::max(error, std::abs(float(value) - want[c]));
                }
                if (error > info.error) {
                    info.error = error;
                    info.worst = picture.toCanvas(px, y);
                }
            }
        }
    }

    const ReferencePicture& picture;
    const MeshSettings& settings;
    std::vector<bool> mask;
    Triangulation triangulation;
};

} // namespace

GouraudMesh buildAdaptiveMesh(const ReferencePicture& picture, const std::vector<StepLine>& lines,
                              const MeshSettings& settings, MeshStatistics* statistics)
{
    if (picture.isNull())
        return GouraudMesh();
    MeshRefiner refiner(picture, lines, settings);
    refiner.refine(statistics);
    return refiner.mesh();
}
