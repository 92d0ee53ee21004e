#include "overlay_drawing.h"

#include "curve_gl_state.h"
#include "gl_objects.h"
#include "overlay_curves.h"
#include "overlay_geometry.h"
#include "overlay_layer.h"

namespace {

// Coverage at or below this is left out (alpha test), so that pixels an anti-aliased shape only
// touches with its outer edge, where rounding leaves a trace of alpha, keep their value exactly.
// A quarter of an 8-bit level: invisible in any picture.
constexpr GLfloat kNegligibleAlpha = 1.0f / 1024.0f;

// The state every overlay starts from: untextured, model-view selected and set to the view.
void beginOverlay(const View& view)
{
    curvegl::disableTexturing();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    multiplyViewTransform(view);
}

// Fragment colour clamping (GL 3.0); without it, only float targets see the overshoot.
void clampFragmentColours(GLenum mode)
{
    if (glClampColor)
        glClampColor(GL_CLAMP_FRAGMENT_COLOR, mode);
}

// Canvas units to window pixels under the current projection, model-view and viewport, which
// place the canvas without rotation or perspective.
WindowMapping currentWindowMapping()
{
    GLdouble projection[16], modelView[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Row r, column c of projection x model-view (both column-major).
    const auto combined = [&](int r, int c) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k)
            sum += projection[4 * k + r] * modelView[4 * c + k];
        return sum;
    };
    const double halfWidth = 0.5 * viewport[2], halfHeight = 0.5 * viewport[3];
    return {combined(0, 0) * halfWidth, combined(1, 1) * halfHeight,
            viewport[0] + (combined(0, 3) + 1.0) * halfWidth,
            viewport[1] + (combined(1, 3) + 1.0) * halfHeight};
}

OverlayLayer::Viewport currentViewport()
{
    GLint values[4];
    glGetIntegerv(GL_VIEWPORT, values);
    return {values[0], values[1], values[2], values[3]};
}

// The triangles of `mesh` (window pixels) with their per-vertex colours, under the blending the
// caller has set up and enabled, dropping negligible coverage; `viewport` is the window's
// viewport the pixels belong to (by default the current one). Leaves the model-view selected,
// the projection as it was.
void drawCoverageMesh(const CoverageMesh& mesh,
                      const OverlayLayer::Viewport& viewport = currentViewport())
{
    if (mesh.empty())
        return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1.0,
            1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, kNegligibleAlpha);
    // Where rasterisation takes a pixel centre just outside a triangle, the interpolated alpha
    // overshoots 1 a little; clamped, an opaque core stays exactly its colour in float targets.
    clampFragmentColours(GL_TRUE);

    const std::vector<PackedCoverageVertex>& vertices = mesh.vertices();
    constexpr GLsizei kStride = sizeof(PackedCoverageVertex);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, kStride, vertices.front().position);
    glColorPointer(4, GL_FLOAT, kStride, vertices.front().rgba);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices().size()), GL_UNSIGNED_INT,
                   mesh.indices().data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    clampFragmentColours(GL_FIXED_ONLY);
    glDisable(GL_ALPHA_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void endOverlay()
{
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

void drawBackgroundImage(const Texture& image, const View& view, int viewportWidth,
                         int viewportHeight, unsigned int framebuffer, int x0, int y0)
{
    bindFramebuffer(framebuffer);
    glViewport(x0, y0, viewportWidth, viewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (image.name() == 0)
        return;
    // The clear ignores the viewport: the window around the canvas is grey.
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    curvegl::disableTexturing();
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    image.bind(0);
    glEnable(GL_TEXTURE_RECTANGLE_ARB);
    // The default texture environment (modulate) with white keeps the texels as they are.
    const VertexBatch<PackedTexturedPoint> quad =
        backgroundVertices(view, image.width(), image.height());
    {
        curvegl::BatchArrays<PackedTexturedPoint> arrays(quad);
        arrays.texCoords(0, quad.vertices.front().texCoord);
        arrays.draw(GL_QUADS);
    }
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
}

void drawCurvesInView(const CurveSet& set, const View& view)
{
    beginOverlay(view);
    // Straight alpha over the picture, the window's alpha kept opaque.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    drawCoverageMesh(curveOverlayMesh(set, currentWindowMapping()));
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    endOverlay();
}

void drawCurvesInView(const CurveSet& set, const View& view, CurveOverlayCache& cache,
                      OverlayLayer& layer, const OverlayOptions& options)
{
    beginOverlay(view);
    cache.update(set, currentWindowMapping(), options);
    const OverlayLayer::Viewport viewport = currentViewport();
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (!layer.holds(cache.keptVersion(), viewport)) {
        // Straight alpha over transparent black leaves the lines premultiplied.
        layer.beginRedraw(cache.keptVersion(), viewport);
        glEnable(GL_BLEND);
        drawCoverageMesh(cache.keptLines(), viewport);
        glDisable(GL_BLEND);
        layer.endRedraw();
    }
    if (!cache.keptLines().empty())
        layer.composite();
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    drawCoverageMesh(cache.liveLines());
    drawCoverageMesh(cache.handles());
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    endOverlay();
}

void drawScribbleMarks(const QVector<Point>& marks, double markerSize, const View& view)
{
    if (marks.isEmpty())
        return;
    beginOverlay(view);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawCoverageMesh(
        scribbleMarkMesh(marks, markerSize, {1.0f, 0.521f, 0.121f, 0.3f}, currentWindowMapping()));
    glDisable(GL_BLEND);
    endOverlay();
}

void drawStrokeLine(const QVector<Point>& stroke, const View& view)
{
    if (stroke.isEmpty())
        return;
    beginOverlay(view);
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(1.0f);
    const VertexBatch<PackedPoint> strip = strokeVertices(stroke);
    curvegl::BatchArrays<PackedPoint>(strip).draw(GL_LINE_STRIP);
    endOverlay();
}
