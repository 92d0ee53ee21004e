// tintweave-render as a Unix tool, run as a process: nothing on stdout unless asked, "-" for
// stdin and stdout, one line for a wrong option, --version, a range of an animation's frames,
// and keyframes that cannot be blended refused before any frame.
#include "child_program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One curve, red on one side and blue on the other, with its blur points (%3).
const char kCurve[] =
    "<curve><control_points_set>"
    "<control_point x=\"100\" y=\"50\"/><control_point x=\"200\" y=\"200\"/>"
    "<control_point x=\"300\" y=\"300\"/><control_point x=\"%1\" y=\"460\"/>"
    "</control_points_set><left_colors_set><left_color B=\"230\" G=\"20\" R=\"20\" "
    "globalID=\"0\"/></left_colors_set><right_colors_set><right_color B=\"20\" G=\"%2\" "
    "R=\"230\" globalID=\"0\"/></right_colors_set><blur_points_set>%3</blur_points_set></curve>";
const char kBlurPoint[] = "<best_scale value=\"4\" globalID=\"0\"/>";

// A drawing of `curves` curves; `shift` moves an end point and changes a colour. Without blur,
// pictures at sizes other than 512 are quick to make.
QByteArray drawingText(int curves, int shift = 0, bool blur = true)
{
    QString text = "<curve_set image_width=\"512\" image_height=\"512\">";
    for (int i = 0; i < curves; ++i)
        text += QString(kCurve)
                    .arg(400 - 40 * i + shift)
                    .arg(20 + shift)
                    .arg(blur ? kBlurPoint : "<best_scale value=\"0\" globalID=\"0\"/>");
    return (text + "</curve_set>").toUtf8();
}

// Status -1: did not end within 4 minutes, -2: ended by a signal.
using ToolRun = test_support::ProgramRun;

ToolRun runTool(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    test_support::ProgramOptions options;
    options.input = input;
    options.timeoutMs = 240000;
    return test_support::runProgram(QCoreApplication::applicationDirPath()
                                        + "/../../tools/tintweave-render",
                                    arguments, options);
}

class RenderToolCli : public ::testing::Test {
protected:
    void SetUp() override { drawing = write("drawing.xml", drawingText(2)); }
    QString write(const QString& name, const QByteArray& text)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString drawing;
};

TEST_F(RenderToolCli, NormalRenderPrintsNothingAndVerboseOnlyOnStderr)
{
    ToolRun run = runTool({drawing, dir.filePath("a.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    run = runTool({"--verbose", drawing, dir.filePath("b.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
    EXPECT_TRUE(run.err.contains("uniform location of ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("tintweave-render: shaders from /")) << run.err.toStdString();
    EXPECT_EQ(contents(dir.filePath("b.png")), contents(dir.filePath("a.png")));
}

TEST_F(RenderToolCli, DashReadsStdinAndWritesStdoutByteForByte)
{
    const QString file = dir.filePath("file.png");
    ASSERT_EQ(runTool({"--size", "200", drawing, file}).status, 0);
    const QByteArray expected = contents(file);
    ASSERT_TRUE(expected.startsWith("\x89PNG"));

    ToolRun run = runTool({"--size", "200", drawing, "-"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out == expected) << run.out.size() << " bytes against " << expected.size();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath("-")));

    run = runTool({"--size", "200", "-", "-"}, contents(drawing));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out == expected);

    run = runTool({"-", dir.filePath("bad.png")}, "<curve_set><curve");
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("bad.png")));
}

TEST_F(RenderToolCli, WrongOptionIsOneLineAndExitTwo)
{
    ToolRun run = runTool({"--bogus", drawing, dir.filePath("a.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tintweave-render: unknown option '--bogus' (see --help)\n");
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("a.png")));

    run = runTool({drawing});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith("(see --help)\n")) << run.err.toStdString();

    run = runTool({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("tintweave-render ")) << run.out.constData();
    EXPECT_EQ(run.out.count('\n'), 1);
}

TEST_F(RenderToolCli, FrameRangeWritesThoseFramesOfAWholeRunByteForByte)
{
    const QStringList keys = {write("k0.xml", drawingText(2, 0, false)),
                              write("k1.xml", drawingText(2, 60, false))};
    const QString whole = dir.filePath("whole"), part = dir.filePath("part");
    ToolRun run = runTool(QStringList{"--quiet", "--size", "48", "--animate", whole} + keys);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(QDir(whole).entryList(QDir::Files).size(), 26);
    run = runTool(QStringList{"--size", "48", "--animate", part} + keys
                  + QStringList{"--frames", "10-19"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count("Processing frame "), 10) << run.err.toStdString();
    EXPECT_EQ(QDir(part).entryList(QDir::Files).size(), 10);
    for (int n = 10; n <= 19; ++n) {
        const QString name = QString("/interpol%1.png").arg(n);
        ASSERT_TRUE(QFileInfo::exists(part + name)) << n;
        EXPECT_TRUE(contents(part + name) == contents(whole + name)) << n;
    }
    EXPECT_NE(contents(whole + "/interpol10.png"), contents(whole + "/interpol19.png"));

    EXPECT_EQ(
        runTool(QStringList{"--animate", part} + keys + QStringList{"--frames", "20-26"}).status,
        2);
    EXPECT_EQ(
        runTool(QStringList{"--animate", part} + keys + QStringList{"--frames", "9-3"}).status, 2);
    EXPECT_EQ(runTool({"--frames", "1-2", drawing, dir.filePath("x.png")}).status, 2);
}

// The blur pass of a frame reads nothing of the frames made before it.
TEST_F(RenderToolCli, BlurredFrameAloneIsTheFrameOfAWholeRun)
{
    const QStringList keys = {write("k0.xml", drawingText(2)), write("k1.xml", drawingText(2, 60))};
    const QString whole = dir.filePath("whole"), part = dir.filePath("part");
    const QStringList common = {"--quiet", "--size", "48", "--frames-per-pair", "3", "--animate"};
    ASSERT_EQ(runTool(common + QStringList{whole} + keys).status, 0);
    ASSERT_EQ(runTool(common + QStringList{part} + keys + QStringList{"--frames", "2-2"}).status,
              0);
    EXPECT_EQ(QDir(part).entryList(QDir::Files), QStringList({"interpol2.png"}));
    EXPECT_TRUE(contents(part + "/interpol2.png") == contents(whole + "/interpol2.png"));
}

TEST_F(RenderToolCli, MismatchedKeyframesAreRefusedBeforeAnyFrame)
{
    const QString a = write("a.xml", drawingText(2)), b = write("b.xml", drawingText(2, 30)),
                  c = write("c.xml", drawingText(1));
    const QString frames = dir.filePath("frames");
    ToolRun run = runTool({"--size", "32", "--animate", frames, a, b, c});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("keyframes do not match: " + b + " has 2 curves and " + c + " 1"))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Processing frame")) << run.err.toStdString();
    EXPECT_TRUE(QDir(frames).entryList(QDir::Files).isEmpty());

    // Curve 1 of d has a second blur point.
    QByteArray longer = drawingText(2);
    const QByteArray blurPoint = "<best_scale value=\"4\" globalID=\"0\"/>";
    longer.insert(longer.lastIndexOf(blurPoint), "<best_scale value=\"2\" globalID=\"5\"/>");
    const QString d = write("d.xml", longer);
    run = runTool({"--size", "32", "--animate", frames, a, d});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.err.contains("curve 1 (counted from 0) has 1 blur point in " + a + " and 2 in " + d))
        << run.err.toStdString();
    EXPECT_TRUE(QDir(frames).entryList(QDir::Files).isEmpty());
}

} // namespace
