// Keyframes that cannot be blended curve for curve are named by their first difference; a
// sequence is checked pair by pair before any frame is made.
#include "keyframe_compatibility.h"
#include "curve_set_layers.h"
#include "keyframe_sequence.h"
#include "test_curve_set_helpers.h"
#include "curve_set_xml.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace doc_test;

namespace {

TEST(KeyframeCompatibility, NamesTheFirstDifferenceWithTheCurveAndTheFiles)
{
    const CurveSet three = ladder(3);
    EXPECT_EQ(keyframeMismatch(three, "a.xml", ladder(3), "b.xml"), QString());
    EXPECT_EQ(keyframeMismatch(three, "a.xml", ladder(2), "b.xml"),
              "a.xml has 3 curves and b.xml 2");
    EXPECT_EQ(keyframeMismatch(ladder(1), "a.xml", three, "b.xml"),
              "a.xml has 1 curve and b.xml 3");

    CurveSet longer = ladder(3);
    longer.curve(1) = curveThrough({Point(0, 0), Point(0.1, 0), Point(0.2, 0), Point(0.3, 0),
                                    Point(0.4, 0), Point(0.5, 0), Point(0.6, 0)});
    longer.curve(2).appendBlur(5, false, 3);
    EXPECT_EQ(keyframeMismatch(three, "a.xml", longer, "b.xml"),
              "curve 1 (counted from 0) has 4 control points in a.xml and 7 in b.xml");

    CurveSet colours = ladder(3);
    colours.curve(2).appendRightColor(5, false, QColor(1, 2, 3));
    EXPECT_EQ(keyframeMismatch(three, "a.xml", colours, "b.xml"),
              "curve 2 (counted from 0) has 2 right colours in a.xml and 3 in b.xml");
    colours.curve(0).appendLeftColor(5, false, QColor(1, 2, 3));
    EXPECT_EQ(keyframeMismatch(colours, "a.xml", three, "b.xml"),
              "curve 0 (counted from 0) has 3 left colours in a.xml and 2 in b.xml");
    CurveSet blur = ladder(3);
    blur.curve(0).appendBlur(5, false, 3);
    EXPECT_EQ(keyframeMismatch(three, "a.xml", blur, "b.xml"),
              "curve 0 (counted from 0) has 2 blur points in a.xml and 3 in b.xml");
}

// Layers must match in number and in the curves each holds, whatever their settings.
TEST(KeyframeCompatibility, NamesTheFirstDifferenceInLayers)
{
    CurveSet two = ladder(3);
    addLayer(two, "Top");
    EXPECT_EQ(keyframeMismatch(two, "a.xml", ladder(3), "b.xml"), "a.xml has 2 layers and b.xml 1");
    CurveSet moved = two;
    moved.current_curve = 2;
    moveSelectionToLayer(moved, 1);
    renameLayer(moved, 1, "Renamed");
    setLayerOpacity(moved, 1, 0.5);
    EXPECT_EQ(keyframeMismatch(two, "a.xml", moved, "b.xml"),
              "layer 0 (counted from 0) has 3 curves in a.xml and 2 in b.xml");
    CurveSet same = moved;
    setLayerVisible(same, 0, false);
    EXPECT_EQ(keyframeMismatch(moved, "a.xml", same, "b.xml"), QString());
}

// Only the pair that differs is named, and a sequence that cannot be blended writes nothing.
TEST(KeyframeCompatibility, SequenceIsRefusedBeforeAnyFrame)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.xml"), b = dir.filePath("b.xml"), c = dir.filePath("c.xml");
    ASSERT_TRUE(saveXml(ladder(2), a));
    ASSERT_TRUE(saveXml(ladder(2), b));
    ASSERT_TRUE(saveXml(ladder(1), c));
    EXPECT_EQ(keyframeSequenceProblem({a, b}), QString());
    EXPECT_EQ(keyframeSequenceProblem({a, b, c}),
              "keyframes do not match: " + b + " has 2 curves and " + c + " 1");
    EXPECT_TRUE(keyframeSequenceProblem({a, dir.filePath("absent.xml")})
                    .startsWith("cannot load " + dir.filePath("absent.xml") + ": "));

    KeyframeSequence sequence;
    sequence.files = QStringList{a, b, c};
    sequence.prefix = dir.filePath("frames/interpol");
    int written = 0;
    std::ostringstream progress, err;
    const KeyframeSequenceReport report = writeKeyframeSequence(
        sequence, [&](const CurveSet&, const QString&) { return ++written > 0; }, &progress, err);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(report.framesAttempted, 0);
    EXPECT_EQ(report.mismatch, keyframeSequenceProblem({a, b, c}));
    EXPECT_NE(err.str().find("No frame was written: keyframes do not match"), std::string::npos);
    EXPECT_EQ(progress.str().find("done!"), std::string::npos);
}

// A range of frames gives exactly those frames of the whole run, with the same drawings.
TEST(KeyframeCompatibility, FrameRangeGivesThoseFramesOfTheWholeRun)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.xml"), b = dir.filePath("b.xml"), c = dir.filePath("c.xml");
    ASSERT_TRUE(saveXml(ladder(2), a));
    CurveSet moved = ladder(2);
    moved.curve(0) = segment(-0.2, 0.1, 0.8, 0.1);
    ASSERT_TRUE(saveXml(moved, b));
    ASSERT_TRUE(saveXml(ladder(2), c));
    std::map<QString, double> whole, part;
    auto recordInto = [](std::map<QString, double>& frames) {
        return [&frames](const CurveSet& frame, const QString& path) {
            frames[QFileInfo(path).fileName()] = frame.curve(0).controlPoint(0).x;
            return true;
        };
    };
    KeyframeSequence sequence;
    sequence.files = QStringList{a, b, c};
    sequence.prefix = dir.filePath("interpol");
    sequence.framesPerPair = 6;
    std::ostringstream err;
    writeKeyframeSequence(sequence, recordInto(whole), nullptr, err);
    ASSERT_EQ(whole.size(), 12u);
    sequence.firstFrame = 4;
    sequence.lastFrame = 8;
    const KeyframeSequenceReport report =
        writeKeyframeSequence(sequence, recordInto(part), nullptr, err);
    EXPECT_EQ(report.framesAttempted, 5);
    ASSERT_EQ(part.size(), 5u);
    for (int n = 4; n <= 8; ++n) {
        const QString name = QString("interpol%1.png").arg(n);
        ASSERT_EQ(part.count(name), 1u) << n;
        EXPECT_EQ(part[name], whole[name]) << n;
    }
}

} // namespace
