// tintweave-trace, run as a process: its exit statuses and messages, the empty drawing of a flat
// bitmap, and a traced drawing with its render written.
#include "curve_set.h"
#include "child_program.h"
#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Status -1: did not end within two minutes, -2: ended by a signal.
using ToolResult = test_support::ProgramRun;

ToolResult runTrace(const QStringList& arguments)
{
    return test_support::runProgram(QCoreApplication::applicationDirPath()
                                        + QStringLiteral("/../../tools/tintweave-trace"),
                                    arguments);
}

class TraceTool : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A 200 x 120 PNG: one colour, or a dark disc on a light ground.
    QString bitmap(const char* name, bool disc)
    {
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(qRgb(230, 220, 200));
        if (disc) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(40, 60, 140));
            painter.drawEllipse(QPointF(100, 60), 40, 40);
        }
        image.save(path(name));
        return path(name);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(TraceTool, BadArgumentsAndUnreadableBitmapsEndWithTheirStatus)
{
    EXPECT_EQ(runTrace({"--detail", "2", bitmap("a.png", true), path("a.xml")}).status, 2);
    EXPECT_EQ(runTrace({"--frobnicate", bitmap("a.png", true), path("a.xml")}).status, 2);
    EXPECT_EQ(runTrace({bitmap("a.png", true)}).status, 2);
    const ToolResult missing = runTrace({path("none.png"), path("a.xml")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("cannot read bitmap")) << missing.err.toStdString();
    QFile junk(path("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    EXPECT_EQ(runTrace({path("junk.png"), path("a.xml")}).status, 1);
    EXPECT_EQ(runTrace({"--rounds", "0", bitmap("a.png", true), dir.path()}).status, 5);
    EXPECT_FALSE(QFile::exists(path("a.xml")));
}

TEST_F(TraceTool, FlatBitmapGivesAnEmptyDrawingAndSaysSo)
{
    const ToolResult result = runTrace({"--rounds", "0", bitmap("flat.png", false), path("f.xml")});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.err.contains("flat")) << result.err.toStdString();
    CurveSet drawing;
    ASSERT_TRUE(loadXml(drawing, path("f.xml")));
    EXPECT_EQ(drawing.nb_curves, 0);
}

TEST_F(TraceTool, DiscTracesToOneCurveAndItsRender)
{
    const ToolResult result = runTrace(
        {"--rounds", "1", bitmap("disc.png", true), path("d.xml"), "--render", path("d.png")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    CurveSet drawing;
    ASSERT_TRUE(loadXml(drawing, path("d.xml")));
    EXPECT_EQ(drawing.nb_curves, 1);
    const QImage render(path("d.png"));
    ASSERT_EQ(render.size(), QSize(512, 512));
    // The middle of the disc and a corner of the ground show their colours.
    EXPECT_LE(std::abs(qBlue(render.pixel(256, 256)) - 140), 3);
    EXPECT_LE(std::abs(qRed(render.pixel(10, 10)) - 230), 3);
}
