#include "curve_geometry_cache.h"

#include "curve_geometry.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "drawing_change.h"

#include <algorithm>

namespace {

int setCurveCount(const CurveSet& set) { return std::min(set.nb_curves, int(set.curves.size())); }

// The packed vertices of one run, as appendRun packs them into a batch.
template <typename Packed, typename Run>
std::vector<Packed> packedRun(const Run& run)
{
    VertexBatch<Packed> one;
    appendRun(one, run);
    return std::move(one.vertices);
}

template <typename Packed>
void uniteExtent(CanvasRect& extent, const std::vector<Packed>& vertices)
{
    for (const Packed& v : vertices)
        extent.unite(Point(v.position[0], v.position[1]));
}

// Sets run i of `batch` to `run`, which has as many vertices as the run it replaces.
template <typename Packed>
void patchRun(VertexBatch<Packed>& batch, int i, const std::vector<Packed>& run)
{
    std::copy(run.begin(), run.end(), batch.vertices.begin() + batch.firsts[i]);
}

// Appends `run` as the next run of `batch`, also when it is empty.
template <typename Packed>
void appendCurveRun(VertexBatch<Packed>& batch, const std::vector<Packed>& run)
{
    batch.firsts.push_back(static_cast<int>(batch.vertices.size()));
    batch.counts.push_back(static_cast<int>(run.size()));
    batch.vertices.insert(batch.vertices.end(), run.begin(), run.end());
}

template <typename Packed>
void clearBatch(VertexBatch<Packed>& batch)
{
    batch.vertices.clear();
    batch.firsts.clear();
    batch.counts.clear();
}

} // namespace

CurveGeometryCache::Entry CurveGeometryCache::build(const Curve& curve, const Settings& settings)
{
    Entry e;
    e.source = curve;
    if (curve.nb_control_points <= 3 || curve.lifetime < settings.lifetimeThreshold)
        return e;
    e.gradient = packedRun<PackedGradientPairVertex>(gradientPairVertices(curve, settings.space));
    e.strip = packedRun<PackedConstraintVertex>(
        constraintStripVertices(curve, colorStripHalfWidth(), settings.space));
    e.blur = packedRun<PackedBlurVertex>(blurStripVertices(curve, blurStripHalfWidth()));
    uniteExtent(e.stripExtent, e.strip);
    e.extent = e.stripExtent;
    uniteExtent(e.extent, e.gradient);
    uniteExtent(e.extent, e.blur);
    return e;
}

CurveGeometryCache::Change CurveGeometryCache::sync(const CurveSet& set)
{
    Change change;
    const Settings now{curveRenderingSettings().pixelSize,
                       curveRenderingSettings().lifetimeThreshold, set.colour_space};
    const int n = setCurveCount(set);
    const Curve* curves = set.curves.constData();

    if (!synced || !(now == settings)) {
        // Everything afresh: the old extents no longer say where the old geometry lay.
        for (const Entry& e : entries)
            change.extent.unite(e.extent);
        settings = now;
        synced = true;
        entries.clear();
        entries.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            if (progress && i % kBuildProgressStep == 0)
                progress(i, n);
            entries.push_back(build(curves[i], settings));
            change.extent.unite(entries.back().extent);
        }
        change.everything = true;
        change.changedCurves = n;
        pack({});
        return change;
    }

    const int old = curveCount();
    const auto same = [&](int entry, int curve) {
        return !entries[entry].stale && sameDrawnCurve(entries[entry].source, curves[curve]);
    };
    // The unchanged curves at both ends (curves inserted or removed shift those after them);
    // everything between is rebuilt, except curves that compare equal at the same index.
    const int shorter = std::min(old, n);
    int prefix = 0;
    while (prefix < shorter && same(prefix, prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix && same(old - 1 - suffix, n - 1 - suffix))
        ++suffix;

    std::vector<int> rebuilt;
    if (old == n) {
        for (int i = prefix; i < n - suffix; ++i) {
            if (same(i, i))
                continue;
            change.extent.unite(entries[i].extent);
            entries[i] = build(curves[i], settings);
            change.extent.unite(entries[i].extent);
            rebuilt.push_back(i);
        }
        change.changedCurves = static_cast<int>(rebuilt.size());
        if (!rebuilt.empty())
            pack(rebuilt);
        return change;
    }

    // A run of curves added or removed: entries [prefix, old - suffix) become curves
    // [prefix, n - suffix).
    std::vector<Entry> middle;
    for (int i = prefix; i < old - suffix; ++i)
        change.extent.unite(entries[i].extent);
    for (int i = prefix; i < n - suffix; ++i) {
        middle.push_back(build(curves[i], settings));
        change.extent.unite(middle.back().extent);
    }
    change.changedCurves = (old - suffix - prefix) + static_cast<int>(middle.size());
    entries.erase(entries.begin() + prefix, entries.begin() + (old - suffix));
    entries.insert(entries.begin() + prefix, std::make_move_iterator(middle.begin()),
                   std::make_move_iterator(middle.end()));
    pack({});
    return change;
}

void CurveGeometryCache::pack(const std::vector<int>& rebuilt)
{
    const bool samePlaces =
        !rebuilt.empty() && std::all_of(rebuilt.begin(), rebuilt.end(), [&](int i) {
            return i < gradients.runCount()
                   && int(entries[i].gradient.size()) == gradients.counts[i]
                   && int(entries[i].strip.size()) == strips.counts[i]
                   && int(entries[i].blur.size()) == blurs.counts[i];
        });
    if (samePlaces) {
        for (int i : rebuilt) {
            patchRun(gradients, i, entries[i].gradient);
            patchRun(strips, i, entries[i].strip);
            patchRun(blurs, i, entries[i].blur);
        }
        return;
    }
    clearBatch(gradients);
    clearBatch(strips);
    clearBatch(blurs);
    for (const Entry& e : entries) {
        appendCurveRun(gradients, e.gradient);
        appendCurveRun(strips, e.strip);
        appendCurveRun(blurs, e.blur);
    }
}

void CurveGeometryCache::invalidate(int index)
{
    if (index >= 0 && index < curveCount())
        entries[index].stale = true;
}

void CurveGeometryCache::invalidateAll() { synced = false; }

CanvasRect CurveGeometryCache::extentOf(int i) const
{
    return i >= 0 && i < curveCount() ? entries[i].extent : CanvasRect();
}

CanvasRect CurveGeometryCache::stripExtentOf(int i) const
{
    return i >= 0 && i < curveCount() ? entries[i].stripExtent : CanvasRect();
}

std::vector<int> CurveGeometryCache::curvesMeeting(const CanvasRect* within,
                                                   const CurveRange* run) const
{
    std::vector<int> out;
    const int first = run ? std::max(0, run->first) : 0;
    const int end = run ? std::min(run->end, curveCount()) : curveCount();
    for (int i = first; i < end; ++i) {
        const CanvasRect& extent = entries[i].extent;
        if (!extent.isEmpty() && (!within || extent.intersects(*within)))
            out.push_back(i);
    }
    return out;
}
