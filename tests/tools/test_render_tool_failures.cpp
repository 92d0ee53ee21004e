// tintweave-render, run as a process, against what a hostile user hands it: a FIFO as drawing,
// shader or picture, a folder as picture, the file size limit during the write, and a display
// that cannot be opened. Each ends at once with its documented exit status and a message naming
// the cause, and leaves an existing picture as it was.
#include "child_program.h"
#include "program_catalogue.h"
#include "shader_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const char kDrawing[] =
    "<curve_set image_width=\"512\" image_height=\"512\"><curve><control_points_set>"
    "<control_point x=\"100\" y=\"50\"/><control_point x=\"200\" y=\"200\"/>"
    "<control_point x=\"300\" y=\"300\"/><control_point x=\"400\" y=\"460\"/>"
    "</control_points_set><left_colors_set><left_color B=\"230\" G=\"20\" R=\"20\" "
    "globalID=\"0\"/></left_colors_set><right_colors_set><right_color B=\"20\" G=\"20\" "
    "R=\"230\" globalID=\"0\"/></right_colors_set></curve></curve_set>";

QString renderTool()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools/tintweave-render");
}

// Status -1: did not end within the time given, -2: ended by a signal.
using ToolResult = test_support::ProgramRun;

// Runs `program` with `arguments` (the tool itself, or a wrapper that starts it), allowing it
// 60 seconds: a run that blocks counts as a failure, not a hung test.
ToolResult run(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    test_support::ProgramOptions options;
    options.environment = environment;
    options.timeoutMs = 60000;
    return test_support::runProgram(program, arguments, options);
}

class RenderToolFailures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(renderTool()).isExecutable()) << renderTool().toStdString();
        ASSERT_TRUE(dir.isValid());
        drawing = write("drawing.xml", kDrawing);
    }
    QString write(const char* name, const QByteArray& text)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString fifo(const QString& path)
    {
        EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }
    static bool isFifo(const QString& path)
    {
        struct stat info;
        return stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
    }
    QTemporaryDir dir;
    QString drawing;
};

TEST_F(RenderToolFailures, FileSizeLimitExitsFiveAndKeepsTheOldPicture)
{
    const QString picture = write("kept.png", QByteArray(9000, 'p'));
    // Mesa's shader cache, empty in the tool's fresh home, would be the first file to pass the
    // limit (its index is larger): this test is about the picture's write.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MESA_SHADER_CACHE_DISABLE", "true");
    const ToolResult r =
        run("prlimit", {"--fsize=4096", renderTool(), drawing, picture}, environment);
    EXPECT_EQ(r.status, 5) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("tintweave-render: cannot write " + picture
                               + ": the file is larger than the file size limit allows"))
        << r.err.toStdString();
    EXPECT_EQ(contents(picture), QByteArray(9000, 'p'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"drawing.xml", "kept.png"}));
}

TEST_F(RenderToolFailures, UnreachableDisplayWithoutEglExitsThree)
{
    int number = 600;
    while (QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(number)))
        ++number;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString(":%1").arg(number));
    environment.remove("QT_QPA_PLATFORM");
    // Nor any display-less OpenGL: EGL finds no vendor library.
    environment.insert("__EGL_VENDOR_LIBRARY_FILENAMES", dir.filePath("no-such-vendor.json"));
    const ToolResult r = run(renderTool(), {drawing, dir.filePath("out.png")}, environment);
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_EQ(r.err, QString("tintweave-render: no usable OpenGL: cannot open display :%1 (run "
                             "under xvfb-run -a)\n")
                         .arg(number));
}

TEST_F(RenderToolFailures, FifoOrDeviceAsDrawingIsRefused)
{
    const QString pipe = fifo(dir.filePath("pipe.xml"));
    ToolResult r = run(renderTool(), {pipe, dir.filePath("out.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot read drawing " + pipe + ": not a regular file"))
        << r.err.toStdString();
    r = run(renderTool(), {"/dev/zero", dir.filePath("out.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("not a regular file (a device)")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.png")));
}

TEST_F(RenderToolFailures, FifoAsShaderIsRefused)
{
    const QString shaders = dir.filePath("shaders");
    ASSERT_TRUE(QDir().mkpath(shaders));
    ASSERT_TRUE(copyShaderTree(shaders));
    const QString smooth = shaders + "/" + programEntry(ProgramId::MgSmoothFinest).fragment;
    QFile::remove(smooth);
    fifo(smooth);
    const ToolResult r =
        run(renderTool(), {"--shaders", shaders, drawing, dir.filePath("out.png")});
    EXPECT_EQ(r.status, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Cannot open file " + smooth + ": not a regular file (a FIFO)"))
        << r.err.toStdString();
    EXPECT_TRUE(isFifo(smooth));
}

TEST_F(RenderToolFailures, FifoOrFolderAsPictureIsLeftAlone)
{
    const QString pipe = fifo(dir.filePath("pipe.png"));
    ToolResult r = run(renderTool(), {drawing, pipe});
    EXPECT_EQ(r.status, 5);
    EXPECT_TRUE(r.err.contains("cannot write " + pipe + ": not a regular file"))
        << r.err.toStdString();
    EXPECT_TRUE(isFifo(pipe));

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    r = run(renderTool(), {drawing, dir.filePath("folder.png")});
    EXPECT_EQ(r.status, 5);
    EXPECT_TRUE(r.err.contains("it is a folder")) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.png")).isDir());
}

TEST_F(RenderToolFailures, MissingFolderIsNamed)
{
    const ToolResult r = run(renderTool(), {drawing, dir.filePath("absent/out.png")});
    EXPECT_EQ(r.status, 5);
    EXPECT_TRUE(r.err.contains("the folder " + dir.filePath("absent") + " does not exist"))
        << r.err.toStdString();
}

} // namespace
