#include "overlay_drawing.h"

#include "curve_drawing.h"
#include "curve_gl_state.h"
#include "gl_objects.h"
#include "overlay_geometry.h"

namespace {

// The state every overlay starts from: untextured, model-view selected and set to the view.
void beginOverlay(const View& view)
{
    curvegl::disableTexturing();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    multiplyViewTransform(view);
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
    glColor3f(0.0f, 0.0f, 0.0f);
    drawCurves(set);
    endOverlay();
}

void drawScribbleMarks(const QVector<Point>& marks, double markerSize, const View& view)
{
    if (marks.isEmpty())
        return;
    beginOverlay(view);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 0.521f, 0.121f, 0.3f);
    const VertexBatch<PackedPoint> quads = scribbleMarkVertices(marks, markerSize);
    curvegl::BatchArrays<PackedPoint>(quads).draw(GL_QUADS);
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
