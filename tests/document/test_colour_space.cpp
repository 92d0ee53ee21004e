// The drawing's colour space: its optional "colour_space" attribute in files, its names, the
// conversions to and from sRGB, and keyframe blends in a space.
#include "colour_space.h"
#include "curve_set.h"
#include "drawing_change.h"
#include "test_curve_set_helpers.h"
#include "test_xml_helpers.h"
#include "curve_set_xml.h"

using namespace doc_test;

namespace {

CurveSet oneCurve()
{
    CurveSet set;
    set.addCurve(curveThrough({Point(0, 0), Point(0.1, 0), Point(0.2, 0), Point(0.3, 0)},
                              QColor(10, 20, 30), QColor(200, 100, 50), 0));
    return set;
}

TEST_F(XmlFiles, ColourSpaceRoundTripsAndSrgbIsLeftOut)
{
    for (ColourSpace space : {ColourSpace::Srgb, ColourSpace::Linear, ColourSpace::Oklab}) {
        CurveSet set = oneCurve();
        set.colour_space = space;
        const QString file = path(colourSpaceName(space) + ".xml");
        ASSERT_TRUE(saveXml(set, file));
        const QByteArray text = read(file);
        // Files in sRGB are exactly the files of before: no attribute.
        EXPECT_EQ(text.contains("colour_space"), space != ColourSpace::Srgb);
        CurveSet loaded;
        loaded.colour_space = ColourSpace::Oklab;
        ASSERT_TRUE(loadCaptured(loaded, file));
        EXPECT_EQ(loaded.colour_space, space);
        EXPECT_EQ(loaded.curve(0).left_colors, set.curve(0).left_colors); // still 8-bit sRGB
    }
}

TEST_F(XmlFiles, UnknownColourSpaceIsRefusedAndTheDrawingKept)
{
    const QString file = write("future.xml", "<curve_set image_width=\"512\" image_height=\"512\" "
                                             "colour_space=\"cielab\"/>");
    CurveSet set = oneCurve();
    set.colour_space = ColourSpace::Linear;
    EXPECT_FALSE(loadCaptured(set, file));
    EXPECT_NE(err_.find("colour_space"), std::string::npos) << err_;
    EXPECT_EQ(set.nb_curves, 1);
    EXPECT_EQ(set.colour_space, ColourSpace::Linear);
}

TEST(ColourSpace, EightBitChannelsConvertAsTheirFractions)
{
    // Every level of every channel, alone and with the others: the table gives the very values
    // of the conversion of level / 255.
    for (ColourSpace space : {ColourSpace::Srgb, ColourSpace::Linear, ColourSpace::Oklab})
        for (int c = 0; c < 256; ++c)
            for (const std::array<int, 3>& rgb :
                 {std::array<int, 3>{c, 0, 0}, std::array<int, 3>{17, c, 255 - c},
                  std::array<int, 3>{c, c, c}}) {
                const ColourTriple exact =
                    fromSrgb(space, {rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0});
                EXPECT_EQ(fromSrgb8(space, rgb[0], rgb[1], rgb[2]), exact) << c;
            }
    EXPECT_EQ(fromSrgb8(ColourSpace::Linear, -4, 300, 0),
              fromSrgb8(ColourSpace::Linear, 0, 255, 0));
}

TEST(ColourSpace, ConversionsRoundTripAndClipToTheGamut)
{
    for (ColourSpace space : {ColourSpace::Srgb, ColourSpace::Linear, ColourSpace::Oklab})
        for (const ColourTriple& c : {ColourTriple{0.0, 0.0, 0.0}, ColourTriple{1.0, 0.0, 0.0},
                                      ColourTriple{0.2, 0.7, 0.9}, ColourTriple{1.0, 1.0, 1.0}}) {
            const ColourTriple back = toSrgb(space, fromSrgb(space, c));
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(back[k], c[k], 1e-6);
        }
    // Mid grey in sRGB values is 0.214 in linear light; OKLab white is L 1, a = b = 0.
    EXPECT_NEAR(fromSrgb(ColourSpace::Linear, {0.5, 0.5, 0.5})[0], 0.2140, 1e-4);
    const ColourTriple white = fromSrgb(ColourSpace::Oklab, {1.0, 1.0, 1.0});
    EXPECT_NEAR(white[0], 1.0, 1e-4);
    EXPECT_NEAR(white[1], 0.0, 1e-4);
    EXPECT_NEAR(white[2], 0.0, 1e-4);
    // Out of gamut: clipped per channel.
    const ColourTriple clipped = toSrgb(ColourSpace::Linear, {1.5, -0.2, 0.5});
    EXPECT_NEAR(clipped[0], 1.0, 1e-12);
    EXPECT_EQ(clipped[1], 0.0);
    ColourSpace named = ColourSpace::Srgb;
    EXPECT_TRUE(colourSpaceFromName(QStringLiteral("oklab"), &named));
    EXPECT_EQ(named, ColourSpace::Oklab);
    EXPECT_FALSE(colourSpaceFromName(QStringLiteral("OKLab"), &named));
}

TEST(ColourSpace, KeyframeBlendKeepsTheSpace)
{
    CurveSet a = oneCurve(), b = oneCurve(), out;
    a.colour_space = b.colour_space = ColourSpace::Oklab;
    interpolateSets(a, b, out, 0.5);
    EXPECT_EQ(out.colour_space, ColourSpace::Oklab);
    EXPECT_EQ(out.nb_curves, 1);
}

// Choosing another space is a change of the drawing on its own, undone and redone like any edit.
TEST(ColourSpace, ChangingTheSpaceIsAChangeThatRoundTrips)
{
    CurveSet set = oneCurve();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    set.colour_space = ColourSpace::Linear;
    const DrawingChange change = DrawingChange::between(before, set);
    EXPECT_FALSE(change.isEmpty());
    change.revert(set);
    EXPECT_EQ(set.colour_space, ColourSpace::Srgb);
    change.apply(set);
    EXPECT_EQ(set.colour_space, ColourSpace::Linear);
    // Changed back, the two steps cancel out.
    DrawingChange combined = change;
    const DrawingSnapshot middle = DrawingSnapshot::of(set);
    set.colour_space = ColourSpace::Srgb;
    EXPECT_TRUE(combined.absorb(DrawingChange::between(middle, set)));
    EXPECT_TRUE(combined.isEmpty());
}

} // namespace
