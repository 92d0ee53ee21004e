// Rasterisation of curves into the solver's constraint images: gradient lines, stencil
// footprints, colour-constraint strips and blur strips.
#include "curve_drawing.h"

#include "curve_geometry.h"
#include "curve_geometry_cache.h"
#include "curve_gl_state.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "shader_program.h"
#include "vertex_batch.h"

namespace {

bool isRasterised(const Curve& curve)
{
    return curve.nb_control_points > 3 && isAboveLifetimeThreshold(curve);
}

// Curves [first, first + count) in index order, their colours in `space`: one curve (in sRGB)
// or a whole set (in the drawing's space).
struct Curves {
    const Curve* first;
    int count;
    ColourSpace space;
};

Curves single(const Curve& curve) { return {&curve, 1, ColourSpace::Srgb}; }

Curves whole(const CurveSet& set)
{
    return {set.curves.constData(), curvegl::curveCount(set), set.colour_space};
}

// The runs of the rasterised curves among `curves`, in order; runOf(curve) gives one run.
template <typename Packed, typename RunOf>
VertexBatch<Packed> batchOf(Curves curves, RunOf runOf)
{
    VertexBatch<Packed> batch;
    for (int i = 0; i < curves.count; ++i)
        if (isRasterised(curves.first[i]))
            appendRun(batch, runOf(curves.first[i]));
    return batch;
}

VertexBatch<PackedGradientVertex> gradientBatch(Curves curves, int axis)
{
    const ColourSpace space = curves.space;
    return batchOf<PackedGradientVertex>(curves, [axis, space](const Curve& c) {
        return gradientLineVertices(c, axis, space);
    });
}

VertexBatch<PackedGradientPairVertex> gradientPairBatch(Curves curves)
{
    const ColourSpace space = curves.space;
    return batchOf<PackedGradientPairVertex>(curves, [space](const Curve& c) {
        return gradientPairVertices(c, space);
    });
}

VertexBatch<PackedConstraintVertex> constraintBatch(Curves curves)
{
    const double halfWidth = colorStripHalfWidth();
    const ColourSpace space = curves.space;
    return batchOf<PackedConstraintVertex>(curves, [halfWidth, space](const Curve& c) {
        return constraintStripVertices(c, halfWidth, space);
    });
}

VertexBatch<PackedBlurVertex> blurBatch(Curves curves)
{
    const double halfWidth = blurStripHalfWidth();
    return batchOf<PackedBlurVertex>(curves, [halfWidth](const Curve& c) {
        return blurStripVertices(c, halfWidth);
    });
}

void drawGradientLines(const VertexBatch<PackedGradientVertex>& batch)
{
    if (batch.empty())
        return;
    curvegl::disableTexturing();
    {
        curvegl::BatchArrays<PackedGradientVertex> arrays(batch);
        arrays.colors(batch.vertices.front().rgba, 4);
        arrays.draw(GL_LINE_STRIP);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

using Runs = CurveGeometryCache::Selection;

// Draws all runs of `arrays`' batch, or only `runs` when not null.
template <typename Packed>
void drawRuns(const curvegl::BatchArrays<Packed>& arrays, GLenum mode, const Runs* runs)
{
    if (runs)
        arrays.draw(mode, runs->firsts, runs->counts);
    else
        arrays.draw(mode);
}

// True when there is nothing to draw: an empty batch, or no run chosen.
template <typename Packed>
bool nothingToDraw(const VertexBatch<Packed>& batch, const Runs* runs)
{
    return batch.vertices.empty() || (runs && runs->empty());
}

void drawGradientPairLines(const VertexBatch<PackedGradientPairVertex>& batch,
                           const Runs* runs = nullptr)
{
    if (nothingToDraw(batch, runs))
        return;
    curvegl::disableTexturing();
    gradientPairProgram().use();
    {
        curvegl::BatchArrays<PackedGradientPairVertex> arrays(batch);
        arrays.colors(batch.vertices.front().x, 4);
        arrays.texCoords(0, batch.vertices.front().y, 4);
        drawRuns(arrays, GL_LINE_STRIP, runs);
    }
    ShaderProgram::release();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawFootprints(const VertexBatch<PackedConstraintVertex>& batch)
{
    if (batch.empty())
        return;
    curvegl::BatchArrays<PackedConstraintVertex> arrays(batch);
    arrays.draw(GL_TRIANGLE_STRIP);
}

void drawColorStrips(const VertexBatch<PackedConstraintVertex>& batch, const Runs* runs = nullptr)
{
    if (nothingToDraw(batch, runs))
        return;
    curvegl::disableTexturing();
    colorConstraintsProgram().use();
    {
        const PackedConstraintVertex& first = batch.vertices.front();
        curvegl::BatchArrays<PackedConstraintVertex> arrays(batch);
        // Set 0: which side of the strip this edge is; sets 1..4: (right, left) per channel.
        arrays.texCoords(0, first.sideAndHeight);
        for (int k = 0; k < 4; ++k)
            arrays.texCoords(1 + k, first.rightLeft[k]);
        drawRuns(arrays, GL_TRIANGLE_STRIP, runs);
    }
    ShaderProgram::release();
}

// Writes (0, 0, 0, 0) over the box, grown by `margin` on every side so that pixel centres on its
// edges are inside, wherever the stencil test passes. Texturing is already off; the current
// colour is kept.
void unconstrainBox(const CanvasRect& box, double margin)
{
    const double x0 = box.minX - margin, y0 = box.minY - margin;
    const double x1 = box.maxX + margin, y1 = box.maxY + margin;
    glPushAttrib(GL_CURRENT_BIT);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
    glPopAttrib();
}

void drawBlurTriangles(const VertexBatch<PackedBlurVertex>& batch, const Runs* runs = nullptr)
{
    if (nothingToDraw(batch, runs))
        return;
    curvegl::disableTexturing();
    {
        curvegl::BatchArrays<PackedBlurVertex> arrays(batch);
        arrays.colors(batch.vertices.front().grey);
        drawRuns(arrays, GL_TRIANGLE_STRIP, runs);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

void drawGradientX(const Curve& curve) { drawGradientLines(gradientBatch(single(curve), 0)); }

void drawGradientY(const Curve& curve) { drawGradientLines(gradientBatch(single(curve), 1)); }

void drawStencilFootprint(const Curve& curve) { drawFootprints(constraintBatch(single(curve))); }

void drawColorConstraintStrip(const Curve& curve)
{
    drawColorStrips(constraintBatch(single(curve)));
}

void drawBlurStrip(const Curve& curve) { drawBlurTriangles(blurBatch(single(curve))); }

void drawGradientsX(const CurveSet& set) { drawGradientLines(gradientBatch(whole(set), 0)); }

void drawGradientsY(const CurveSet& set) { drawGradientLines(gradientBatch(whole(set), 1)); }

void drawGradientPairs(const CurveSet& set)
{
    drawGradientPairLines(gradientPairBatch(whole(set)));
}

namespace {

// The stencil-guarded colour pass over the strips of `batch` (all, or `runs`), whose positions
// lie within `extent`: see drawColorConstraints in curve_drawing.h.
void drawGuardedColorStrips(const VertexBatch<PackedConstraintVertex>& batch, const Runs* runs,
                            const CanvasRect& extent)
{
    // 1. Nothing constrained, nothing counted yet.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (nothingToDraw(batch, runs)) {
        glDisable(GL_STENCIL_TEST);
        return;
    }

    // 2. The strips, counting in the stencil how many of their triangles cover each pixel. A
    // pixel covered once holds the colour of the one triangle over it.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    drawColorStrips(batch, runs);

    // 3. Pixels covered twice or more (crossings, folds) are left to the diffusion: back to
    // (0, 0, 0, 0), as if the strips had been drawn only where the count is below 2.
    glStencilFunc(GL_LEQUAL, 2, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    unconstrainBox(extent, colorStripHalfWidth());
    glDisable(GL_STENCIL_TEST);
}

CanvasRect extentOf(const PositionBounds& b)
{
    if (b.min[0] > b.max[0])
        return {};
    return {b.min[0], b.min[1], b.max[0], b.max[1]};
}

} // namespace

void drawColorConstraints(const CurveSet& set)
{
    const VertexBatch<PackedConstraintVertex> strips = constraintBatch(whole(set));
    drawGuardedColorStrips(strips, nullptr, extentOf(boundsOf(strips)));
}

void drawBlurStrips(const CurveSet& set)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawBlurTriangles(blurBatch(whole(set)));
}

void drawCachedGradientPairs(const CurveGeometryCache& cache, const CanvasRect* within,
                             const CurveRange* run)
{
    const Runs runs =
        CurveGeometryCache::runsOf(cache.gradientPairs(), cache.curvesMeeting(within, run));
    drawGradientPairLines(cache.gradientPairs(), &runs);
}

void drawCachedColorConstraints(const CurveGeometryCache& cache, const CanvasRect* within,
                                const CurveRange* run)
{
    const std::vector<int> curves = cache.curvesMeeting(within, run);
    CanvasRect extent;
    for (int i : curves)
        extent.unite(cache.stripExtentOf(i));
    const Runs runs = CurveGeometryCache::runsOf(cache.constraintStrips(), curves);
    drawGuardedColorStrips(cache.constraintStrips(), &runs, extent);
}

void drawCachedBlurStrips(const CurveGeometryCache& cache, const CanvasRect* within,
                          const CurveRange* run)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const Runs runs =
        CurveGeometryCache::runsOf(cache.blurStrips(), cache.curvesMeeting(within, run));
    drawBlurTriangles(cache.blurStrips(), &runs);
}
