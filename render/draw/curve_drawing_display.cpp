// On-screen drawing of curves, handles, attribute points and boxes. The same routines are
// reused by picking, which is why they load selection names.
#include "curve_drawing.h"

#include "curve_geometry.h"
#include "curve_gl_state.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "pick_names.h"
#include "vertex_batch.h"

#include <algorithm>
#include <iostream>

namespace {

// Dash pattern of polylines and boxes: 4 pixels on, 4 off.
constexpr GLushort kDashPattern = 0xF0F0;

GLfloat lineWidth() { return static_cast<GLfloat>(curveRenderingSettings().lineWidth); }

// The four corners of the box min..max (z 0), counter-clockwise, as one primitive.
void boxPrimitive(GLenum mode, const Point& min, const Point& max)
{
    glBegin(mode);
    glVertex3d(min.x, min.y, 0.0);
    glVertex3d(max.x, min.y, 0.0);
    glVertex3d(max.x, max.y, 0.0);
    glVertex3d(min.x, max.y, 0.0);
    glEnd();
}

// Dashed outline of the box min..max, then an invisible (alpha 0) quad over it that picking
// hits. Blending is switched on for the quad only.
void pickableBox(const Point& min, const Point& max, GLfloat width)
{
    curvegl::disableTexturing();
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(width);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, kDashPattern);
    boxPrimitive(GL_LINE_LOOP, min, max);
    glDisable(GL_LINE_STIPPLE);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    boxPrimitive(GL_QUADS, min, max);
    // Left off, blending would leak into the solver passes that follow a frame.
    glDisable(GL_BLEND);

    glLineWidth(1.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
}

struct Rgb {
    float r, g, b;
};

Rgb rgbOf(const QColor& c) { return {c.red() / 255.0f, c.green() / 255.0f, c.blue() / 255.0f}; }

// One attribute point: a white ring of radii 1.5 r .. 1.8 r around a black ring of radii
// r .. 1.5 r around a disk of radius r in `inner`: the two rings show on any picture.
void attributeHandle(const curvegl::Quadric& quadric, const Point& at, double r, Rgb inner)
{
    glColor3f(1.0f, 1.0f, 1.0f);
    quadric.disk(at, 1.5 * r, 1.8 * r);
    glColor3f(0.0f, 0.0f, 0.0f);
    quadric.disk(at, r, 1.5 * r);
    glColor3f(inner.r, inner.g, inner.b);
    quadric.disk(at, 0.0, r);
}

// A tangent handle's line and its disk of radius r in yellow, over a black outline (a line two
// pixels wider, a disk of radius 1.4 r), so that they show on a light picture too.
void tangentHandle(const curvegl::Quadric& quadric, const Point& key, const Point& tangent,
                   double r, bool withLine)
{
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(lineWidth() + 2.0f);
    if (withLine)
        curvegl::line(key, tangent);
    quadric.disk(tangent, 0.0, 1.4 * r);
    glColor3f(1.0f, 1.0f, 0.0f);
    glLineWidth(lineWidth());
    if (withLine)
        curvegl::line(key, tangent);
    quadric.disk(tangent, 0.0, r);
}

// A key point: a blue cross of half-size r, width 3, over a white one of width 6 that keeps it
// visible on a blue or dark picture.
void keyPointCross(const Point& p, double r)
{
    const std::pair<GLfloat, Rgb> strokes[] = {{6.0f, Rgb{1.0f, 1.0f, 1.0f}},
                                               {3.0f, Rgb{0.0f, 0.0f, 0.9f}}};
    for (const auto& [width, colour] : strokes) {
        glLineWidth(width);
        glColor3f(colour.r, colour.g, colour.b);
        glBegin(GL_LINES);
        glVertex3d(p.x - r, p.y - r, 0.0);
        glVertex3d(p.x + r, p.y + r, 0.0);
        glVertex3d(p.x + r, p.y - r, 0.0);
        glVertex3d(p.x - r, p.y + r, 0.0);
        glEnd();
    }
}

// Draws the points of one attribute list. offset is the signed distance along the normal
// (+4r left, -4r right, 0 blur); colorOf(i) gives the inner colour of point i.
template <typename ColorOf>
void attributeList(const Curve& curve, const QVector<int>& ids, int count, bool indexNames,
                   AttributeKind list, double offset, double r, const curvegl::Quadric& quadric,
                   ColorOf colorOf)
{
    const int n = std::min(count, int(ids.size()));
    for (int i = curve.closed ? 1 : 0; i < n; ++i) {
        Point position, normal;
        if (!attributePointFrame(curve, ids[i], position, normal))
            continue;
        glLoadName(indexNames ? attributePointPickName(list, i) : curvePositionPickName(ids[i]));
        attributeHandle(quadric, position + normal * offset, r, colorOf(i));
    }
}

// Every run of the batch as a line strip.
void drawLineStrips(const VertexBatch<PackedPoint>& batch)
{
    if (batch.empty())
        return;
    curvegl::BatchArrays<PackedPoint> arrays(batch);
    arrays.draw(GL_LINE_STRIP);
}

// An unfinished curve (3 control points or fewer): its control points, dashed.
void dashedPolyline(const Curve& curve)
{
    const int n = std::min(curve.nb_control_points, int(curve.control_points.size()));
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, kDashPattern);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < n; ++i)
        curvegl::vertex(curve.control_points[i]);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
}

// The bodies of curves[0 .. count - 1] above the lifetime threshold, in order, in the current
// colour at width lineWidth (1 afterwards). Each segment of a complete curve is one line strip;
// all of them go in one draw call, which an unfinished curve interrupts so that the order holds.
void drawCurveBodies(const Curve* curves, int count)
{
    glLineWidth(lineWidth());
    VertexBatch<PackedPoint> segments;
    for (int i = 0; i < count; ++i) {
        const Curve& curve = curves[i];
        if (!isAboveLifetimeThreshold(curve))
            continue;
        if (curve.nb_control_points > 3) {
            for (const std::vector<Point>& polyline : segmentPolylines(curve))
                appendRun(segments, polyline);
        } else if (curve.nb_control_points > 0) {
            drawLineStrips(segments);
            segments = {};
            dashedPolyline(curve);
        }
    }
    drawLineStrips(segments);
    glLineWidth(1.0f);
}

} // namespace

void drawCurve(const Curve& curve)
{
    if (!isAboveLifetimeThreshold(curve))
        return;
    drawCurveBodies(&curve, 1);
}

void drawSampleNames(const Curve& curve)
{
    glLineWidth(lineWidth());
    for (const SamplePiece& piece : samplePieces(curve)) {
        glLoadName(piece.name);
        curvegl::line(piece.from, piece.to);
    }
}

void drawAttributePoints(const Curve& curve, bool indexNames)
{
    if (!isAboveLifetimeThreshold(curve))
        return;
    if (curve.nb_left_colors <= 1 || curve.nb_right_colors <= 1 || curve.nb_blur_points <= 1)
        return;
    glMatrixMode(GL_MODELVIEW);
    glLineWidth(lineWidth());
    curvegl::disableTexturing();
    const double r = curveRenderingSettings().handleSize * 0.5;
    const curvegl::Quadric quadric;

    const int nLeft = std::min(curve.nb_left_colors, int(curve.left_colors.size()));
    attributeList(curve, curve.left_color_ids, nLeft, indexNames, LeftColor, 4.0 * r, r, quadric,
                  [&](int i) { return rgbOf(curve.left_colors[i]); });
    const int nRight = std::min(curve.nb_right_colors, int(curve.right_colors.size()));
    attributeList(curve, curve.right_color_ids, nRight, indexNames, RightColor, -4.0 * r, r,
                  quadric, [&](int i) { return rgbOf(curve.right_colors[i]); });
    const int nBlur = std::min(curve.nb_blur_points, int(curve.blur_values.size()));
    attributeList(curve, curve.blur_ids, nBlur, indexNames, Blur, 0.0, r, quadric, [&](int i) {
        const float grey =
            std::clamp(curve.blur_values[i] / static_cast<float>(kMaxBlur), 0.0f, 1.0f);
        return Rgb{grey, grey, grey};
    });

    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(1.0f);
}

void drawControlPoints(const Curve& curve)
{
    if (!isAboveLifetimeThreshold(curve))
        return;
    curvegl::disableTexturing();
    glColor3f(0.0f, 0.0f, 0.9f);
    glLineWidth(lineWidth());
    const double r = curveRenderingSettings().handleSize * 0.5;
    const int count = curve.nb_control_points;
    const int n = std::min(count, int(curve.control_points.size()));
    const QVector<Point>& cp = curve.control_points;

    // Tangent handles: the line from the key point and a disk at the tangent point. A trailing
    // incomplete pair draws only the points that exist.
    {
        const curvegl::Quadric quadric;
        for (int j = 0; 3 * j + 1 < n; ++j) {
            const int out = 3 * j + 1, in = 3 * j + 2;
            glLoadName(controlPointPickName(out));
            tangentHandle(quadric, cp[3 * j], cp[out], r, true);
            if (in < n) {
                glLoadName(controlPointPickName(in));
                tangentHandle(quadric, in + 1 < n ? cp[in + 1] : cp[in], cp[in], r, in + 1 < n);
            }
        }
    }

    // Key points: crosses.
    for (int k = 0; k < n; k += 3) {
        glLoadName(controlPointPickName(k));
        keyPointCross(cp[k], r);
    }

    if (count != 0 && count % 3 != 1) {
        const int nextMultipleOf3 = (count + 2) / 3 * 3;
        std::cerr << "!!! i = " << nextMultipleOf3 << " and nbPoint = " << count << "\n";
    }
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(1.0f);
}

void drawBoundingBox(const Curve& curve)
{
    if (!isAboveLifetimeThreshold(curve))
        return;
    pickableBox(curve.bbox_min, curve.bbox_max, lineWidth());
}

void drawSelectionBox(const CurveSet& set)
{
    pickableBox(set.selection_min, set.selection_max, 1.0f);
}

void drawCurves(const CurveSet& set)
{
    drawCurveBodies(set.curves.constData(), curvegl::curveCount(set));
    if (curvegl::isCurveIndex(set, set.current_curve)) {
        const Curve& current = set.curves[set.current_curve];
        drawBoundingBox(current);
        if (set.show_attributes)
            drawAttributePoints(current, false);
        else
            drawControlPoints(current);
    } else if (!set.selection.isEmpty()) {
        drawSelectionBox(set);
        for (int i : set.selection)
            if (curvegl::isCurveIndex(set, i))
                drawControlPoints(set.curves[i]);
    }
}
