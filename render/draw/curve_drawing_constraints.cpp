// Rasterisation of curves into the solver's constraint images: gradient lines, stencil
// footprints, colour-constraint strips and blur strips.
#include "curve_drawing.h"

#include "curve_geometry.h"
#include "curve_gl_state.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "shader_program.h"
#include "vertex_batch.h"

namespace {

// Colour strips and footprints are 10 pixels wide, blur strips 4.
constexpr double kColorStripHalfWidthPixels = 5.0;
constexpr double kBlurStripHalfWidthPixels = 2.0;

bool isRasterised(const Curve& curve)
{
    return curve.nb_control_points > 3 && isAboveLifetimeThreshold(curve);
}

double blurStripHalfWidth()
{
    return kBlurStripHalfWidthPixels * curveRenderingSettings().pixelSize;
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
        arrays.colors(batch.vertices.front().rgb);
        arrays.draw(GL_LINE_STRIP);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawGradientPairLines(const VertexBatch<PackedGradientPairVertex>& batch)
{
    if (batch.empty())
        return;
    curvegl::disableTexturing();
    gradientPairProgram().use();
    {
        curvegl::BatchArrays<PackedGradientPairVertex> arrays(batch);
        arrays.colors(batch.vertices.front().x);
        arrays.texCoords(0, batch.vertices.front().y, 3);
        arrays.draw(GL_LINE_STRIP);
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

void drawColorStrips(const VertexBatch<PackedConstraintVertex>& batch)
{
    if (batch.empty())
        return;
    curvegl::disableTexturing();
    colorConstraintsProgram().use();
    {
        const PackedConstraintVertex& first = batch.vertices.front();
        curvegl::BatchArrays<PackedConstraintVertex> arrays(batch);
        // Set 0: which side of the strip this edge is; sets 1..3: (right, left) per channel.
        arrays.texCoords(0, first.sideAndHeight);
        for (int k = 0; k < 3; ++k)
            arrays.texCoords(1 + k, first.rightLeft[k]);
        arrays.draw(GL_TRIANGLE_STRIP);
    }
    ShaderProgram::release();
}

// Writes (0, 0, 0, 0) over the box, grown by `margin` on every side so that pixel centres on its
// edges are inside, wherever the stencil test passes. Texturing is already off; the current
// colour is kept.
void unconstrainBox(const PositionBounds& box, double margin)
{
    const double x0 = box.min[0] - margin, y0 = box.min[1] - margin;
    const double x1 = box.max[0] + margin, y1 = box.max[1] + margin;
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

void drawBlurTriangles(const VertexBatch<PackedBlurVertex>& batch)
{
    if (batch.empty())
        return;
    curvegl::disableTexturing();
    {
        curvegl::BatchArrays<PackedBlurVertex> arrays(batch);
        arrays.colors(batch.vertices.front().grey);
        arrays.draw(GL_TRIANGLE_STRIP);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

double colorStripHalfWidth()
{
    return kColorStripHalfWidthPixels * curveRenderingSettings().pixelSize;
}

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

void drawColorConstraints(const CurveSet& set)
{
    const VertexBatch<PackedConstraintVertex> strips = constraintBatch(whole(set));

    // 1. Nothing constrained, nothing counted yet.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (strips.empty()) {
        glDisable(GL_STENCIL_TEST);
        return;
    }

    // 2. The strips, counting in the stencil how many of their triangles cover each pixel. A
    // pixel covered once holds the colour of the one triangle over it.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    drawColorStrips(strips);

    // 3. Pixels covered twice or more (crossings, folds) are left to the diffusion: back to
    // (0, 0, 0, 0), as if the strips had been drawn only where the count is below 2.
    glStencilFunc(GL_LEQUAL, 2, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    unconstrainBox(boundsOf(strips), colorStripHalfWidth());
    glDisable(GL_STENCIL_TEST);
}

void drawBlurStrips(const CurveSet& set)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawBlurTriangles(blurBatch(whole(set)));
}
