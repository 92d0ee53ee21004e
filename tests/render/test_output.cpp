// What the rest of the program sees of the solver: display into a named framebuffer, colour
// read-back, the overview and its pixel reader, the PNG export, and the command-line renderer.
#include "test_solver_support.h"

#include "child_program.h"
#include "gl_objects.h"
#include "overview_reader.h"
#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QDir>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace solvertest {
namespace {

const QColor kRed(210, 30, 40);
const QColor kBlue(20, 50, 220);

// A horizontal curve across the canvas, run to +x: its left side is the upper half (red).
Curve horizon() { return straightCurve({-1.2, 0.0}, {1.2, 0.0}, kRed, kBlue); }

class OutputTest : public SolverTest {
protected:
    // Reads a whole render target (rows bottom-up).
    static Picture readTarget(const RenderTarget& target)
    {
        Picture p{target.width(), target.height(),
                  std::vector<float>(size_t(target.width()) * target.height() * 4)};
        target.framebuffer.bind();
        glReadPixels(0, 0, p.width, p.height, GL_RGBA, GL_FLOAT, p.pixels.data());
        return p;
    }
};

TEST_F(OutputTest, DisplayDrawsIntoTheFramebufferItIsGiven)
{
    drawing.addCurve(horizon());
    solver->update();
    RenderTarget window;
    window.create(300, 200, floatNearest());

    solver->display().draw(300, 200, DisplayMode::Background, window.framebuffer.name());
    Picture shown = readTarget(window);
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 300; x += 7)
            ASSERT_LT(shown.distance(x, y, {0.5, 0.5, 0.5}), 1e-6) << "mode 4 is grey only";

    solver->display().draw(300, 200, DisplayMode::Picture, window.framebuffer.name());
    shown = readTarget(window);
    EXPECT_LT(shown.distance(150, 190, rgbOf(kRed)), 0.02);
    EXPECT_LT(shown.distance(150, 10, rgbOf(kBlue)), 0.02);
}

TEST_F(OutputTest, CoarseConstraintImageIsStretchedWithGreyWhereFree)
{
    drawing.addCurve(horizon());
    solver->update();
    for (int i = 0; i < 5; ++i)
        solver->display().coarserLevel();
    ASSERT_EQ(solver->display().level(), 5);
    RenderTarget window;
    window.create(512, 512, floatNearest());
    solver->display().draw(512, 512, DisplayMode::ColorConstraints, window.framebuffer.name());
    const Picture shown = readTarget(window);
    // 16 texels over 512 pixels: one texel is 32 pixels. The curve's strips lie in rows 7 and 8.
    EXPECT_LT(shown.distance(256, 100, {0.5, 0.5, 0.5}), 1e-6);
    EXPECT_LT(shown.distance(256, 400, {0.5, 0.5, 0.5}), 1e-6);
    EXPECT_LT(shown.distance(256, 8 * 32 + 16, rgbOf(kRed)), 0.01);
    EXPECT_LT(shown.distance(256, 7 * 32 + 16, rgbOf(kBlue)), 0.01);
}

TEST_F(OutputTest, ColorAtTruncatesThePictureAndClampsOutsideTheCanvas)
{
    drawing.addCurve(horizon());
    solver->update();
    const Picture colors = picture();
    const int x = 100, y = 400;
    const QColor c = solver->display().colorAt((x + 0.5) / kSize, (y + 0.5) / kSize);
    EXPECT_EQ(c.red(), int(colors.channel(x, y, 0) * 255.0f));
    EXPECT_EQ(c.green(), int(colors.channel(x, y, 1) * 255.0f));
    EXPECT_EQ(c.blue(), int(colors.channel(x, y, 2) * 255.0f));
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(solver->display().colorAt(-3.0, 7.0), solver->display().colorAt(0.0, 0.9999));
    EXPECT_EQ(solver->display().colorAt(std::nan(""), 0.0), solver->display().colorAt(0.0, 0.0));
}

TEST_F(OutputTest, OverviewReaderReadsTheOverviewAndRestoresTheFramebuffer)
{
    drawing.addCurve(horizon());
    solver->renderOverview();
    const std::vector<float> overview = solver->images().readOverview();
    OverviewReader reader(*solver);
    EXPECT_EQ(reader.width(), kSize);
    EXPECT_EQ(reader.height(), kSize);

    RenderTarget other;
    other.create(4, 4, floatNearest());
    other.framebuffer.bind();
    const auto top = reader.readPixel(200, 500);
    const auto outside = reader.readPixel(-20, 9000); // clamped to (0, 511)
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(GLuint(bound), other.framebuffer.name());
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(top[c], overview[(500 * kSize + 200) * 4 + c]);
        EXPECT_EQ(outside[c], overview[(511 * kSize + 0) * 4 + c]);
    }
    EXPECT_NEAR(top[0], kRed.redF(), 0.02);

    const OverviewReader none(0u, 8, 8);
    EXPECT_EQ(none.readPixel(1, 1)[0], 0.5f);
}

TEST_F(OutputTest, SaveImageWritesTheWholeCanvasUprightAndKeepsTheView)
{
    drawing.addCurve(horizon());
    solver->setView(View{2.5, Point(0.3, -0.1)});
    solver->settings().iterations = 4;
    solver->settings().blurEnabled = false;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("picture.png");
    ASSERT_TRUE(solver->saveImage(path));

    EXPECT_EQ(solver->currentView().zoom, 2.5);
    EXPECT_EQ(solver->currentView().pan.x, 0.3);
    EXPECT_EQ(solver->currentView().pan.y, -0.1);
    EXPECT_EQ(solver->settings().iterations, 4);
    EXPECT_FALSE(solver->settings().blurEnabled);

    QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(kSize, kSize));
    // Row 0 of the file is the top of the canvas: the curve's left (upper) side.
    const QColor top = image.pixelColor(256, 20);
    const QColor bottom = image.pixelColor(256, 490);
    EXPECT_NEAR(top.red(), kRed.red(), 3);
    EXPECT_NEAR(top.blue(), kRed.blue(), 3);
    EXPECT_NEAR(bottom.red(), kBlue.red(), 3);
    EXPECT_NEAR(bottom.blue(), kBlue.blue(), 3);
    EXPECT_EQ(top.alpha(), 255);
}

TEST_F(OutputTest, SaveImageToAnUnwritablePathFails)
{
    EXPECT_FALSE(solver->saveImage(QStringLiteral("/nonexistent-directory/picture.png")));
}

TEST(UninitialisedSolver, DoesNothingAndReportsNothingToShow)
{
    DiffusionSolver solver(512, 512, 3, 1.0, 0.0, 0.0);
    EXPECT_FALSE(solver.isReady());
    solver.update();
    solver.fullUpdate();
    EXPECT_EQ(solver.display().colorAt(0.5, 0.5), QColor(127, 127, 127));
    EXPECT_TRUE(solver.images().readImage(SolverImage::ColorSolution, 0).empty());
    EXPECT_FALSE(solver.saveImage(QStringLiteral("/tmp/never-written.png")));
}

// ---- the command-line renderer, run as a process

QString renderTool()
{
    // build/tests/render/render_tests -> build/tools/tintweave-render
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools/tintweave-render");
}

using ToolRun = test_support::ProgramRun;

ToolRun runTool(const QStringList& arguments)
{
    return test_support::runProgram(renderTool(), arguments);
}

class RenderToolTest : public SolverTest {
protected:
    void SetUp() override
    {
        SolverTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(QFileInfo(renderTool()).isExecutable())
            << "build the tintweave-render target: " << renderTool().toStdString();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
};

TEST_F(RenderToolTest, HelpDescribesTheUsage)
{
    const ToolRun run = runTool({QStringLiteral("--help")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains("DRAWING.xml OUT.png"));
}

TEST_F(RenderToolTest, MissingOrUnreadableDrawingFails)
{
    const QString png = dir.filePath("out.png");
    ToolRun run = runTool({dir.filePath("absent.xml"), png});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot read drawing"))) << run.err.toStdString();

    QFile garbage(dir.filePath("garbage.xml"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("<curve_set nb_curves=\"2\"><curve");
    garbage.close();
    run = runTool({garbage.fileName(), png});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot load drawing"))) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(png));

    EXPECT_EQ(runTool({png}).status, 2);
}

TEST_F(RenderToolTest, MissingShadersFail)
{
    drawing.addCurve(horizon());
    const QString xml = dir.filePath("drawing.xml");
    ASSERT_TRUE(saveXml(drawing, xml));
    const ToolRun run =
        runTool({QStringLiteral("--shaders"), dir.filePath("none"), xml, dir.filePath("out.png")});
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot open file"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("shader files missing or broken")));
}

TEST_F(RenderToolTest, WritesThePictureAsSaveImageMakesIt)
{
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, QColor(240, 240, 40), kRed, 6));
    const QString xml = dir.filePath("drawing.xml");
    ASSERT_TRUE(saveXml(drawing, xml));
    const QString cliPng = dir.filePath("cli.png");
    const ToolRun run = runTool({xml, cliPng});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();

    CurveSet loaded;
    ASSERT_TRUE(loadXml(loaded, xml));
    solver->setCurveSet(loaded);
    const QString ownPng = dir.filePath("own.png");
    ASSERT_TRUE(solver->saveImage(ownPng));

    const QImage cli(cliPng), own(ownPng);
    ASSERT_EQ(cli.size(), QSize(kSize, kSize));
    ASSERT_EQ(own.size(), cli.size());
    int worst = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const QRgb a = cli.pixel(x, y), b = own.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 1);
}

// Largest channel difference between two pictures of the same size.
int largestDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// --quality draft writes what the editor shows after an edit (no blur pass); the default,
// final, what its PNG export writes (blurred).
TEST_F(RenderToolTest, DraftIsThePictureAfterAnEditAndFinalTheExport)
{
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, QColor(240, 240, 40), kRed, 12));
    const QString xml = dir.filePath("drawing.xml");
    ASSERT_TRUE(saveXml(drawing, xml));
    const QString draftPng = dir.filePath("draft.png"), finalPng = dir.filePath("final.png");
    ASSERT_EQ(runTool({QStringLiteral("--quality"), QStringLiteral("draft"), xml, draftPng}).status,
              0);
    ASSERT_EQ(runTool({QStringLiteral("--quality"), QStringLiteral("final"), xml, finalPng}).status,
              0);
    EXPECT_EQ(runTool({QStringLiteral("--quality"), QStringLiteral("best"), xml, finalPng}).status,
              2);

    CurveSet loaded;
    ASSERT_TRUE(loadXml(loaded, xml));
    solver->setCurveSet(loaded);
    solver->settings().blurEnabled = false;
    solver->fullUpdate();
    const QString editorPng = dir.filePath("editor.png");
    ASSERT_TRUE(solver->savePicture(editorPng));

    const QImage draft(draftPng), final(finalPng), editor(editorPng);
    ASSERT_EQ(draft.size(), QSize(kSize, kSize));
    ASSERT_EQ(final.size(), draft.size());
    EXPECT_LE(largestDifference(draft, editor), 1);
    // The blurred curve softens the final picture and not the draft.
    EXPECT_GT(largestDifference(draft, final), 20);
}

// ---- sizes, animations and rendering without a display

ToolRun runTool(const QStringList& arguments, const QProcessEnvironment& environment)
{
    test_support::ProgramOptions options;
    options.environment = environment;
    options.timeoutMs = 240000;
    return test_support::runProgram(renderTool(), arguments, options);
}

// Three keyframes of one drawing: a circle that moves and changes colour, and a line that
// turns. No blur, so that frames at a small size stay quick.
CurveSet keyframe(int k)
{
    CurveSet set;
    const QColor inside(200 - 60 * k, 40 + 80 * k, 40);
    set.addCurve(circleCurve({-0.3 + 0.3 * k, 0.1}, 0.3 + 0.1 * k, inside, kBlue));
    set.addCurve(straightCurve({-0.9, -0.6 + 0.3 * k}, {0.9, -0.2}, QColor(240, 230, 40), kRed));
    return set;
}

TEST_F(RenderToolTest, AnimateWritesEveryFrameAndItsFirstIsTheFirstDrawing)
{
    QStringList keys;
    for (int k = 0; k < 3; ++k) {
        keys << dir.filePath(QStringLiteral("key%1.xml").arg(k));
        ASSERT_TRUE(saveXml(keyframe(k), keys.back()));
    }
    const QString frames = dir.filePath("frames/out"); // created, with its parent
    const ToolRun run = runTool(QStringList{"--size", "96", "--animate", frames} + keys);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    for (int i = 0; i < 52; ++i)
        ASSERT_TRUE(QFileInfo::exists(frames + QStringLiteral("/interpol%1.png").arg(i))) << i;
    EXPECT_FALSE(QFileInfo::exists(frames + "/interpol52.png"));
    EXPECT_EQ(run.err.count(QStringLiteral("Processing frame ")), 52);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Processing frame 51...")));

    const QString single = dir.filePath("single.png"), last = dir.filePath("last.png");
    ASSERT_EQ(runTool({"--size", "96", keys[0], single}).status, 0);
    ASSERT_EQ(runTool({"--size", "96", keys[2], last}).status, 0);
    const QImage first(frames + "/interpol0.png");
    ASSERT_EQ(first.size(), QSize(96, 96));
    EXPECT_EQ(largestDifference(first, QImage(single)), 0);
    EXPECT_EQ(largestDifference(QImage(frames + "/interpol51.png"), QImage(last)), 0);
    // The last frame of one pair and the first of the next show the same drawing.
    EXPECT_EQ(largestDifference(QImage(frames + "/interpol25.png"),
                                QImage(frames + "/interpol26.png")),
              0);
    // A frame inside a pair is the editor's blend of the two drawings.
    CurveSet blend;
    interpolateSets(keyframe(0), keyframe(1), blend, 10 / 25.0);
    const QString blendXml = dir.filePath("blend.xml"), blendPng = dir.filePath("blend.png");
    ASSERT_TRUE(saveXml(blend, blendXml));
    ASSERT_EQ(runTool({"--size", "96", blendXml, blendPng}).status, 0);
    EXPECT_LE(largestDifference(QImage(frames + "/interpol10.png"), QImage(blendPng)), 1);
    EXPECT_GT(largestDifference(QImage(frames + "/interpol10.png"), first), 20);
}

TEST_F(RenderToolTest, AnimateFramesPerPairAndQuiet)
{
    QStringList keys;
    for (int k = 0; k < 3; ++k) {
        keys << dir.filePath(QStringLiteral("key%1.xml").arg(k));
        ASSERT_TRUE(saveXml(keyframe(k), keys.back()));
    }
    const QString frames = dir.filePath("few");
    const ToolRun run = runTool(QStringList{"--quiet", "--size", "32", "--animate", frames} + keys
                                + QStringList{"--frames-per-pair", "3"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("Processing frame"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("done!"))) << run.err.toStdString();
    EXPECT_EQ(QDir(frames).entryList(QDir::Files).size(), 6);
    EXPECT_TRUE(QFileInfo::exists(frames + "/interpol5.png"));

    // Bad counts, a lone keyframe, an unreadable keyframe, a file where the folder should be.
    EXPECT_EQ(runTool(QStringList{"--animate", frames} + keys
                      + QStringList{"--frames-per-pair", "1"})
                  .status,
              2);
    EXPECT_EQ(runTool({"--animate", frames, keys[0]}).status, 2);
    EXPECT_EQ(runTool({"--frames-per-pair", "4", keys[0], dir.filePath("x.png")}).status, 2);
    EXPECT_EQ(runTool(QStringList{"--animate", frames, keys[0], dir.filePath("absent.xml")}).status,
              1);
    const ToolRun onFile = runTool(QStringList{"--animate", keys[1]} + keys);
    EXPECT_EQ(onFile.status, 5);
    EXPECT_TRUE(onFile.err.contains(QStringLiteral("not a folder"))) << onFile.err.toStdString();
}

TEST_F(RenderToolTest, SizeAndNoBlurOptions)
{
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, QColor(240, 240, 40), kRed, 12));
    const QString xml = dir.filePath("drawing.xml");
    ASSERT_TRUE(saveXml(drawing, xml));
    const QString large = dir.filePath("large.png"), sharp = dir.filePath("sharp.png");
    ASSERT_EQ(runTool({"--size", "1024", xml, large}).status, 0);
    EXPECT_EQ(QImage(large).size(), QSize(1024, 1024));
    for (const char* bad : {"15", "8193", "big", "1e3"})
        EXPECT_EQ(runTool({"--size", bad, xml, large}).status, 2) << bad;
    EXPECT_EQ(runTool({xml, large, "--size"}).status, 2);

    // --no-blur is the export's solve without the blur pass.
    ASSERT_EQ(runTool({"--no-blur", xml, sharp}).status, 0);
    CurveSet loaded;
    ASSERT_TRUE(loadXml(loaded, xml));
    solver->setCurveSet(loaded);
    PictureRequest request;
    request.blur = false;
    const QImage own = solver->renderImage(request);
    EXPECT_LE(largestDifference(QImage(sharp), own), 1);
    request.blur = true;
    EXPECT_GT(largestDifference(QImage(sharp), solver->renderImage(request)), 20);
}

// Without any X display the renderer draws through EGL's surfaceless platform: the picture is
// the one it writes under X.
TEST_F(RenderToolTest, WithoutADisplayWritesThePictureItWritesUnderX)
{
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, QColor(240, 240, 40), kRed, 6));
    const QString xml = dir.filePath("drawing.xml");
    ASSERT_TRUE(saveXml(drawing, xml));
    const QString underX = dir.filePath("x.png"), without = dir.filePath("none.png");
    ASSERT_EQ(runTool({"--size", "300", xml, underX}).status, 0);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("WAYLAND_DISPLAY");
    const ToolRun run = runTool({"--size", "300", xml, without}, environment);
    if (run.status == 3 && run.err.contains(QStringLiteral("no usable OpenGL")))
        GTEST_SKIP() << "no display-less OpenGL on this machine: " << run.err.toStdString();
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage a(underX), b(without);
    ASSERT_EQ(b.size(), QSize(300, 300));
    EXPECT_EQ(largestDifference(a, b), 0);
}

} // namespace
} // namespace solvertest
