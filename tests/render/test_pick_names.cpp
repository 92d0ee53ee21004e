// The selection names of picking: what each item is named and what a name read back means in
// each mode and purpose.
#include "curve_geometry.h"
#include "pick_names.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PickContext context(int mode, PickPurpose purpose, int currentCurve)
{
    PickContext c;
    c.mode = static_cast<ManipulationMode>(mode);
    c.purpose = purpose;
    c.currentCurve = currentCurve;
    return c;
}

PickHit hit(PickKind kind, int curve = -1, int index = -1) { return {kind, curve, index}; }

const PickPurpose kAllPurposes[] = {PickPurpose::Press, PickPurpose::Menu, PickPurpose::Toggle,
                                    PickPurpose::Scribble};

} // namespace

TEST(PickNames, TheNumbersOfTheProtocol)
{
    EXPECT_EQ(kPickNameNothing, 0u);
    EXPECT_EQ(kPickNameBox, 1u);
    EXPECT_EQ(kPickNameBody, 2u);
    EXPECT_EQ(curvePickName(7), 7u);
    EXPECT_EQ(controlPointPickName(4), 10004u);
    EXPECT_EQ(attributePointPickName(Blur, 3), 10003u);
    EXPECT_EQ(attributePointPickName(LeftColor, 1), 20001u);
    EXPECT_EQ(attributePointPickName(RightColor, 12), 30012u);
    EXPECT_EQ(curvePositionPickName(0), 10u);
    EXPECT_EQ(curvePositionPickName(25), 35u);
    EXPECT_EQ(static_cast<int>(PickPurpose::Press), 0);
    EXPECT_EQ(static_cast<int>(PickPurpose::Menu), 1);
    EXPECT_EQ(static_cast<int>(PickPurpose::Toggle), 2);
    EXPECT_EQ(static_cast<int>(PickPurpose::Scribble), 3);
}

TEST(PickNames, SamplePiecesOfASegmentAreNamedTenToTwenty)
{
    // The sample walk's t (0, 0.1, 0.2, ... summed in double precision) as the drawing forms it.
    std::vector<unsigned> names;
    for (double t = 0.0; t < 1.0; t += sampleStep)
        names.push_back(samplePiecePickName(0, t));
    ASSERT_EQ(names.size(), 11u);
    for (unsigned k = 0; k < 11; ++k)
        EXPECT_EQ(names[k], 10u + k) << "piece " << k;
    // Segment 2 starts at globalID 20: its first piece is named 30.
    EXPECT_EQ(samplePiecePickName(2, 0.0), 30u);
    // The pieces that the drawing names are the same numbers.
    Curve c;
    for (int i = 0; i < 7; ++i)
        c.appendControlPoint(0.1 * i, 0.0);
    const std::vector<SamplePiece> pieces = samplePieces(c);
    ASSERT_EQ(pieces.size(), 22u);
    EXPECT_EQ(pieces.front().name, 10u);
    EXPECT_EQ(pieces[11].name, 20u);
    EXPECT_EQ(pieces.back().name, 30u);
}

TEST(PickNames, WithoutACurrentCurveNamesAreCurveIndices)
{
    for (int mode : {0, 1, 2, 8})
        for (PickPurpose purpose : kAllPurposes)
            EXPECT_EQ(decodePickName(5, context(mode, purpose, -1)), hit(PickKind::Curve, 5))
                << "mode " << mode;
    // The multiselection's toggle and scribble name curves whatever is current.
    EXPECT_EQ(decodePickName(0, context(3, PickPurpose::Toggle, -1)), hit(PickKind::Curve, 0));
    EXPECT_EQ(decodePickName(9, context(3, PickPurpose::Scribble, 2)), hit(PickKind::Curve, 9));
}

TEST(PickNames, TheMultiselectionPressNamesTheSelectionOrNothing)
{
    const PickContext press = context(3, PickPurpose::Press, -1);
    EXPECT_EQ(decodePickName(0, press), hit(PickKind::Nothing));
    EXPECT_EQ(decodePickName(1, press), hit(PickKind::Selection));
    // The context menu of mode 3 draws nothing: no name means anything there.
    EXPECT_EQ(decodePickName(1, context(3, PickPurpose::Menu, -1)), hit(PickKind::Nothing));
}

TEST(PickNames, PressOnTheCurrentCurve)
{
    const PickContext move = context(0, PickPurpose::Press, 4);
    EXPECT_EQ(decodePickName(0, move), hit(PickKind::Nothing));
    EXPECT_EQ(decodePickName(1, move), hit(PickKind::CurveBox, 4));
    EXPECT_EQ(decodePickName(2, move), hit(PickKind::CurveBody, 4));
    EXPECT_EQ(decodePickName(10000, move), hit(PickKind::ControlPoint, 4, 0));
    EXPECT_EQ(decodePickName(10007, move), hit(PickKind::ControlPoint, 4, 7));
    for (int mode : {2, 8}) {
        const PickContext attributes = context(mode, PickPurpose::Press, 4);
        EXPECT_EQ(decodePickName(2, attributes), hit(PickKind::CurveBody, 4));
        EXPECT_EQ(decodePickName(10002, attributes), hit(PickKind::BlurPoint, 4, 2));
        EXPECT_EQ(decodePickName(20001, attributes), hit(PickKind::LeftColorPoint, 4, 1));
        EXPECT_EQ(decodePickName(30000, attributes), hit(PickKind::RightColorPoint, 4, 0));
        // No fourth list, and sample names are not drawn for a press.
        EXPECT_EQ(decodePickName(40000, attributes), hit(PickKind::Nothing));
        EXPECT_EQ(decodePickName(15, attributes), hit(PickKind::Nothing));
    }
    // Mode 1 names nothing of a current curve; modes that do not pick never name anything.
    EXPECT_EQ(decodePickName(2, context(1, PickPurpose::Press, 4)), hit(PickKind::Nothing));
    for (int mode : {4, 5, 6, 7, 9})
        EXPECT_EQ(decodePickName(3, context(mode, PickPurpose::Press, -1)), hit(PickKind::Nothing));
}

TEST(PickNames, OtherPurposesNamePositionsAlongTheCurrentCurve)
{
    for (PickPurpose purpose : {PickPurpose::Menu, PickPurpose::Toggle, PickPurpose::Scribble}) {
        const PickContext move = context(0, purpose, 1);
        EXPECT_EQ(decodePickName(1, move), hit(PickKind::CurveBox, 1));
        EXPECT_EQ(decodePickName(13, move), hit(PickKind::CurvePosition, 1, 3));
        EXPECT_EQ(decodePickName(10003, move), hit(PickKind::ControlPoint, 1, 3));
        // In the colour modes attribute points carry their globalID + 10 too.
        const PickContext attributes = context(2, purpose, 1);
        EXPECT_EQ(decodePickName(15, attributes), hit(PickKind::CurvePosition, 1, 5));
        EXPECT_EQ(decodePickName(10005, attributes), hit(PickKind::CurvePosition, 1, 9995));
        // Names 2 to 9 are not given.
        EXPECT_EQ(decodePickName(2, attributes), hit(PickKind::Nothing));
    }
}

TEST(PickNames, EncodingInvertsDecoding)
{
    struct Case {
        PickContext context;
        PickHit hit;
    };
    const Case cases[] = {
        {context(0, PickPurpose::Press, -1), hit(PickKind::Curve, 12)},
        {context(3, PickPurpose::Press, -1), hit(PickKind::Selection)},
        {context(3, PickPurpose::Press, -1), hit(PickKind::Nothing)},
        {context(3, PickPurpose::Scribble, -1), hit(PickKind::Curve, 3)},
        {context(0, PickPurpose::Press, 2), hit(PickKind::CurveBox, 2)},
        {context(0, PickPurpose::Press, 2), hit(PickKind::CurveBody, 2)},
        {context(0, PickPurpose::Press, 2), hit(PickKind::ControlPoint, 2, 9)},
        {context(8, PickPurpose::Press, 2), hit(PickKind::BlurPoint, 2, 4)},
        {context(8, PickPurpose::Press, 2), hit(PickKind::LeftColorPoint, 2, 5)},
        {context(2, PickPurpose::Press, 2), hit(PickKind::RightColorPoint, 2, 6)},
        {context(2, PickPurpose::Menu, 2), hit(PickKind::CurvePosition, 2, 0)},
        {context(0, PickPurpose::Menu, 2), hit(PickKind::CurvePosition, 2, 47)},
    };
    for (const Case& c : cases) {
        const unsigned name = encodePickName(c.hit);
        EXPECT_EQ(decodePickName(name, c.context), c.hit) << "name " << name;
    }
}
