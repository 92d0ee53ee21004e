// tintweave-trace answers as tintweave-render does: --version, a wrong option or a missing
// argument in one line with exit status 2, "-" for standard input and output, --verbose.
#include "tool_runner.h"

#include "curve_set.h"
#include "curve_set_xml.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ToolRun trace(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    return runProgram(QStringLiteral("tintweave-trace"), arguments, input);
}

// A PNG of a dark disc on a light ground.
QByteArray discPng()
{
    QImage image(160, 160, QImage::Format_RGB32);
    image.fill(qRgb(230, 220, 200));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 60, 140));
    painter.drawEllipse(QPointF(80, 80), 40, 40);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

TEST(TraceManners, VersionAndMistakesAreOneLine)
{
    ToolRun run = trace({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("tintweave-trace ")) << run.out.constData();
    EXPECT_EQ(run.out.count('\n'), 1);

    run = trace({"--frobnicate", "in.png", "out.xml"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tintweave-trace: unknown option '--frobnicate' (see --help)\n");
    EXPECT_TRUE(run.out.isEmpty());

    for (const QStringList& arguments : {QStringList{"in.png"}, QStringList{},
                                         QStringList{"--rounds"}, QStringList{"a", "b", "c"}}) {
        run = trace(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    run = trace({"--render", "-", "in.png", "-"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
}

TEST(TraceManners, DashReadsTheBitmapFromStdinAndWritesTheDrawingToStdout)
{
    const ToolRun run = trace({"--rounds", "0", "--quiet", "-", "-"}, discPng());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    QBuffer xml;
    xml.setData(run.out);
    xml.open(QIODevice::ReadOnly);
    CurveSet drawing;
    QString reason;
    ASSERT_TRUE(readCurveSetXml(xml, drawing, reason)) << reason.toStdString();
    EXPECT_EQ(drawing.nb_curves, 1);

    const ToolRun junk = trace({"--rounds", "0", "-", "-"}, "not a picture");
    EXPECT_EQ(junk.status, 1);
    EXPECT_TRUE(junk.out.isEmpty());
}

TEST(TraceManners, VerboseNamesTheShadersAndTheRenderGoesToStdout)
{
    QTemporaryDir dir;
    const ToolRun run =
        trace({"--verbose", "--rounds", "1", "-", dir.filePath("disc.xml"), "--render", "-"},
              discPng());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("tintweave-trace: shaders from /")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("uniform location of ")) << run.err.toStdString();
    const QImage picture = QImage::fromData(run.out, "PNG");
    ASSERT_EQ(picture.size(), QSize(512, 512));
    EXPECT_LE(std::abs(qBlue(picture.pixel(256, 256)) - 140), 3);
}

} // namespace
