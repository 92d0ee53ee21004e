// Rasterisation of curves into the solver's constraint images: gradient lines, stencil
// footprints, colour-constraint strips and blur strips.
#include "curve_drawing.h"

#include "curve_geometry.h"
#include "curve_gl_state.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "shader_program.h"

namespace {

// Colour strips and footprints are 10 pixels wide, blur strips 4.
constexpr double kColorStripHalfWidthPixels = 5.0;
constexpr double kBlurStripHalfWidthPixels = 2.0;

bool isRasterised(const Curve& curve)
{
    return curve.nb_control_points > 3 && isAboveLifetimeThreshold(curve);
}

double colorStripHalfWidth()
{
    return kColorStripHalfWidthPixels * curveRenderingSettings().pixelSize;
}

void drawGradient(const Curve& curve, int axis)
{
    if (!isRasterised(curve))
        return;
    const std::vector<GradientVertex> vertices = gradientLineVertices(curve, axis);
    curvegl::disableTexturing();
    glBegin(GL_LINE_STRIP);
    for (const GradientVertex& v : vertices) {
        glColor3f(v.rgb[0], v.rgb[1], v.rgb[2]);
        curvegl::vertex(v.position);
    }
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

void drawGradientX(const Curve& curve) { drawGradient(curve, 0); }

void drawGradientY(const Curve& curve) { drawGradient(curve, 1); }

void drawStencilFootprint(const Curve& curve)
{
    if (!isRasterised(curve))
        return;
    const std::vector<ConstraintVertex> vertices =
        constraintStripVertices(curve, colorStripHalfWidth());
    glBegin(GL_TRIANGLE_STRIP);
    for (const ConstraintVertex& v : vertices)
        curvegl::vertex(v.position);
    glEnd();
}

void drawColorConstraintStrip(const Curve& curve)
{
    if (!isRasterised(curve))
        return;
    const std::vector<ConstraintVertex> vertices =
        constraintStripVertices(curve, colorStripHalfWidth());
    curvegl::disableTexturing();
    colorConstraintsProgram().use();
    glBegin(GL_TRIANGLE_STRIP);
    for (const ConstraintVertex& v : vertices) {
        // Sets 1..3: (right, left) per channel; set 0: which side of the strip this edge is.
        glMultiTexCoord2f(GL_TEXTURE1, v.right[0], v.left[0]);
        glMultiTexCoord2f(GL_TEXTURE2, v.right[1], v.left[1]);
        glMultiTexCoord2f(GL_TEXTURE3, v.right[2], v.left[2]);
        glMultiTexCoord2f(GL_TEXTURE0, v.side, 0.2f);
        curvegl::vertex(v.position);
    }
    glEnd();
    ShaderProgram::release();
}

void drawBlurStrip(const Curve& curve)
{
    if (!isRasterised(curve))
        return;
    const std::vector<BlurVertex> vertices = blurStripVertices(
        curve, kBlurStripHalfWidthPixels * curveRenderingSettings().pixelSize);
    curvegl::disableTexturing();
    glBegin(GL_TRIANGLE_STRIP);
    for (const BlurVertex& v : vertices) {
        glColor4f(v.grey, v.grey, v.grey, 1.0f);
        curvegl::vertex(v.position);
    }
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawGradientsX(const CurveSet& set) { curvegl::forEachCurve(set, drawGradientX); }

void drawGradientsY(const CurveSet& set) { curvegl::forEachCurve(set, drawGradientY); }

void drawColorConstraints(const CurveSet& set)
{
    // 1. Count in the stencil how many strip triangles cover each pixel.
    glEnable(GL_STENCIL_TEST);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glStencilFunc(GL_ALWAYS, 1, ~0u);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    curvegl::forEachCurve(set, drawStencilFootprint);
    glDisable(GL_STENCIL_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    // 2. Nothing constrained yet.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    // 3. Colour only where the count is below 2: crossings and folds are left to the diffusion.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_GREATER, 2, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    curvegl::disableTexturing();
    curvegl::forEachCurve(set, drawColorConstraintStrip);
    glDisable(GL_STENCIL_TEST);
}

void drawBlurStrips(const CurveSet& set)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    curvegl::forEachCurve(set, drawBlurStrip);
}
