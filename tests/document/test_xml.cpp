#include "curve_set.h"
#include "test_curve_set_helpers.h"
#include "test_xml_helpers.h"
#include "curve_set_xml.h"
#include "clipboard.h"
#include "curve_set_selection.h"

#include <cmath>

using namespace doc_test;

namespace {

// One curve of one segment from the top-left corner to the bottom-right corner of a 512 x 512
// image, with two left colour points and nothing else.
CurveSet diagonalDrawing()
{
    CurveSet set;
    Curve c;
    for (const Point& p : {Point(-1, 1), Point(0, 0), Point(0.5, -0.5), Point(1, -1)})
        c.appendControlPoint(p.x, p.y);
    c.appendLeftColor(0, false, QColor(10, 20, 30));
    c.appendLeftColor(10, false, QColor(10, 20, 30));
    set.addCurve(c);
    return set;
}

// Pixel value a canvas coordinate is written as, for comparing at six significant digits.
double columnOf(double x, int width) { return (x + 1.0) * width * 0.5; }
double rowOf(double y, int height) { return (1.0 - y) * height * 0.5; }

void expectSixDigits(double expected, double actual)
{
    EXPECT_NEAR(actual, expected, std::max(std::abs(expected) * 5e-6, 1e-12))
        << expected << " read back as " << actual;
}

// A drawing exercising every field the file carries: several curves, both colour sides, blur,
// lifetimes, coordinates needing rounding, on a non-square image.
CurveSet richDrawing()
{
    CurveSet set;
    set.image_width = 640;
    set.image_height = 480;
    for (int i = 0; i < 5; ++i) {
        Curve c;
        const int segments = 1 + i % 3;
        for (int k = 0; k <= 3 * segments; ++k)
            c.appendControlPoint(-0.9 + 0.123456789 * k + 0.01 * i,
                                 std::sin(0.7 * k + i) * 0.987654321);
        const int end = segments * kSamplesPerSegment;
        for (int g : {0, end / 2 + 1, end}) {
            c.appendLeftColor(g, false, QColor(g * 7 % 256, 255 - i, 3 * i));
            c.appendRightColor(g, false, QColor(i, g % 256, 200));
        }
        c.appendBlur(0, false, i);
        c.appendBlur(end, false, 16 - i);
        c.lifetime = 10 * i;
        set.addCurve(c);
    }
    return set;
}

} // namespace

TEST_F(XmlFiles, WriterLaysOutTheDocumentedText)
{
    const QByteArray expected =
        "<!DOCTYPE CurveSetXML>\n"
        "<curve_set image_width=\"512\" image_height=\"512\" nb_curves=\"1\">\n"
        " <curve nb_control_points=\"4\" nb_left_colors=\"2\" nb_right_colors=\"0\" "
        "nb_blur_points=\"0\" lifetime=\"32\">\n"
        "  <control_points_set>\n"
        "   <control_point y=\"0\" x=\"0\"/>\n"
        "   <control_point y=\"256\" x=\"256\"/>\n"
        "   <control_point y=\"384\" x=\"384\"/>\n"
        "   <control_point y=\"512\" x=\"512\"/>\n"
        "  </control_points_set>\n"
        "  <left_colors_set>\n"
        "   <left_color B=\"10\" G=\"20\" R=\"30\" globalID=\"0\"/>\n"
        "   <left_color B=\"10\" G=\"20\" R=\"30\" globalID=\"10\"/>\n"
        "  </left_colors_set>\n"
        "  <right_colors_set/>\n"
        "  <blur_points_set/>\n"
        " </curve>\n"
        "</curve_set>\n";
    const QString file = path("diagonal.xml");
    ASSERT_TRUE(saveXml(diagonalDrawing(), file));
    EXPECT_EQ(read(file).toStdString(), expected.toStdString());
}

TEST_F(XmlFiles, WriterRoundsToSixSignificantDigits)
{
    CurveSet set;
    set.addCurve(segment(0.123456789, -0.000001234, 0.5, 0.5));
    const QString file = path("digits.xml");
    ASSERT_TRUE(saveXml(set, file));
    const QByteArray text = read(file);
    // column (0.123456789 + 1) * 256 = 287.604938..., row (1 + 0.000001234) * 256 = 256.000315...
    EXPECT_TRUE(text.contains("<control_point y=\"287.605\" x=\"256\"/>")) << text.toStdString();
}

TEST_F(XmlFiles, EmptyDrawingWritesAnEmptyCurveSet)
{
    CurveSet set;
    const QString file = path("empty.xml");
    ASSERT_TRUE(saveXml(set, file));
    EXPECT_EQ(read(file), QByteArray("<!DOCTYPE CurveSetXML>\n"
                                     "<curve_set image_width=\"512\" image_height=\"512\" "
                                     "nb_curves=\"0\"/>\n"));
    CurveSet loaded = richDrawing();
    ASSERT_TRUE(loadCaptured(loaded, file));
    EXPECT_EQ(loaded.nb_curves, 0);
    EXPECT_EQ(out_, "0\n");
}

TEST_F(XmlFiles, SaveThenLoadGivesBackTheDrawing)
{
    const CurveSet saved = richDrawing();
    const QString file = path("rich.xml");
    ASSERT_TRUE(saveXml(saved, file));

    CurveSet loaded = ladder(3);
    addToSelection(loaded, 1);
    loaded.setCurrentCurve(2);
    loaded.copied_blur = 4;
    ASSERT_TRUE(loadCaptured(loaded, file)) << err_;
    EXPECT_EQ(out_, "5\n");
    EXPECT_EQ(err_, "");

    EXPECT_EQ(loaded.image_width, 640);
    EXPECT_EQ(loaded.image_height, 480);
    EXPECT_EQ(loaded.current_curve, -1);
    EXPECT_EQ(loaded.copied_blur, -1);
    EXPECT_TRUE(loaded.selection.isEmpty());
    ASSERT_EQ(loaded.nb_curves, saved.nb_curves);
    ASSERT_EQ(loaded.curves.size(), saved.curves.size());
    for (int i = 0; i < saved.nb_curves; ++i) {
        SCOPED_TRACE(i);
        const Curve& s = saved.curve(i);
        const Curve& l = loaded.curve(i);
        ASSERT_EQ(l.nb_control_points, s.nb_control_points);
        for (int k = 0; k < s.nb_control_points; ++k) {
            expectSixDigits(columnOf(s.control_points[k].x, 640),
                            columnOf(l.control_points[k].x, 640));
            expectSixDigits(rowOf(s.control_points[k].y, 480), rowOf(l.control_points[k].y, 480));
        }
        EXPECT_EQ(l.left_colors, s.left_colors);
        EXPECT_EQ(l.left_color_ids, s.left_color_ids);
        EXPECT_EQ(l.right_colors, s.right_colors);
        EXPECT_EQ(l.right_color_ids, s.right_color_ids);
        EXPECT_EQ(l.blur_values, s.blur_values);
        EXPECT_EQ(l.blur_ids, s.blur_ids);
        EXPECT_EQ(l.nb_left_colors, s.nb_left_colors);
        EXPECT_EQ(l.nb_right_colors, s.nb_right_colors);
        EXPECT_EQ(l.nb_blur_points, s.nb_blur_points);
        EXPECT_EQ(l.lifetime, s.lifetime);
        EXPECT_FALSE(l.selected);
    }

    // A second save of the loaded drawing writes the same text: the six-digit form is stable.
    const QString again = path("again.xml");
    ASSERT_TRUE(saveXml(loaded, again));
    EXPECT_EQ(read(again), read(file));
}

TEST_F(XmlFiles, ColourChannelsTravelUnderSwappedNames)
{
    CurveSet set;
    Curve c = segment(0, 0, 0.5, 0.5);
    c.setLeftColorOf(QColor(10, 20, 30), 0);
    set.addCurve(c);
    const QString file = path("colour.xml");
    ASSERT_TRUE(saveXml(set, file));
    EXPECT_TRUE(read(file).contains("<left_color B=\"10\" G=\"20\" R=\"30\" globalID=\"0\"/>"));
    CurveSet loaded;
    ASSERT_TRUE(loadCaptured(loaded, file));
    EXPECT_EQ(loaded.curve(0).left_colors[0], QColor(10, 20, 30));
}

TEST_F(XmlFiles, HandWrittenFileReadsAsDocumented)
{
    const QString file =
        write("hand.xml", "<!DOCTYPE CurveSetXML>\n"
                          "<curve_set image_height=\"100\" nb_curves=\"42\" image_width=\"200\">\n"
                          " <note>elements before the first curve are ignored</note>\n"
                          " <curve lifetime=\"5\">\n"
                          "  <control_points_set>\n"
                          "   <comment/>\n"
                          "   <control_point x=\"50\" y=\"100\"/>\n"
                          "   <control_point y=\"0\" x=\"0\"/>\n"
                          "  </control_points_set>\n"
                          " </curve>\n"
                          " <curve lifetime=\"9\">\n"
                          "  <blur_points_set>\n"
                          "   <best_scale globalID=\"12.7\" value=\"3\"/>\n"
                          "  </blur_points_set>\n"
                          "  <left_colors_set>\n"
                          "   <left_color R=\"30\" G=\"20.9\" B=\"10\" globalID=\"12.7\"/>\n"
                          "  </left_colors_set>\n"
                          "  <control_points_set>\n"
                          "   <control_point x=\"100\" y=\"200\"/>\n"
                          "   <anything x=\"25\" y=\"50\"/>\n"
                          "  </control_points_set>\n"
                          "  <control_points_set>\n"
                          "   <control_point x=\"1\" y=\"1\"/>\n"
                          "  </control_points_set>\n"
                          " </curve>\n"
                          "</curve_set>\n");
    CurveSet set;
    set.setLeftColor(QColor(1, 2, 3));
    ASSERT_TRUE(loadCaptured(set, file)) << err_;
    EXPECT_EQ(out_, "1\n");
    EXPECT_EQ(set.image_width, 200);
    EXPECT_EQ(set.image_height, 100);
    ASSERT_EQ(set.nb_curves, 1) << "the second curve continues the unfinished first one";
    const Curve& c = set.curve(0);
    EXPECT_EQ(c.lifetime, 9);
    ASSERT_EQ(c.nb_control_points, 4);
    EXPECT_TRUE(near(c.control_points[0], Point(0, 0), 1e-12));
    EXPECT_TRUE(near(c.control_points[1], Point(-1, 1), 1e-12));
    EXPECT_TRUE(near(c.control_points[2], Point(1, -1), 1e-12));
    EXPECT_TRUE(near(c.control_points[3], Point(-0.5, 0.5), 1e-12));
    ASSERT_EQ(c.nb_left_colors, 1);
    EXPECT_EQ(c.left_colors[0], QColor(10, 20, 30));
    EXPECT_EQ(c.left_color_ids[0], 12);
    EXPECT_EQ(c.nb_right_colors, 0);
    ASSERT_EQ(c.nb_blur_points, 1);
    EXPECT_EQ(c.blur_values[0], 3);
    EXPECT_EQ(c.blur_ids[0], 0);
    // The file keeps no defaults: a read curve takes its first points' values; a side without
    // points takes the current colour.
    EXPECT_EQ(c.default_left_color, QColor(10, 20, 30));
    EXPECT_EQ(c.default_right_color, set.current_right_color);
    EXPECT_EQ(c.default_blur, 3);
    EXPECT_EQ(set.current_curve, -1);
    set.setCurrentCurve(0); // the swatches then show the curve's own colours
    EXPECT_EQ(set.current_left_color, QColor(10, 20, 30));
    EXPECT_EQ(set.current_blur, 3);
}

TEST_F(XmlFiles, MissingAttributesReadAsZero)
{
    const QString file =
        write("zeros.xml",
              "<curve_set image_width=\"100\" image_height=\"100\">"
              "<curve><control_points_set>"
              "<control_point/><control_point x=\"abc\"/><control_point y=\"\"/><control_point/>"
              "</control_points_set><left_colors_set><left_color/></left_colors_set>"
              "<blur_points_set><best_scale value=\"x\"/></blur_points_set></curve></curve_set>");
    CurveSet set;
    ASSERT_TRUE(loadCaptured(set, file)) << err_;
    ASSERT_EQ(set.nb_curves, 1);
    const Curve& c = set.curve(0);
    EXPECT_EQ(c.lifetime, 0);
    for (const Point& p : c.control_points)
        EXPECT_TRUE(near(p, Point(-1, 1), 1e-12));
    EXPECT_EQ(c.left_colors[0], QColor(0, 0, 0));
    EXPECT_EQ(c.left_color_ids[0], 0);
    EXPECT_EQ(c.blur_values[0], 0);
}

TEST_F(XmlFiles, ReaderRepairsWhatCannotBeDrawn)
{
    // Five control points (one past the segment), attribute points out of order, and a final
    // curve that never got a segment.
    const QString file = write(
        "repair.xml",
        "<curve_set image_width=\"100\" image_height=\"100\">"
        " <curve><control_points_set>"
        "  <control_point x=\"0\" y=\"0\"/><control_point x=\"10\" y=\"10\"/>"
        "  <control_point x=\"20\" y=\"20\"/><control_point x=\"30\" y=\"30\"/>"
        "  <control_point x=\"40\" y=\"40\"/></control_points_set>"
        "  <left_colors_set><left_color B=\"1\" globalID=\"10\"/><left_color B=\"2\" globalID=\"0\"/>"
        "  </left_colors_set></curve>"
        " <curve><control_points_set><control_point x=\"1\" y=\"1\"/></control_points_set></curve>"
        "</curve_set>");
    CurveSet set;
    ASSERT_TRUE(loadCaptured(set, file)) << err_;
    ASSERT_EQ(set.nb_curves, 1);
    const Curve& c = set.curve(0);
    EXPECT_EQ(c.nb_control_points, 4);
    EXPECT_EQ(c.control_points.size(), 4);
    EXPECT_TRUE(near(c.bbox_max, Point(-0.4, 1), 1e-12));
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 10}));
    EXPECT_EQ(c.left_colors[0].red(), 2);
    EXPECT_EQ(c.left_colors[1].red(), 1);
}

TEST_F(XmlFiles, ClipboardSurvivesLoading)
{
    const QString file = path("d.xml");
    ASSERT_TRUE(saveXml(diagonalDrawing(), file));
    CurveSet set = ladder(2);
    set.setCurrentCurve(0);
    copySplines(set);
    ASSERT_TRUE(loadCaptured(set, file));
    ASSERT_EQ(set.clipboard.size(), 1);
    pasteSplines(set, View{1, Point(0, 0)});
    EXPECT_EQ(set.nb_curves, 2);
}
