#pragma once

#include "canvas_rect.h"
#include "colour_space.h"
#include "curve.h"
#include "curve_set_layers.h"
#include "vertex_batch.h"

#include <functional>
#include <utility>
#include <vector>

class CurveSet;

// The rasterised geometry of every curve of a drawing, kept between frames so that an edit
// re-tessellates only the curves it touched. For curve index i the cache keeps the packed
// vertices that the constraint images are drawn from (vertex_batch.h): its gradient line (both
// axes), its colour-constraint strip (half-width 5 pixelSize, also the stencil footprint) and
// its blur strip (half-width 2 pixelSize), each one run of the kind's batch, and the canvas
// extent of all of them. Curves that are not rasterised (3 control points or fewer, lifetime
// below the threshold) keep runs of 0 vertices and an empty extent. Needs no GL context.
//
// sync() compares every curve with the one its entry was made from (sameDrawnCurve: arrays the
// document has not touched are still shared with the cache's copy, so the check costs a few
// pointer comparisons a curve) and rebuilds only those that differ; a change of pixelSize, of
// the lifetime threshold or of the drawing's colour space rebuilds everything.
class CurveGeometryCache {
public:
    // What one sync changed.
    struct Change {
        // Union of the old and the new extent of every rebuilt, added or removed curve; empty
        // when nothing changed.
        CanvasRect extent;
        // Entries rebuilt, plus entries dropped and made where curves were removed or added.
        int changedCurves = 0;
        // Every entry was made afresh (the first sync, or the settings changed).
        bool everything = false;
        bool isEmpty() const { return changedCurves == 0 && !everything; }
    };

    // Brings the cache up to date with `set` (its first min(nb_curves, curves.size()) curves)
    // and the program-wide curve-rendering settings.
    Change sync(const CurveSet& set);
    // The next sync rebuilds curve `index` even if it compares equal (out of range: nothing),
    // or every curve.
    void invalidate(int index);
    void invalidateAll();
    // Called with (entries made, entries to make) every kBuildProgressStep entries while a sync
    // makes every entry afresh, to report the building of a large drawing; none by default.
    using BuildProgress = std::function<void(int done, int total)>;
    static constexpr int kBuildProgressStep = 2048;
    void setBuildProgress(BuildProgress report) { progress = std::move(report); }

    // Number of curves synced.
    int curveCount() const { return static_cast<int>(entries.size()); }
    // Canvas extent of every vertex of curve i's runs (empty when it is not rasterised, or i out
    // of range).
    CanvasRect extentOf(int i) const;
    // Extent of curve i's colour-constraint strip alone.
    CanvasRect stripExtentOf(int i) const;

    // One run per synced curve, in index order (run i has 0 vertices when curve i is not
    // rasterised).
    const VertexBatch<PackedGradientPairVertex>& gradientPairs() const { return gradients; }
    const VertexBatch<PackedConstraintVertex>& constraintStrips() const { return strips; }
    const VertexBatch<PackedBlurVertex>& blurStrips() const { return blurs; }

    // Indices of the rasterised curves whose extent meets `within` (every rasterised curve
    // with nullptr), ascending; with `run`, only those of that run (a layer's).
    std::vector<int> curvesMeeting(const CanvasRect* within, const CurveRange* run = nullptr) const;

    // Runs of some curves of one of the batches above, as glMultiDrawArrays takes them.
    struct Selection {
        std::vector<int> firsts;
        std::vector<int> counts;
        bool empty() const { return counts.empty(); }
    };
    // The runs of `curves` (indices of synced curves, in the order given) in `batch`.
    template <typename Packed>
    static Selection runsOf(const VertexBatch<Packed>& batch, const std::vector<int>& curves)
    {
        Selection s;
        s.firsts.reserve(curves.size());
        s.counts.reserve(curves.size());
        for (int i : curves)
            if (batch.counts[i] > 0) {
                s.firsts.push_back(batch.firsts[i]);
                s.counts.push_back(batch.counts[i]);
            }
        return s;
    }

private:
    struct Entry {
        Curve source; // what the entry was made from; shares its arrays with the document's
        bool stale = false;
        CanvasRect extent;      // all runs
        CanvasRect stripExtent; // the colour-constraint strip
        std::vector<PackedGradientPairVertex> gradient;
        std::vector<PackedConstraintVertex> strip;
        std::vector<PackedBlurVertex> blur;
    };
    // The program-wide values the geometry depends on.
    struct Settings {
        double pixelSize = 0.0;
        int lifetimeThreshold = 0;
        ColourSpace space = ColourSpace::Srgb;
        bool operator==(const Settings& o) const
        {
            return pixelSize == o.pixelSize && lifetimeThreshold == o.lifetimeThreshold
                   && space == o.space;
        }
    };

    // An entry made from `curve` in the given settings.
    static Entry build(const Curve& curve, const Settings& settings);
    // Copies the entries' runs into the batches: only the runs of `rebuilt` when no run
    // changed its length, else everything.
    void pack(const std::vector<int>& rebuilt);

    Settings settings;
    BuildProgress progress;
    bool synced = false;
    std::vector<Entry> entries;
    VertexBatch<PackedGradientPairVertex> gradients;
    VertexBatch<PackedConstraintVertex> strips;
    VertexBatch<PackedBlurVertex> blurs;
};
