// The viewer's overlays drawn from CPU arrays: the example bitmap as background, the curves in
// the view, the scribble marks and the stroke, checked pixel by pixel on a float canvas.
#include "gl_objects.h"
#include "overlay_drawing.h"
#include "overlay_geometry.h"
#include "test_drawing_support.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <utility>

#include <gtest/gtest.h>

using namespace drawingtest;

namespace {

const Rgba kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// A 512 x 512 bitmap whose every pixel is different: red x mod 256, green y mod 256, blue the
// high bits of x and y.
QImage coordinateImage()
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, ((x >> 8) << 7) | ((y >> 8) << 6)));
    return image;
}

// The colour of bitmap pixel (x, y) (origin top left) as the float canvas holds it.
Rgba bitmapColour(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p) / 255.0f, qGreen(p) / 255.0f, qBlue(p) / 255.0f, 1.0f};
}

bool sameColour(const Rgba& a, const Rgba& b, float tolerance = 1e-5f)
{
    for (int k = 0; k < 4; ++k)
        if (std::fabs(a[k] - b[k]) > tolerance)
            return false;
    return true;
}

// Pixels of canvas row y that differ from white.
int darkInRow(const Canvas& canvas, int y)
{
    int n = 0;
    for (int x = 0; x < kSize; ++x)
        if (!sameColour(canvas.pixel(x, y), kWhite, 1e-3f))
            ++n;
    return n;
}

// What every overlay leaves behind: model-view selected at identity, colour white, texturing,
// blending and client arrays off.
void expectOverlayStateRestored()
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0 : 0.0) << "model-view entry " << i;
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ(colour[k], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

} // namespace

class OverlayDrawing : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    }
};

TEST(OverlayGeometry, MarksAreSquaresAndTheStrokeOneStrip)
{
    const VertexBatch<PackedPoint> marks = scribbleMarkVertices({{0.5, -0.25}, {0.0, 0.0}}, 0.1);
    ASSERT_EQ(marks.runCount(), 2);
    EXPECT_EQ(marks.counts, std::vector<int>({4, 4}));
    EXPECT_EQ(marks.firsts, std::vector<int>({0, 4}));
    const float expected[4][2] = {{0.45f, -0.3f}, {0.55f, -0.3f}, {0.55f, -0.2f}, {0.45f, -0.2f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(marks.vertices[i].position[0], expected[i][0]);
        EXPECT_FLOAT_EQ(marks.vertices[i].position[1], expected[i][1]);
    }
    const VertexBatch<PackedPoint> stroke = strokeVertices({{0.0, 0.0}, {0.1, 0.2}, {0.3, 0.1}});
    EXPECT_EQ(stroke.counts, std::vector<int>({3}));
    EXPECT_FLOAT_EQ(stroke.vertices[2].position[0], 0.3f);
    EXPECT_TRUE(strokeVertices({}).empty());
    EXPECT_TRUE(scribbleMarkVertices({}, 0.1).empty());
}

TEST(OverlayGeometry, TheBackgroundFollowsTheView)
{
    // Zoom 1: the whole bitmap. Zoom 4 about canvas point (0.5, -0.5): a quarter of each side,
    // centred on texel (384, 128).
    const VertexBatch<PackedTexturedPoint> whole = backgroundVertices({}, 512, 256);
    ASSERT_EQ(whole.counts, std::vector<int>({4}));
    EXPECT_FLOAT_EQ(whole.vertices[0].position[0], -1.0f);
    EXPECT_FLOAT_EQ(whole.vertices[0].texCoord[0], 0.0f);
    EXPECT_FLOAT_EQ(whole.vertices[2].texCoord[0], 512.0f);
    EXPECT_FLOAT_EQ(whole.vertices[2].texCoord[1], 256.0f);
    const VertexBatch<PackedTexturedPoint> zoomed =
        backgroundVertices(View{4.0, Point(-0.5, 0.5)}, 512, 512);
    EXPECT_FLOAT_EQ(zoomed.vertices[0].texCoord[0], 384.0f - 64.0f);
    EXPECT_FLOAT_EQ(zoomed.vertices[0].texCoord[1], 128.0f - 64.0f);
    EXPECT_FLOAT_EQ(zoomed.vertices[2].texCoord[0], 384.0f + 64.0f);
    EXPECT_FLOAT_EQ(zoomed.vertices[2].texCoord[1], 128.0f + 64.0f);
}

TEST_F(OverlayDrawing, TheExampleTextureHoldsTheBitmapBottomUp)
{
    const QImage image = coordinateImage();
    Texture texture;
    ASSERT_TRUE(texture.createFromImage(image));
    EXPECT_EQ(texture.width(), kSize);
    EXPECT_EQ(texture.height(), kSize);
    std::vector<unsigned char> texels(4 * kSize * kSize);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture.name());
    glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    for (int row : {0, 1, 300, kSize - 1})
        for (int x : {0, 7, 256, kSize - 1}) {
            const QRgb p = image.pixel(x, kSize - 1 - row);
            const unsigned char* t = &texels[4 * (row * kSize + x)];
            EXPECT_EQ(t[0], qRed(p)) << "texel " << x << ", " << row;
            EXPECT_EQ(t[1], qGreen(p));
            EXPECT_EQ(t[2], qBlue(p));
            EXPECT_EQ(t[3], 255);
        }
    // A null image leaves no texture.
    EXPECT_FALSE(texture.createFromImage(QImage()));
    EXPECT_EQ(texture.name(), 0u);
}

TEST_F(OverlayDrawing, TheBackgroundShowsTheBitmapAsTheViewShowsTheCanvas)
{
    const QImage image = coordinateImage();
    Texture texture;
    ASSERT_TRUE(texture.createFromImage(image));
    // Zoom 1: window pixel (x, y) (origin bottom left) shows bitmap pixel (x, 511 - y).
    drawBackgroundImage(texture, {}, kSize, kSize, canvas->name());
    expectOverlayStateRestored();
    for (int y : {0, 100, 255, 256, 511})
        for (int x : {0, 3, 255, 256, 400, 511})
            EXPECT_TRUE(sameColour(canvas->pixel(x, y), bitmapColour(image, x, kSize - 1 - y)))
                << "pixel " << x << ", " << y;
    // Zoom 2 at pan 0: the middle half of the bitmap, each texel over 2 x 2 pixels.
    drawBackgroundImage(texture, View{2.0, Point(0.0, 0.0)}, kSize, kSize, canvas->name());
    for (int y : {0, 1, 200, 511})
        for (int x : {0, 1, 2, 301, 511})
            EXPECT_TRUE(sameColour(canvas->pixel(x, y),
                                   bitmapColour(image, 128 + x / 2, kSize - 1 - (128 + y / 2))))
                << "pixel " << x << ", " << y;
    // Pan (0.5, 0): the canvas moves right by a quarter of the window; left of it the edge
    // texels repeat.
    drawBackgroundImage(texture, View{1.0, Point(0.5, 0.0)}, kSize, kSize, canvas->name());
    for (int x : {128, 129, 300, 511})
        EXPECT_TRUE(sameColour(canvas->pixel(x, 40), bitmapColour(image, x - 128, kSize - 41)))
            << "pixel " << x;
    EXPECT_TRUE(sameColour(canvas->pixel(5, 40), bitmapColour(image, 0, kSize - 41)));
}

TEST_F(OverlayDrawing, TheBackgroundFillsItsViewportAndLeavesGreyAround)
{
    // A window that shows the canvas as the 256 x 256 square whose lower left corner is
    // (128, 64), at zoom 2: the square shows the middle half of the bitmap, one texel per
    // pixel, and the rest of the window is grey.
    const QImage image = coordinateImage();
    Texture texture;
    ASSERT_TRUE(texture.createFromImage(image));
    drawBackgroundImage(texture, View{2.0, Point(0.0, 0.0)}, 256, 256, canvas->name(), 128, 64);
    expectOverlayStateRestored();
    for (int y : {0, 1, 100, 255})
        for (int x : {0, 1, 128, 255})
            EXPECT_TRUE(sameColour(canvas->pixel(128 + x, 64 + y),
                                   bitmapColour(image, 128 + x, kSize - 1 - (128 + y))))
                << "pixel " << x << ", " << y;
    const Rgba grey{0.5f, 0.5f, 0.5f, 1.0f};
    const std::pair<int, int> outside[] = {{127, 100}, {384, 100}, {200, 63},
                                           {200, 320}, {0, 0},     {511, 511}};
    for (const auto& [x, y] : outside)
        EXPECT_TRUE(sameColour(canvas->pixel(x, y), grey)) << "pixel " << x << ", " << y;
    EXPECT_EQ(canvas->countDifferent(grey), 256 * 256);
}

TEST_F(OverlayDrawing, AnUncreatedTextureDrawsNothing)
{
    const Texture none;
    drawBackgroundImage(none, {}, kSize, kSize, canvas->name());
    EXPECT_EQ(canvas->countDifferent(kWhite), 0);
}

TEST_F(OverlayDrawing, TheStrokeIsOneBlackLineThroughItsPoints)
{
    // A horizontal stroke through the centres of row 300 from x = -0.5 to 0.5: 256 pixels of
    // that row, nothing else.
    const double y = centreOf(300);
    drawStrokeLine({{-0.5, y}, {0.0, y}, {0.5, y}}, {});
    expectOverlayStateRestored();
    EXPECT_NEAR(darkInRow(*canvas, 300), 256, 1);
    EXPECT_EQ(canvas->countDifferent(kWhite), darkInRow(*canvas, 300));
    EXPECT_TRUE(sameColour(canvas->at(0.0, y), {0.0f, 0.0f, 0.0f, 1.0f}));
    // The view: at zoom 2 and pan (0.25, 0.1) canvas point p is shown at 2 (p + pan), so a
    // stroke half as long, shifted by -pan, covers the same pixels.
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawStrokeLine({{-0.5, y / 2 - 0.1}, {0.0, y / 2 - 0.1}}, View{2.0, Point(0.25, 0.1)});
    EXPECT_NEAR(darkInRow(*canvas, 300), 256, 1);
    EXPECT_EQ(canvas->countDifferent(kWhite), darkInRow(*canvas, 300));
    // An empty stroke draws nothing.
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawStrokeLine({}, {});
    EXPECT_EQ(canvas->countDifferent(kWhite), 0);
}

TEST_F(OverlayDrawing, ScribbleMarksAreTranslucentOrangeSquares)
{
    // Edge 0.0625 canvas units = 16 pixels, centred on a pixel corner: exactly 16 x 16 pixels.
    const double edge = 16.0 * 2.0 / kSize;
    drawScribbleMarks({{0.0, 0.0}}, edge, {});
    expectOverlayStateRestored();
    EXPECT_EQ(canvas->countDifferent(kWhite), 256);
    // Blended over white with alpha 0.3: 0.3 * orange + 0.7 * white, alpha 0.3^2 + 0.7.
    const Rgba blended{1.0f, 0.3f * 0.521f + 0.7f, 0.3f * 0.121f + 0.7f, 0.09f + 0.7f};
    EXPECT_TRUE(sameColour(canvas->pixel(256, 256), blended));
    EXPECT_TRUE(sameColour(canvas->pixel(248, 248), blended));
    EXPECT_TRUE(sameColour(canvas->pixel(247, 256), kWhite));
    EXPECT_TRUE(sameColour(canvas->pixel(264, 256), kWhite));
    // A second mark over the first blends again; at zoom 2 a mark covers 32 x 32 pixels.
    drawScribbleMarks({{0.0, 0.0}}, edge, {});
    const float g = 0.3f * 0.521f + 0.7f * blended[1];
    EXPECT_NEAR(canvas->pixel(256, 256)[1], g, 1e-5f);
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawScribbleMarks({{0.25, 0.25}}, edge, View{2.0, Point(-0.25, -0.25)});
    EXPECT_EQ(canvas->countDifferent(kWhite), 1024);
    EXPECT_TRUE(sameColour(canvas->pixel(256, 256), blended));
}

TEST_F(OverlayDrawing, CurvesAreDrawnBlackInTheView)
{
    const CurveSet set = setOf({archCurve()});
    const Point top = archCurve().pointAt(0.5, 0);
    // At zoom 2 about the top of the arch, the top is at the window centre and the arch's ends
    // (0.5 canvas units away at zoom 1) are off the window.
    drawCurvesInView(set, View{2.0, Point(-top.x, -top.y)});
    expectOverlayStateRestored();
    bool dark = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            dark = dark || sameColour(canvas->pixel(256 + dx, 256 + dy), {0, 0, 0, 1}, 1e-3f);
    EXPECT_TRUE(dark);
    EXPECT_TRUE(sameColour(canvas->at(-0.5, -0.2), kWhite, 1e-3f));
}

TEST_F(OverlayDrawing, CurveEdgesFadeOverOnePixelBesideAnOpaqueCentre)
{
    // A straight black curve at 30 degrees, width 1: a pixel whose centre lies d pixels from the
    // line (away from its ends) is covered by clamp(1.5 - d, 0, 1), at zoom 1 and zoomed in, and
    // every column it crosses keeps a pixel exactly black.
    const Point from(-0.7, -0.4), to(0.7, -0.4 + 1.4 * std::tan(M_PI / 6.0));
    const CurveSet set = setOf({straightCurve(from, to, Qt::white, Qt::black)});
    for (const View& view : {View{}, View{2.5, Point(0.1, -0.05)}}) {
        SCOPED_TRACE(view.zoom);
        canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
        drawCurvesInView(set, view);
        expectOverlayStateRestored();
        const auto window = [&](const Point& p) {
            return Point((view.zoom * (p.x + view.pan.x) + 1.0) * 0.5 * kSize,
                         (view.zoom * (p.y + view.pan.y) + 1.0) * 0.5 * kSize);
        };
        const Point a = window(from), along = window(to) - a;
        const double length = along.norm();
        const std::vector<Rgba> image = canvas->image();
        int partial = 0, columns = 0;
        for (int x = 0; x < kSize; ++x) {
            float darkest = 1.0f;
            for (int y = 0; y < kSize; ++y) {
                const Point c = Point(x + 0.5, y + 0.5) - a;
                const double t = dot(c, along) / length;
                if (t < 3.0 || t > length - 3.0)
                    continue;
                const double d = std::fabs(c.x * along.y - c.y * along.x) / length;
                const float value = image[y * kSize + x][0];
                ASSERT_NEAR(value, 1.0 - std::clamp(1.5 - d, 0.0, 1.0), 2e-3)
                    << "pixel " << x << ", " << y << " at " << d << " px from the line";
                darkest = std::min(darkest, value);
                partial += value > 0.05f && value < 0.95f;
            }
            if (darkest < 1.0f) {
                ++columns;
                EXPECT_EQ(darkest, 0.0f) << "column " << x;
            }
        }
        EXPECT_GT(columns, 300);
        EXPECT_GE(partial, columns);
    }
}

TEST_F(OverlayDrawing, ScribbleMarkEdgesCoverTheirPixelsByArea)
{
    // A 16-pixel mark moved a quarter pixel right and up: its left and bottom edges cover the
    // edge pixels by 3/4, its right and top edges the pixels beyond by 1/4.
    const double edge = 16.0 * 2.0 / kSize, quarter = 0.25 * 2.0 / kSize;
    drawScribbleMarks({{quarter, quarter}}, edge, {});
    const auto green = [](double coverage) { return 1.0 - 0.3 * coverage * (1.0 - 0.521); };
    EXPECT_NEAR(canvas->pixel(248, 256)[1], green(0.75), 1e-4);
    EXPECT_NEAR(canvas->pixel(264, 256)[1], green(0.25), 1e-4);
    EXPECT_NEAR(canvas->pixel(256, 248)[1], green(0.75), 1e-4);
    EXPECT_NEAR(canvas->pixel(256, 264)[1], green(0.25), 1e-4);
    EXPECT_NEAR(canvas->pixel(256, 256)[1], green(1.0), 1e-5);
    EXPECT_TRUE(sameColour(canvas->pixel(247, 256), kWhite));
    EXPECT_TRUE(sameColour(canvas->pixel(265, 256), kWhite));
}
