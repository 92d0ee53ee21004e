// The editor's GL_SELECT picker: typed hits of the real named drawing, the view and the pick
// square it uses, overflowing picks, the GL state it leaves, and the decoding of hit records.
#include "curve_geometry.h"
#include "test_drawing_support.h"
#include "curve_set_selection.h"

#include <gtest/gtest.h>

#include <array>

using namespace drawingtest;

namespace {

// A query for window pixel p (canvas point p at the identity view) of the 512 x 512 canvas.
PickQuery queryAt(int mode, PickPurpose purpose, const Point& p)
{
    PickQuery query;
    query.mode = static_cast<ManipulationMode>(mode);
    query.purpose = purpose;
    query.x = windowX(p);
    query.y = windowY(p);
    query.viewport[2] = query.viewport[3] = kSize;
    return query;
}

PickHit hit(PickKind kind, int curve = -1, int index = -1) { return {kind, curve, index}; }

// A horizontal straight curve at height y from x = -0.5 to 0.5.
Curve horizontalAt(double y) { return straightCurve({-0.5, y}, {0.5, y}, Qt::red, Qt::blue); }

std::array<double, 16> matrix(GLenum which)
{
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

} // namespace

class Picker : public DrawingTest {};

TEST_F(Picker, HitsAreTheItemsUnderTheSquare)
{
    CurveSet set = setOf({horizontalAt(-0.5), archCurve()});
    const Point onArch = archCurve().pointAt(0.5, 0);
    PickHits hits = pickCurveSet(set, queryAt(0, PickPurpose::Press, onArch));
    ASSERT_EQ(hits.count(), 1);
    EXPECT_EQ(hits.first(), hit(PickKind::Curve, 1));
    EXPECT_EQ(hits.names, QVector<unsigned>({1}));

    set.setCurrentCurve(1);
    const Curve& arch = set.curves[1];
    for (int k = 0; k < 4; ++k) {
        hits = pickCurveSet(set, queryAt(0, PickPurpose::Press, arch.control_points[k]));
        ASSERT_FALSE(hits.empty());
        EXPECT_EQ(hits.last(), hit(PickKind::ControlPoint, 1, k));
    }
    EXPECT_EQ(pickCurveSet(set, queryAt(0, PickPurpose::Press, onArch)).last(),
              hit(PickKind::CurveBody, 1));
    EXPECT_EQ(pickCurveSet(set, queryAt(0, PickPurpose::Press, {0.0, 0.0})).last(),
              hit(PickKind::CurveBox, 1));
    EXPECT_EQ(pickCurveSet(set, queryAt(0, PickPurpose::Press, {0.0, -0.5})).last(),
              hit(PickKind::Nothing));
    // The context menu names the sample piece under the mouse: piece 3 of segment 0.
    EXPECT_EQ(pickCurveSet(set, queryAt(0, PickPurpose::Menu, arch.pointAt(0.35, 0))).last(),
              hit(PickKind::CurvePosition, 1, 3));
}

TEST_F(Picker, AttributePointsAreTypedByList)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    const Curve& arch = set.curves[0];
    const double r = 0.5 * curveRenderingSettings().handleSize;
    Point p, n;
    ASSERT_TRUE(attributePointFrame(arch, 5, p, n)); // point 1 of every list sits at globalID 5
    const Point left = p + n * (4.0 * r), right = p - n * (4.0 * r);
    EXPECT_EQ(pickCurveSet(set, queryAt(2, PickPurpose::Press, left)).last(),
              hit(PickKind::LeftColorPoint, 0, 1));
    EXPECT_EQ(pickCurveSet(set, queryAt(8, PickPurpose::Press, right)).last(),
              hit(PickKind::RightColorPoint, 0, 1));
    EXPECT_EQ(pickCurveSet(set, queryAt(2, PickPurpose::Press, p)).last(),
              hit(PickKind::BlurPoint, 0, 1));
    // For the context menu the same point is its position along the curve.
    EXPECT_EQ(pickCurveSet(set, queryAt(2, PickPurpose::Menu, left)).last(),
              hit(PickKind::CurvePosition, 0, 5));
}

TEST_F(Picker, TheSelectionAndItsToggle)
{
    CurveSet set = setOf({horizontalAt(-0.5), archCurve()});
    addToSelection(set, 1);
    EXPECT_EQ(pickCurveSet(set, queryAt(3, PickPurpose::Press, {0.0, 0.0})).last(),
              hit(PickKind::Selection));
    EXPECT_EQ(pickCurveSet(set, queryAt(3, PickPurpose::Press, {0.0, -0.5})).last(),
              hit(PickKind::Nothing));
    EXPECT_EQ(pickCurveSet(set, queryAt(3, PickPurpose::Toggle, {0.0, -0.5})).last(),
              hit(PickKind::Curve, 0));
    EXPECT_TRUE(pickCurveSet(set, queryAt(3, PickPurpose::Menu, {0.0, -0.5})).empty());
}

TEST_F(Picker, TheSquareIsPlacedInTheView)
{
    // A short curve around canvas point (0.5, 0.5). At zoom 2 and pan (-0.5, -0.5) it is shown
    // at the window centre, and the unzoomed window position of the curve shows nothing.
    const CurveSet set = setOf({straightCurve({0.45, 0.5}, {0.55, 0.5}, Qt::red, Qt::blue)});
    PickQuery query = queryAt(0, PickPurpose::Press, {0.0, 0.0});
    query.view = View{2.0, Point(-0.5, -0.5)};
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
    query = queryAt(0, PickPurpose::Press, {0.5, 0.5});
    query.view = View{2.0, Point(-0.5, -0.5)};
    EXPECT_TRUE(pickCurveSet(set, query).empty());
    // The viewport is the query's, not whatever was set before.
    glViewport(0, 0, 64, 64);
    query = queryAt(0, PickPurpose::Press, {0.5, 0.5});
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
    // The square's edge: 8 pixels above the curve a 5-pixel square misses, a 20-pixel one hits.
    query = queryAt(0, PickPurpose::Press, {0.5, 0.5 + 8.0 * 2.0 / kSize});
    EXPECT_TRUE(pickCurveSet(set, query).empty());
    query.region = 20.0;
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
}

TEST_F(Picker, WidgetPixelsBecomeDevicePixelsWithTheOriginBelow)
{
    PickQuery query;
    query.atWidgetPixel(10.0, 20.0, 100, 50, 2.0, 5.0);
    EXPECT_DOUBLE_EQ(query.x, 20.0);
    EXPECT_DOUBLE_EQ(query.y, 60.0);
    EXPECT_DOUBLE_EQ(query.region, 10.0);
    EXPECT_EQ(query.viewport[0], 0);
    EXPECT_EQ(query.viewport[1], 0);
    EXPECT_EQ(query.viewport[2], 200);
    EXPECT_EQ(query.viewport[3], 100);
    // The widget pixel of a curve, picked through the widget mapping at ratio 1.
    const CurveSet set = setOf({horizontalAt(-0.5)});
    query.atWidgetPixel(256.0, 384.0, kSize, kSize, 1.0, 5.0);
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
}

TEST_F(Picker, ThePickIsInTheViewportTheCanvasIsShownIn)
{
    // The canvas shown in the 256 x 256 square at (128, 64) of the window: a curve at canvas
    // height 0.5 from x = -0.5 to 0.5 lies on window row 64 + 192, columns 192 to 320.
    const CurveSet set = setOf({horizontalAt(0.5)});
    PickQuery query;
    query.setViewport(128, 64, 256, 256);
    EXPECT_EQ(query.viewport[0], 128);
    EXPECT_EQ(query.viewport[1], 64);
    EXPECT_EQ(query.viewport[2], 256);
    EXPECT_EQ(query.viewport[3], 256);
    query.x = 256.0;
    query.y = 256.0;
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
    query.x = 318.0;
    EXPECT_EQ(pickCurveSet(set, query).names, QVector<unsigned>({0}));
    // Where a window-filling canvas shows the curve, this window shows none of it.
    query.x = windowX({0.0, 0.5});
    query.y = windowY({0.0, 0.5});
    EXPECT_TRUE(pickCurveSet(set, query).empty());
    query.x = 160.0;
    query.y = 256.0;
    EXPECT_TRUE(pickCurveSet(set, query).empty());
}

TEST_F(Picker, AnOverflowingPickGivesEveryRecordInOrder)
{
    // 20 curves through the square: more records than the 64-entry buffer holds.
    CurveSet set;
    for (int i = 0; i < 20; ++i)
        set.addCurve(straightCurve({-0.5 + 0.001 * i, -0.5}, {0.5, 0.5}, Qt::red, Qt::blue));
    const PickHits hits = pickCurveSet(set, queryAt(0, PickPurpose::Scribble, {0.0, 0.0}));
    ASSERT_EQ(hits.count(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(hits.hits[i], hit(PickKind::Curve, i));
}

TEST_F(Picker, LeavesTheModelViewSelectedAtIdentityAndTheProjectionAsItWas)
{
    const CurveSet set = setOf({archCurve()});
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.0, 2.0, -1.0, 1.0, -1.0, 1.0);
    const std::array<double, 16> projection = matrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(0.3, 0.0, 0.0);
    PickQuery query = queryAt(0, PickPurpose::Press, {0.0, 0.0});
    query.view = View{3.0, Point(0.1, 0.2)};
    pickCurveSet(set, query);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const std::array<double, 16> modelView = matrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(modelView[i], i % 5 == 0 ? 1.0 : 0.0) << "entry " << i;
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    GLint renderMode = 0;
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    EXPECT_EQ(renderMode, GL_RENDER);
}

TEST(HitRecordNames, OneNamePerRecordInOrder)
{
    const unsigned buffer[] = {1, 10, 20, 7, 1, 5, 9, 10003, 1, 1, 2, 2};
    EXPECT_EQ(hitRecordNames(buffer, 12, 3), QVector<unsigned>({7, 10003, 2}));
}

TEST(HitRecordNames, TopOfTheNameStackIsTheName)
{
    const unsigned buffer[] = {2, 0, 0, 4, 9, 0, 0, 0};
    // A record with two names gives the last one; a record with none gives nothing.
    EXPECT_EQ(hitRecordNames(buffer, 8, 2), QVector<unsigned>({9}));
}

TEST(HitRecordNames, OverflowAndRecordsBeyondTheBufferGiveNothingMore)
{
    const unsigned buffer[] = {1, 0, 0, 3, 1, 0, 0, 4};
    EXPECT_TRUE(hitRecordNames(buffer, 8, -1).isEmpty());
    // A count larger than what the buffer holds stops at the last complete record.
    EXPECT_EQ(hitRecordNames(buffer, 8, 5), QVector<unsigned>({3, 4}));
    // A corrupt name count cannot make the decoder read past the end.
    const unsigned corrupt[] = {1, 0, 0, 3, 4000000000u, 0, 0, 4};
    EXPECT_EQ(hitRecordNames(corrupt, 8, 2), QVector<unsigned>({3}));
}
