// tintweave-render keeps a drawing's transparency: a PNG carries the opacity in alpha at 8 and
// 16 bits, at the editor's size and at any other, and --background lays the picture over a
// colour, opaque, for formats and viewers without alpha.
#include "tool_runner.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const QColor kInside(180, 40, 180);    // opaque (red and blue alike: the file's order is moot)
const QColor kOutside(20, 40, 210, 0); // fully transparent

// A circle of radius 150 pixels about the centre of a 512-pixel canvas, run so that its right
// side is inside: opaque purple inside, clear outside.
QByteArray circleDrawing()
{
    const double r = 150.0, k = 0.5522847498 * r;
    const double pts[13][2] = {{r, 0},   {r, k},   {k, r},  {0, r},  {-k, r}, {-r, k}, {-r, 0},
                               {-r, -k}, {-k, -r}, {0, -r}, {k, -r}, {r, -k}, {r, 0}};
    QByteArray xml = "<curve_set image_width=\"512\" image_height=\"512\"><curve>"
                     "<control_points_set>";
    for (const auto& p : pts)
        xml += QStringLiteral("<control_point x=\"%1\" y=\"%2\"/>")
                   .arg(256.0 + p[0])
                   .arg(256.0 - p[1])
                   .toLatin1();
    xml += QStringLiteral("</control_points_set><right_colors_set><right_color B=\"%1\" G=\"%2\" "
                          "R=\"%3\" globalID=\"0\"/></right_colors_set><left_colors_set>"
                          "<left_color A=\"0\" B=\"%4\" G=\"%5\" R=\"%6\" globalID=\"0\"/>"
                          "</left_colors_set></curve></curve_set>")
               .arg(kInside.blue())
               .arg(kInside.green())
               .arg(kInside.red())
               .arg(kOutside.blue())
               .arg(kOutside.green())
               .arg(kOutside.red())
               .toLatin1();
    return xml;
}

ToolRun render(const QStringList& arguments)
{
    return runProgram(QStringLiteral("tintweave-render"), arguments);
}

// Where a pixel of a size x size picture lies: inside the circle, outside, or near the curve:
// within 8 pixels of the 512 canvas (its strips and the anti-aliased edge), or within 40 of
// where it starts and ends, whose strips overlap and leave the crossing free (the opacity
// there is diffused, exactly as the discrete problem says, and a dithered pixel nearby may
// come out a level below full).
enum class Region { Inside, Outside, Edge };
Region regionOf(int x, int y, int size)
{
    const double scale = 512.0 / size;
    const double cx = (x + 0.5) * scale, cy = (y + 0.5) * scale;
    const double d = std::hypot(cx - 256.0, cy - 256.0);
    if (std::abs(d - 150.0) < 8.0 || std::hypot(cx - 406.0, cy - 256.0) < 40.0)
        return Region::Edge;
    return d < 150.0 ? Region::Inside : Region::Outside;
}

// Largest difference of two pixels in any channel, alpha included, in 8-bit levels.
int levelsApart(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

class RenderTransparency : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        circle = write("circle.xml", circleDrawing());
        opaque = write("opaque.xml", crossingCurvesDrawing());
    }
    QString write(const char* name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Renders with `options`, the drawing and `out`; the picture read back.
    QImage rendered(QStringList options, const QString& drawing, const char* out) const
    {
        options << drawing << path(out);
        const ToolRun run = render(options);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QImage(path(out));
    }
    QTemporaryDir dir;
    QString circle;
    QString opaque;
};

TEST_F(RenderTransparency, PngKeepsTheOpacityInAlphaAtEightAndSixteenBits)
{
    for (const char* size : {"512", "256"}) { // the editor's solver, and the export solver's
        for (const char* depth : {"8", "16"}) {
            SCOPED_TRACE(std::string("size ") + size + ", depth " + depth);
            const QImage png = rendered({"--size", size, "--depth", depth}, circle, "a.png");
            ASSERT_EQ(png.width(), QString(size).toInt());
            ASSERT_TRUE(png.hasAlphaChannel());
            const bool deep = QString(depth) == "16";
            EXPECT_EQ(png.depth(), deep ? 64 : 32);
            // The picture holds the solve's accuracy, 1/255. A 16-bit picture is read rounded
            // to 8 bits, where away from the curve it must be exactly clear or opaque, of the
            // inside colour. The 8-bit picture is dithered: a value a hair off a level (the
            // solve settles to 0.2/255, not to the dither's 0.01 of a level) may come out one
            // level off, the product's bound, and no more.
            const int bound = deep ? 0 : 1;
            int inside = 0, outside = 0;
            for (int y = 0; y < png.height(); y += 2) {
                for (int x = 0; x < png.width(); x += 2) {
                    const Region region = regionOf(x, y, png.width());
                    if (region == Region::Edge)
                        continue;
                    const QRgb p = png.pixelColor(x, y).rgba64().toArgb32();
                    if (region == Region::Outside) {
                        ++outside;
                        ASSERT_LE(qAlpha(p), bound) << x << ", " << y;
                        continue;
                    }
                    ++inside;
                    ASSERT_LE(levelsApart(p, kInside.rgba()), bound) << x << ", " << y;
                }
            }
            EXPECT_GT(inside, 100);
            EXPECT_GT(outside, 100);
        }
    }
}

TEST_F(RenderTransparency, BackgroundFlattensThePictureOntoTheColour)
{
    const QColor background(0x33, 0x66, 0x99);
    for (const char* size : {"512", "256"}) {
        SCOPED_TRACE(size);
        const QImage flat = rendered({"--size", size, "--background", "#336699"}, circle, "f.png");
        ASSERT_FALSE(flat.isNull());
        for (int y = 0; y < flat.height(); y += 2) {
            for (int x = 0; x < flat.width(); x += 2) {
                ASSERT_EQ(qAlpha(flat.pixel(x, y)), 255) << x << ", " << y;
                const Region region = regionOf(x, y, flat.width());
                if (region == Region::Edge)
                    continue;
                // Dithered, within a level (see above).
                ASSERT_LE(levelsApart(flat.pixel(x, y),
                                      (region == Region::Inside ? kInside : background).rgba()),
                          1)
                    << x << ", " << y;
            }
        }
    }
    // A format without alpha gets the flattened picture.
    const QImage bmp = rendered({"--background", "white"}, circle, "f.bmp");
    EXPECT_EQ(bmp.pixel(4, 4), QColor(Qt::white).rgba());
}

TEST_F(RenderTransparency, OpaqueDrawingIsTheSameWithOrWithoutBackground)
{
    for (const char* depth : {"8", "16"}) {
        SCOPED_TRACE(depth);
        const QImage plain = rendered({"--depth", depth}, opaque, "plain.png");
        const QImage flat = rendered({"--depth", depth, "--background", "black"}, opaque, "f.png");
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(plain, flat);
        for (int y = 0; y < plain.height(); y += 3)
            for (int x = 0; x < plain.width(); x += 3)
                ASSERT_EQ(plain.pixelColor(x, y).alpha(), 255) << x << ", " << y;
    }
}

TEST_F(RenderTransparency, BadBackgroundIsOneLineAndExitTwo)
{
    for (const char* colour : {"nonsense", "#12345", "#80ff0000"}) {
        const ToolRun run = render({"--background", colour, circle, path("x.png")});
        EXPECT_EQ(run.status, 2) << colour;
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("--background needs an opaque colour"))
            << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("x.png")));
    }
}

} // namespace
