// The batched vertex arrays behind the curve drawing: packing checked without a context, and
// every batched drawing compared bit for bit with the same geometry sent one glVertex at a time.
#include "gl_objects.h"
#include "vertex_batch.h"

#include "test_drawing_support.h"

#include "random_drawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace drawingtest;

namespace {

Curve twoSegmentArch()
{
    Curve c = archCurve();
    c.appendControlPoint(0.6, -0.5);
    c.appendControlPoint(0.7, -0.6);
    c.appendControlPoint(0.8, -0.4);
    return c;
}

void expectPacked(const float packed[2], const Point& p)
{
    EXPECT_EQ(packed[0], static_cast<float>(p.x));
    EXPECT_EQ(packed[1], static_cast<float>(p.y));
}

} // namespace

TEST(VertexBatch, RunsFollowEachOtherInOrderAndEmptyRunsAddNothing)
{
    const Curve one = archCurve(), two = twoSegmentArch();
    VertexBatch<PackedConstraintVertex> batch;
    EXPECT_TRUE(batch.empty());
    appendRun(batch, constraintStripVertices(one, 0.01));
    appendRun(batch, constraintStripVertices(Curve(), 0.01));
    appendRun(batch, constraintStripVertices(two, 0.01));
    EXPECT_EQ(batch.firsts, (std::vector<int>{0, 22}));
    EXPECT_EQ(batch.counts, (std::vector<int>{22, 44}));
    EXPECT_EQ(batch.runCount(), 2);
    EXPECT_EQ(batch.vertices.size(), 66u);

    VertexBatch<PackedPoint> lines;
    for (const Curve* c : {&two, &one})
        for (const std::vector<Point>& polyline : segmentPolylines(*c))
            appendRun(lines, polyline);
    EXPECT_EQ(lines.firsts, (std::vector<int>{0, 11, 22}));
    EXPECT_EQ(lines.counts, (std::vector<int>{11, 11, 11}));
    expectPacked(lines.vertices[11].position, segmentPolylines(two)[1][0]);
    expectPacked(lines.vertices[32].position, segmentPolylines(one)[0][10]);
}

TEST(VertexBatch, PackedAttributesAreTheGeometrysValuesInTheLayoutTheGlReads)
{
    Curve c = twoSegmentArch();
    c.setLeftColorOf(QColor(10, 20, 30), 1);
    c.setBlurOf(12, 2);

    const std::vector<ConstraintVertex> strip = constraintStripVertices(c, 0.02);
    VertexBatch<PackedConstraintVertex> constraints;
    appendRun(constraints, strip);
    ASSERT_EQ(constraints.vertices.size(), strip.size());
    for (size_t i = 0; i < strip.size(); ++i) {
        const PackedConstraintVertex& p = constraints.vertices[i];
        expectPacked(p.position, strip[i].position);
        EXPECT_EQ(p.sideAndHeight[0], strip[i].side);
        EXPECT_EQ(p.sideAndHeight[1], 0.2f);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(p.rightLeft[k][0], strip[i].right[k]) << i << ", channel " << k;
            EXPECT_EQ(p.rightLeft[k][1], strip[i].left[k]) << i << ", channel " << k;
        }
    }

    const std::vector<GradientVertex> line = gradientLineVertices(c, 1);
    VertexBatch<PackedGradientVertex> gradients;
    appendRun(gradients, line);
    ASSERT_EQ(gradients.vertices.size(), line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        expectPacked(gradients.vertices[i].position, line[i].position);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(gradients.vertices[i].rgba[k], line[i].rgba[k]);
    }

    const std::vector<BlurVertex> blur = blurStripVertices(c, 0.01);
    VertexBatch<PackedBlurVertex> blurs;
    appendRun(blurs, blur);
    ASSERT_EQ(blurs.vertices.size(), blur.size());
    for (size_t i = 0; i < blur.size(); ++i) {
        expectPacked(blurs.vertices[i].position, blur[i].position);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(blurs.vertices[i].grey[k], blur[i].grey);
    }
}

TEST(VertexBatch, BoundsHoldEveryPositionAndAnEmptyBatchHasNone)
{
    const PositionBounds none = boundsOf(VertexBatch<PackedPoint>{});
    EXPECT_GT(none.min[0], none.max[0]);
    EXPECT_GT(none.min[1], none.max[1]);

    VertexBatch<PackedPoint> lines;
    appendRun(lines, {Point(0.25, -0.5), Point(-0.75, 0.5)});
    appendRun(lines, {Point(0.5, 0.125)});
    const PositionBounds b = boundsOf(lines);
    EXPECT_EQ(b.min[0], -0.75f);
    EXPECT_EQ(b.min[1], -0.5f);
    EXPECT_EQ(b.max[0], 0.5f);
    EXPECT_EQ(b.max[1], 0.5f);
}

namespace {

// ---- the reference: the same geometry, one curve and one glVertex at a time

bool rasterised(const Curve& c) { return c.nb_control_points > 3 && isAboveLifetimeThreshold(c); }

void forEachRasterised(const CurveSet& set, const std::function<void(const Curve&)>& draw)
{
    for (int i = 0; i < set.nb_curves; ++i)
        if (rasterised(set.curves[i]))
            draw(set.curves[i]);
}

void referenceGradients(const CurveSet& set, int axis)
{
    forEachRasterised(set, [axis](const Curve& c) {
        glBegin(GL_LINE_STRIP);
        for (const GradientVertex& v : gradientLineVertices(c, axis)) {
            glColor4f(v.rgba[0], v.rgba[1], v.rgba[2], v.rgba[3]);
            glVertex3d(v.position.x, v.position.y, 0.0);
        }
        glEnd();
    });
}

void referenceStrips(const CurveSet& set, bool withAttributes)
{
    const double h = 5.0 * curveRenderingSettings().pixelSize;
    forEachRasterised(set, [&](const Curve& c) {
        glBegin(GL_TRIANGLE_STRIP);
        for (const ConstraintVertex& v : constraintStripVertices(c, h)) {
            if (withAttributes) {
                glMultiTexCoord2f(GL_TEXTURE1, v.right[0], v.left[0]);
                glMultiTexCoord2f(GL_TEXTURE2, v.right[1], v.left[1]);
                glMultiTexCoord2f(GL_TEXTURE3, v.right[2], v.left[2]);
                glMultiTexCoord2f(GL_TEXTURE4, v.right[3], v.left[3]);
                glMultiTexCoord2f(GL_TEXTURE0, v.side, 0.2f);
            }
            glVertex3d(v.position.x, v.position.y, 0.0);
        }
        glEnd();
    });
}

void referenceColorConstraints(const CurveSet& set)
{
    glEnable(GL_STENCIL_TEST);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glStencilFunc(GL_ALWAYS, 1, ~0u);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    referenceStrips(set, false);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glStencilFunc(GL_GREATER, 2, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    colorConstraintsProgram().use();
    referenceStrips(set, true);
    ShaderProgram::release();
    glDisable(GL_STENCIL_TEST);
}

void referenceBlurStrips(const CurveSet& set)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const double h = 2.0 * curveRenderingSettings().pixelSize;
    forEachRasterised(set, [h](const Curve& c) {
        glBegin(GL_TRIANGLE_STRIP);
        for (const BlurVertex& v : blurStripVertices(c, h)) {
            glColor4f(v.grey, v.grey, v.grey, 1.0f);
            glVertex3d(v.position.x, v.position.y, 0.0);
        }
        glEnd();
    });
}

// Curve bodies: complete curves segment by segment, unfinished ones dashed through their
// control points, in index order.
void referenceBodies(const CurveSet& set)
{
    glLineWidth(static_cast<GLfloat>(curveRenderingSettings().lineWidth));
    for (int i = 0; i < set.nb_curves; ++i) {
        const Curve& c = set.curves[i];
        if (!isAboveLifetimeThreshold(c))
            continue;
        if (c.nb_control_points > 3) {
            for (const std::vector<Point>& polyline : segmentPolylines(c)) {
                glBegin(GL_LINE_STRIP);
                for (const Point& p : polyline)
                    glVertex3d(p.x, p.y, 0.0);
                glEnd();
            }
        } else {
            glEnable(GL_LINE_STIPPLE);
            glLineStipple(1, 0xF0F0);
            glBegin(GL_LINE_STRIP);
            for (int k = 0; k < c.nb_control_points; ++k)
                glVertex3d(c.control_points[k].x, c.control_points[k].y, 0.0);
            glEnd();
            glDisable(GL_LINE_STIPPLE);
        }
    }
    glLineWidth(1.0f);
}

std::vector<GLubyte> stencilImage()
{
    std::vector<GLubyte> all(static_cast<size_t>(kSize) * kSize);
    glReadPixels(0, 0, kSize, kSize, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, all.data());
    return all;
}

bool sameBits(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Rgba)) == 0;
}

int pixelsDifferent(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += std::memcmp(&a[i], &b[i], sizeof(Rgba)) != 0;
    return n;
}

// A random drawing with many crossings, an unfinished curve among the complete ones and a curve
// below the lifetime threshold of 5.
CurveSet testDrawing()
{
    CurveSet set = makeRandomDrawing(80, 777u);
    Curve unfinished;
    for (const Point& p : {Point(-0.8, -0.8), Point(0.1, 0.7), Point(0.8, -0.3)})
        unfinished.appendControlPoint(p.x, p.y);
    set.curves.insert(30, unfinished);
    Curve young =
        straightCurve({-0.9, 0.1}, {0.9, 0.15}, QColor(255, 255, 0), QColor(0, 255, 255), 3);
    young.lifetime = 4;
    set.curves.insert(50, young);
    set.nb_curves = set.curves.size();
    return set;
}

} // namespace

class BatchedDrawing : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        ASSERT_TRUE(colorConstraintsProgram().isCreated()
                    && colorConstraintsProgram().log().isEmpty());
        setLifetimeThreshold(5);
    }

    // Draws with `batched` and with `reference` on the same background and expects the very
    // same bits, on at least minPixels pixels that differ from the background.
    void expectSameImage(const std::function<void()>& batched,
                         const std::function<void()>& reference, const Rgba& background,
                         int minPixels)
    {
        canvas->clear(background[0], background[1], background[2], background[3]);
        reference();
        const std::vector<Rgba> want = canvas->image();
        const int drawn = canvas->countDifferent(background);
        canvas->clear(background[0], background[1], background[2], background[3]);
        batched();
        const std::vector<Rgba> got = canvas->image();
        EXPECT_GT(drawn, minPixels) << "the reference drew too little to compare";
        EXPECT_TRUE(sameBits(got, want)) << pixelsDifferent(got, want) << " pixels differ";
    }

    void expectClientArraysOff(const char* after)
    {
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY)) << after;
        EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY)) << after;
        for (int unit = 0; unit < 4; ++unit) {
            glClientActiveTexture(GL_TEXTURE0 + unit);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << after << ", unit " << unit;
        }
        glClientActiveTexture(GL_TEXTURE0);
    }

    const CurveSet set = testDrawing();
    const Rgba grey{0.5f, 0.5f, 0.5f, 1.0f};
};

TEST_F(BatchedDrawing, GradientLinesMatchTheOneVertexAtATimeReference)
{
    for (int axis = 0; axis < 2; ++axis) {
        SCOPED_TRACE(axis);
        const auto reference = [&] { referenceGradients(set, axis); };
        expectSameImage([&] { axis == 0 ? drawGradientsX(set) : drawGradientsY(set); }, reference,
                        grey, 5000);
        expectClientArraysOff("gradients");
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float c : colour)
            EXPECT_EQ(c, 1.0f) << "the current colour is white afterwards";
        expectSameImage(
            [&] {
                for (const Curve& c : set.curves)
                    axis == 0 ? drawGradientX(c) : drawGradientY(c);
            },
            reference, grey, 5000);
    }
}

// The solver draws both gradient images in one pass of the lines: each must get the very bits
// its own axis's pass gives.
TEST_F(BatchedDrawing, GradientPairsGiveEachImageTheBitsOfItsOwnAxis)
{
    std::vector<Rgba> want[2];
    for (int axis = 0; axis < 2; ++axis) {
        canvas->clear(0.5f, 0.5f, 0.5f, 1.0f);
        axis == 0 ? drawGradientsX(set) : drawGradientsY(set);
        want[axis] = canvas->image();
    }
    RenderTarget second;
    second.create(kSize, kSize, floatNearest());
    canvas->bind();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_RECTANGLE_ARB,
                           second.texture.name(), 0);
    const GLenum both[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, both);
    canvas->clear(0.5f, 0.5f, 0.5f, 1.0f);
    drawGradientPairs(set);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_RECTANGLE_ARB, 0, 0);
    const std::vector<Rgba> gotX = canvas->image();
    EXPECT_TRUE(sameBits(gotX, want[0])) << pixelsDifferent(gotX, want[0]) << " pixels differ";
    second.framebuffer.bind();
    std::vector<Rgba> gotY(want[1].size());
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_FLOAT, gotY.data());
    EXPECT_TRUE(sameBits(gotY, want[1])) << pixelsDifferent(gotY, want[1]) << " pixels differ";
    EXPECT_FALSE(sameBits(want[0], want[1])) << "the two axes must differ to tell them apart";
    canvas->bind();
}

TEST_F(BatchedDrawing, ColourConstraintsMatchTheReferenceInColourAndStencil)
{
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    referenceColorConstraints(set);
    const std::vector<Rgba> wantColour = canvas->image();
    const std::vector<GLubyte> wantStencil = stencilImage();

    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawColorConstraints(set);
    expectClientArraysOff("colour constraints");
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));

    const std::vector<Rgba> gotColour = canvas->image();
    EXPECT_TRUE(sameBits(gotColour, wantColour))
        << pixelsDifferent(gotColour, wantColour) << " pixels differ";
    EXPECT_TRUE(stencilImage() == wantStencil);
    // Not a vacuous comparison: strips, crossings (count 2 or more) and free pixels all occur.
    int constrained = 0, crossed = 0;
    for (size_t i = 0; i < wantStencil.size(); ++i) {
        constrained += wantColour[i][3] > 0.1f;
        crossed += wantStencil[i] >= 2;
    }
    EXPECT_GT(constrained, 20000);
    EXPECT_GT(crossed, 500);
}

TEST_F(BatchedDrawing, SingleCurveStripsMatchTheReference)
{
    // Footprints one curve at a time count the same stencil; strips one at a time, without the
    // stencil, paint the same colours.
    glEnable(GL_STENCIL_TEST);
    glClearStencil(0);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glStencilFunc(GL_ALWAYS, 1, ~0u);
    glClear(GL_STENCIL_BUFFER_BIT);
    referenceStrips(set, false);
    const std::vector<GLubyte> want = stencilImage();
    glClear(GL_STENCIL_BUFFER_BIT);
    for (const Curve& c : set.curves)
        drawStencilFootprint(c);
    EXPECT_TRUE(stencilImage() == want);
    glDisable(GL_STENCIL_TEST);
    expectClientArraysOff("footprints");

    expectSameImage(
        [&] {
            for (const Curve& c : set.curves)
                drawColorConstraintStrip(c);
        },
        [&] {
            colorConstraintsProgram().use();
            referenceStrips(set, true);
            ShaderProgram::release();
        },
        {0.0f, 0.0f, 0.0f, 0.0f}, 20000);
    expectClientArraysOff("colour strips");
}

TEST_F(BatchedDrawing, BlurStripsMatchTheReference)
{
    expectSameImage([&] { drawBlurStrips(set); }, [&] { referenceBlurStrips(set); }, grey, 8000);
    expectClientArraysOff("blur strips");
    expectSameImage(
        [&] {
            canvas->clear(0.0f, 0.0f, 0.0f, 0.0f);
            for (const Curve& c : set.curves)
                drawBlurStrip(c);
        },
        [&] { referenceBlurStrips(set); }, grey, 8000);
}

TEST_F(BatchedDrawing, CurveBodiesMatchTheReferenceAtEveryLineWidth)
{
    const Rgba white{1.0f, 1.0f, 1.0f, 1.0f};
    for (int width : {1, 3}) {
        SCOPED_TRACE(width);
        curveRenderingSettings().lineWidth = width;
        glColor3f(0.2f, 0.3f, 0.4f);
        expectSameImage([&] { drawCurves(set); }, [&] { referenceBodies(set); }, white,
                        4000 * width);
        expectClientArraysOff("curves");
        GLfloat lineWidth = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &lineWidth);
        EXPECT_EQ(lineWidth, 1.0f);
        expectSameImage(
            [&] {
                for (const Curve& c : set.curves)
                    drawCurve(c);
            },
            [&] { referenceBodies(set); }, white, 4000 * width);
    }
}
