#pragma once

#include "canvas_rect.h"
#include "curve_geometry_cache.h"
#include "view.h"

struct SolverImages;
struct SolverInput;
struct SolverPrograms;
class Texture;

// The passes that rasterise the drawing into level 0 of a solver's images at a View: the
// gradient images, the divergence (the right-hand side of the Poisson solve), the colour
// constraints with an optional ring of the overview's colours along the window's edge, and the
// blur constraints. The gradient and colour passes draw SolverInput::run() (one layer of a
// layered drawing), the blur strips too (each layer is blurred alone). Without a drawing the images are cleared (no jump, nothing fixed). Every
// pass does nothing before the images are made, needs the solver's GL context current and
// leaves the state of SolverImages::leavePasses.
//
// The curves' vertices come from a CurveGeometryCache synced with the drawing at every pass, so
// that only the curves an edit touched are tessellated again.
//
// Region redraws. Each pass takes an optional `dirty` rectangle in canvas units: with one, only
// the pixels of level 0 that the rectangle reaches at view `v`, grown by one pixel, are redrawn
// (with only the curves that cross them) and every other pixel is kept; the divergence is made
// again one pixel further out, where it reads the changed gradients. The result is byte for byte
// the image a whole redraw gives, provided the image held the rasterisation at `v` of a drawing
// that differs from the current one only inside `dirty` (the union of the old and the new extent
// of the curves that changed: see CurveGeometryCache::Change). An empty rectangle redraws
// nothing; nullptr redraws the whole image, or, with region redraws switched on
// (setRegionRedraws), what changed since the image was last drawn: see there.
class SolverRasteriser {
public:
    SolverRasteriser(SolverImages& images, SolverPrograms& programs, const SolverInput& input)
        : images(images), programs(programs), input(input)
    {
    }

    // gradientX[0] and gradientY[0] from the curves at view `v`.
    void drawGradients(const View& v, const CanvasRect* dirty = nullptr);
    // drawGradients, then divergence[0]: the right-hand side of the Poisson solve.
    void buildDivergencePyramid(const View& v, const CanvasRect* dirty = nullptr);
    // Level 0 of colorConstraints; with `border`, a one-pixel ring along the window's edge
    // holds the colours of the full-canvas solution kept in `ring` (null: the overview image;
    // a layer's own whole-canvas picture in a layered drawing) (with a dirty rectangle, the
    // ring is drawn again where it crosses the redrawn pixels).
    void buildColorConstraints(const View& v, bool border, const CanvasRect* dirty = nullptr,
                               const Texture* ring = nullptr);
    // Level 0 of blurConstraints, from the curves of SolverInput::run() as the colour passes.
    void buildBlurConstraints(const View& v, const CanvasRect* dirty = nullptr);

    // Off (the default): a pass without a dirty rectangle redraws its whole image. On: such a
    // pass syncs the geometry with the drawing and redraws only the union of the extents of
    // the curves that changed since its image was last drawn, when the image still holds the
    // drawing at the same view (and, for the colour constraints, neither then nor now with the
    // border ring, whose colours come from the overview); the whole image otherwise. For the
    // editor, whose solver draws its images only through these passes; an export solver keeps
    // it off. Switching it on or off makes the next pass of every image whole.
    void setRegionRedraws(bool on);
    bool regionRedraws() const { return regionMode; }
    // Where level 0 of colorConstraints was redrawn since the last call (the first call:
    // everywhere): `whole`, or the bounding block of the pixels redrawn (empty when none were).
    // The multigrid rebuilds its operators only there.
    struct ConstraintChange {
        bool whole = true;
        PixelRect pixels;
    };
    ConstraintChange takeConstraintChange();
    // Makes the next pass of every image whole (for a caller that drew into the images by
    // other means).
    void forgetImages();

    // The kept geometry, synced at every pass (for picking or the overlay to share, and for
    // tests). invalidate() on it rebuilds a curve at the next pass.
    CurveGeometryCache& geometry() { return cache; }
    const CurveGeometryCache& geometry() const { return cache; }
    // Syncs the geometry with the drawing and adds what changed to every group's pending
    // rectangle. Every pass does it first; a caller may do it beforehand (the editor does, to
    // report the building of a large drawing's geometry). Needs no GL context.
    void syncGeometry();

private:
    // What one image group last received, for region redraws.
    struct Held {
        bool valid = false;
        View view;
        int layer = -1; // SolverInput::layer when drawn
        bool border = false;
        CanvasRect pending; // extents changed since then
    };
    enum Group { Gradients = 0, ColorConstraints = 1, BlurConstraints = 2, GroupCount = 3 };

    // The rectangle a pass of `group` at `v` redraws: `dirty` when given, else the group's
    // pending rectangle when region redraws are on and the group holds `v` (and no border on
    // either side), else null (the whole image). Records that the group now holds `v`.
    const CanvasRect* regionFor(Group group, const View& v, bool border, const CanvasRect* dirty);
    // The level-0 pixels a region at `v` redraws (one pixel of margin) and the canvas rectangle
    // whose curves can reach them (one pixel more).
    PixelRect pixelsOf(const CanvasRect& region, const View& v, int marginPixels) const;
    // The pixels a pass redraws: with a region, those it covers grown by `marginPixels` into
    // *pixels, false (passes left) when none are left to draw; without one, true (whole image).
    bool regionPixels(const CanvasRect* region, const View& v, int marginPixels,
                      PixelRect* pixels) const;
    CanvasRect cullRectOf(const PixelRect& pixels, const View& v) const;
    void drawGradientsInto(const View& v, const CanvasRect* region);
    // Gives the constraint images the precision the drawing needs (see ConstraintPrecision).
    // True when the images were made afresh.
    bool matchConstraintPrecision();

    SolverImages& images;
    SolverPrograms& programs;
    const SolverInput& input;
    CurveGeometryCache cache;
    bool regionMode = false;
    Held held[GroupCount];
    CanvasRect regionBuffer[GroupCount]; // what regionFor hands out
    ConstraintChange constraintChange;   // since the last takeConstraintChange
    void noteConstraintChange(const PixelRect* pixels);
};
