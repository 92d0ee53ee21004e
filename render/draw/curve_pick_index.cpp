// Picking on the CPU: the named items of drawForPicking (curve_drawing_picking.cpp) tested
// against the pick square in the same order, with the grid choosing which curve bodies to test.
#include "curve_pick_index.h"

#include "curve_geometry.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "drawing_change.h"

#include <algorithm>
#include <cmath>

namespace {

int setCurveCount(const CurveSet& set) { return std::min(set.nb_curves, int(set.curves.size())); }

// Cell column or row of canvas coordinate c, clamped into the grid.
int cellOf(double c)
{
    const double cell = std::floor((c + 1.0) * 0.5 * CurvePickIndex::kGridCells);
    return int(std::clamp(cell, 0.0, double(CurvePickIndex::kGridCells - 1)));
}

// True when the segment a..b meets the rectangle (Liang-Barsky clipping).
bool segmentMeets(const Point& a, const Point& b, const CanvasRect& r)
{
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double from[2] = {a.x, a.y};
    const double low[2] = {r.minX, r.minY}, high[2] = {r.maxX, r.maxY};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0.0) {
            if (from[k] < low[k] || from[k] > high[k])
                return false;
            continue;
        }
        double tLow = (low[k] - from[k]) / d[k], tHigh = (high[k] - from[k]) / d[k];
        if (tLow > tHigh)
            std::swap(tLow, tHigh);
        t0 = std::max(t0, tLow);
        t1 = std::min(t1, tHigh);
        if (t0 > t1)
            return false;
    }
    return true;
}

// The 32-sided polygon GLU draws for a disk of radius r around c (GLU places its vertices at
// (r sin a, r cos a), a = 2 pi i / 32: the same points), counter-clockwise.
constexpr int kDiskSlices = 32;
std::vector<Point> diskPolygon(const Point& c, double r)
{
    std::vector<Point> p;
    p.reserve(kDiskSlices);
    for (int i = 0; i < kDiskSlices; ++i) {
        const double angle = 2.0 * M_PI * i / kDiskSlices;
        p.push_back({c.x + r * std::cos(angle), c.y + r * std::sin(angle)});
    }
    return p;
}

// True when the convex polygon meets the rectangle (separating axes: the rectangle's two and
// the polygon's edge normals).
bool convexMeets(const std::vector<Point>& poly, const CanvasRect& r)
{
    CanvasRect box;
    for (const Point& p : poly)
        box.unite(p);
    if (!box.intersects(r))
        return false;
    const Point corners[4] = {{r.minX, r.minY},
                              {r.maxX, r.minY},
                              {r.maxX, r.maxY},
                              {r.minX, r.maxY}};
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = poly[i];
        const Point& b = poly[(i + 1) % n];
        const Point normal(b.y - a.y, a.x - b.x); // outward for a counter-clockwise polygon
        double polyMax = -INFINITY;
        for (const Point& p : poly)
            polyMax = std::max(polyMax, normal.x * (p.x - a.x) + normal.y * (p.y - a.y));
        double rectMin = INFINITY;
        for (const Point& c : corners)
            rectMin = std::min(rectMin, normal.x * (c.x - a.x) + normal.y * (c.y - a.y));
        if (rectMin > polyMax)
            return false;
    }
    return true;
}

// True when the rectangle lies wholly inside the convex polygon (counter-clockwise).
bool convexHolds(const std::vector<Point>& poly, const CanvasRect& r)
{
    const Point corners[4] = {{r.minX, r.minY},
                              {r.maxX, r.minY},
                              {r.maxX, r.maxY},
                              {r.minX, r.maxY}};
    const size_t n = poly.size();
    for (const Point& c : corners)
        for (size_t i = 0; i < n; ++i) {
            const Point& a = poly[i];
            const Point& b = poly[(i + 1) % n];
            if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < 0.0)
                return false;
        }
    return true;
}

// The selection buffer of GL_SELECT, played on the CPU: a record with the current name is
// written when the name changes (or at the end) if some primitive since the last change met
// the square.
class SelectRecorder {
public:
    explicit SelectRecorder(const CanvasRect& square) : square(square) {}

    void loadName(unsigned name)
    {
        flush();
        current = name;
    }
    void segment(const Point& a, const Point& b)
    {
        if (!hit && segmentMeets(a, b, square))
            hit = true;
    }
    void polyline(const std::vector<Point>& points)
    {
        for (size_t i = 1; i < points.size() && !hit; ++i)
            segment(points[i - 1], points[i]);
    }
    // A filled disk (inner 0) or a ring between two radii.
    void disk(const Point& c, double inner, double outer)
    {
        if (hit)
            return;
        if (!convexMeets(diskPolygon(c, outer), square))
            return;
        if (inner > 0.0 && convexHolds(diskPolygon(c, inner), square))
            return;
        hit = true;
    }
    // The dashed outline and the invisible filled quad of a box.
    void box(const Point& min, const Point& max)
    {
        if (!hit && CanvasRect{min.x, min.y, max.x, max.y}.intersects(square))
            hit = true;
    }
    // Marks a hit found elsewhere (the grid's bodies).
    void markHit() { hit = true; }
    bool hasHit() const { return hit; }
    const CanvasRect& pickSquare() const { return square; }

    QVector<unsigned> finish()
    {
        flush();
        return names;
    }

private:
    void flush()
    {
        if (hit)
            names.append(current);
        hit = false;
    }

    CanvasRect square;
    unsigned current = 0;
    bool hit = false;
    QVector<unsigned> names;
};

// The named drawing of curve_drawing_picking.cpp, played into a recorder.
class PickPlayer {
public:
    PickPlayer(const CurveSet& set, const CurvePickIndex& index, SelectRecorder& out)
        : set(set), index(index), out(out), count(std::min(setCurveCount(set), index.curveCount())),
          near(index.curvesNear(out.pickSquare()))
    {
    }

    void play(ManipulationMode mode, PickPurpose purpose)
    {
        if (static_cast<int>(purpose) < 0 || static_cast<int>(purpose) > 3)
            return;
        if (mode == ModeSelectMulti) {
            multiSelection(purpose);
            return;
        }
        const bool pointModes = mode == ModeMovePoint || mode == ModeSelectCurve
                                || mode == ModeModifAttrib || mode == ModeBucket;
        if (!pointModes)
            return;
        if (set.current_curve >= 0 && set.current_curve < count)
            currentCurveItems(mode, purpose);
        else
            curvesByIndex();
    }

private:
    // drawCurve of curve i: its body unless it is below the lifetime threshold.
    void body(int i)
    {
        if (!isAboveLifetimeThreshold(set.curves[i]))
            return;
        for (const std::vector<Point>& polyline : index.bodyOf(i))
            out.polyline(polyline);
    }
    // drawCurve of every near curve that `take` accepts, in index order.
    template <typename Take>
    void bodies(Take take)
    {
        for (int i : near)
            if (i < count && take(i))
                body(i);
    }

    void curvesByIndex()
    {
        for (int i : near) {
            if (i >= count)
                continue;
            out.loadName(curvePickName(i));
            body(i);
        }
    }

    void multiSelection(PickPurpose purpose)
    {
        if (purpose == PickPurpose::Menu)
            return;
        if (purpose != PickPurpose::Press) {
            curvesByIndex();
            return;
        }
        out.loadName(kPickNameNothing);
        bodies([&](int i) { return !set.curves[i].selected; });
        out.loadName(kPickNameBox);
        out.box(set.selection_min, set.selection_max);
        for (int i : set.selection)
            if (i >= 0 && i < count && std::binary_search(near.begin(), near.end(), i))
                body(i);
    }

    void currentCurveItems(ManipulationMode mode, PickPurpose purpose)
    {
        const bool attributes = mode == ModeModifAttrib || mode == ModeBucket;
        if (mode != ModeMovePoint && !attributes)
            return;
        const int c = set.current_curve;
        const Curve& current = set.curves[c];
        const bool shown = isAboveLifetimeThreshold(current);

        out.loadName(kPickNameNothing);
        bodies([c](int i) { return i != c; });
        out.loadName(kPickNameBox);
        if (shown)
            out.box(current.bbox_min, current.bbox_max);
        if (purpose == PickPurpose::Press) {
            out.loadName(kPickNameBody);
            if (shown)
                for (const std::vector<Point>& polyline : index.bodyOf(c))
                    out.polyline(polyline);
        } else {
            for (const SamplePiece& piece : samplePieces(current)) {
                out.loadName(piece.name);
                out.segment(piece.from, piece.to);
            }
        }
        if (!shown)
            return;
        if (attributes)
            attributePoints(current, purpose == PickPurpose::Press);
        else
            controlPoints(current);
    }

    void controlPoints(const Curve& curve)
    {
        const double r = curveRenderingSettings().handleSize * 0.5;
        const int n = std::min(curve.nb_control_points, int(curve.control_points.size()));
        const QVector<Point>& cp = curve.control_points;
        const auto tangentHandle = [&](const Point& key, const Point& tangent, bool withLine) {
            if (withLine)
                out.segment(key, tangent);
            out.disk(tangent, 0.0, 1.4 * r); // the outline holds the handle's own disk
        };
        for (int j = 0; 3 * j + 1 < n; ++j) {
            const int outPoint = 3 * j + 1, inPoint = 3 * j + 2;
            out.loadName(controlPointPickName(outPoint));
            tangentHandle(cp[3 * j], cp[outPoint], true);
            if (inPoint < n) {
                out.loadName(controlPointPickName(inPoint));
                tangentHandle(inPoint + 1 < n ? cp[inPoint + 1] : cp[inPoint], cp[inPoint],
                              inPoint + 1 < n);
            }
        }
        for (int k = 0; k < n; k += 3) {
            out.loadName(controlPointPickName(k));
            const Point& p = cp[k];
            out.segment({p.x - r, p.y - r}, {p.x + r, p.y + r});
            out.segment({p.x + r, p.y - r}, {p.x - r, p.y + r});
        }
    }

    void attributePoints(const Curve& curve, bool indexNames)
    {
        if (curve.nb_left_colors <= 1 || curve.nb_right_colors <= 1 || curve.nb_blur_points <= 1)
            return;
        const double r = curveRenderingSettings().handleSize * 0.5;
        const auto list = [&](const QVector<int>& ids, int count, AttributeKind kind,
                              double offset) {
            const int n = std::min(count, int(ids.size()));
            for (int i = curve.closed ? 1 : 0; i < n; ++i) {
                Point position, normal;
                if (!attributePointFrame(curve, ids[i], position, normal))
                    continue;
                out.loadName(indexNames ? attributePointPickName(kind, i)
                                        : curvePositionPickName(ids[i]));
                // Two rings and a disk: together the disk of the outer ring.
                out.disk(position + normal * offset, 0.0, 1.8 * r);
            }
        };
        list(curve.left_color_ids, std::min(curve.nb_left_colors, int(curve.left_colors.size())),
             LeftColor, 4.0 * r);
        list(curve.right_color_ids, std::min(curve.nb_right_colors, int(curve.right_colors.size())),
             RightColor, -4.0 * r);
        list(curve.blur_ids, std::min(curve.nb_blur_points, int(curve.blur_values.size())), Blur,
             0.0);
    }

    const CurveSet& set;
    const CurvePickIndex& index;
    SelectRecorder& out;
    const int count;
    const std::vector<int> near; // ascending
};

} // namespace

CurvePickIndex::Entry CurvePickIndex::build(const Curve& curve)
{
    Entry e;
    e.source = curve;
    if (curve.nb_control_points > 3) {
        e.body = segmentPolylines(curve);
    } else if (curve.nb_control_points > 0) {
        const int n = std::min(curve.nb_control_points, int(curve.control_points.size()));
        e.body.emplace_back(curve.control_points.begin(), curve.control_points.begin() + n);
    }
    for (const std::vector<Point>& polyline : e.body)
        for (const Point& p : polyline)
            e.extent.unite(p);
    return e;
}

void CurvePickIndex::list(int i)
{
    Entry& e = entries[i];
    if (e.extent.isEmpty()) {
        e.cells[0] = e.cells[1] = 0;
        e.cells[2] = e.cells[3] = -1;
        return;
    }
    e.cells[0] = cellOf(e.extent.minX);
    e.cells[1] = cellOf(e.extent.minY);
    e.cells[2] = cellOf(e.extent.maxX);
    e.cells[3] = cellOf(e.extent.maxY);
    for (int y = e.cells[1]; y <= e.cells[3]; ++y)
        for (int x = e.cells[0]; x <= e.cells[2]; ++x)
            cells[size_t(y) * kGridCells + x].push_back(i);
}

void CurvePickIndex::unlist(int i)
{
    const Entry& e = entries[i];
    for (int y = e.cells[1]; y <= e.cells[3]; ++y)
        for (int x = e.cells[0]; x <= e.cells[2]; ++x) {
            std::vector<int>& cell = cells[size_t(y) * kGridCells + x];
            cell.erase(std::remove(cell.begin(), cell.end(), i), cell.end());
        }
}

void CurvePickIndex::rebuildGrid()
{
    cells.assign(size_t(kGridCells) * kGridCells, {});
    for (int i = 0; i < curveCount(); ++i)
        list(i);
}

void CurvePickIndex::sync(const CurveSet& set)
{
    const int n = setCurveCount(set);
    if (n != curveCount() || cells.empty()) {
        // Curves added or removed shift the indices after them: every cell afresh, the
        // polylines of unchanged curves kept where they still line up.
        std::vector<Entry> fresh;
        fresh.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            const bool kept = i < curveCount() && sameDrawnCurve(entries[i].source, set.curves[i]);
            fresh.push_back(kept ? std::move(entries[i]) : build(set.curves[i]));
        }
        entries = std::move(fresh);
        rebuildGrid();
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (sameDrawnCurve(entries[i].source, set.curves[i]))
            continue;
        unlist(i);
        entries[i] = build(set.curves[i]);
        list(i);
    }
}

std::vector<int> CurvePickIndex::curvesNear(const CanvasRect& rect) const
{
    std::vector<int> out;
    if (rect.isEmpty() || cells.empty())
        return out;
    const int x0 = cellOf(rect.minX), x1 = cellOf(rect.maxX);
    const int y0 = cellOf(rect.minY), y1 = cellOf(rect.maxY);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            for (int i : cells[size_t(y) * kGridCells + x])
                if (entries[i].extent.intersects(rect))
                    out.push_back(i);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

const std::vector<std::vector<Point>>& CurvePickIndex::bodyOf(int i) const
{
    static const std::vector<std::vector<Point>> none;
    return i >= 0 && i < curveCount() ? entries[i].body : none;
}

CanvasRect pickSquareOf(const PickQuery& query)
{
    const double w = query.viewport[2], h = query.viewport[3];
    if (w <= 0.0 || h <= 0.0 || !(query.view.zoom > 0.0))
        return {};
    const auto ndc = [](double pixel, double origin, double size) {
        return (pixel - origin) / size * 2.0 - 1.0;
    };
    const double half = 0.5 * query.region;
    const Point low = query.view.ndcToCanvas(
        {ndc(query.x - half, query.viewport[0], w), ndc(query.y - half, query.viewport[1], h)});
    const Point high = query.view.ndcToCanvas(
        {ndc(query.x + half, query.viewport[0], w), ndc(query.y + half, query.viewport[1], h)});
    return {low.x, low.y, high.x, high.y};
}

PickHits pickCurveSetIndexed(const CurveSet& set, CurvePickIndex& index, const PickQuery& query)
{
    index.sync(set);
    SelectRecorder recorder(pickSquareOf(query));
    PickPlayer(set, index, recorder).play(query.mode, query.purpose);
    PickHits result;
    result.names = recorder.finish();
    PickContext context;
    context.mode = query.mode;
    context.purpose = query.purpose;
    const int count = std::min(setCurveCount(set), index.curveCount());
    context.currentCurve =
        set.current_curve >= 0 && set.current_curve < count ? set.current_curve : -1;
    for (unsigned name : result.names)
        result.hits.append(decodePickName(name, context));
    return result;
}
