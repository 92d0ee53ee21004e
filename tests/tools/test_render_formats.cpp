// tintweave-render writes the format its output's extension names, or --format's; an unknown
// extension is refused in one line before anything is rendered; a PDF is vectors on a page of
// --size points.
#include "tool_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ToolRun render(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    return runProgram(QStringLiteral("tintweave-render"), arguments, input);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The format the first bytes of a file show.
QString magic(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpg";
    if (bytes.startsWith("BM"))
        return "bmp";
    if (bytes.startsWith("%PDF-"))
        return "pdf";
    if (bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4)))
        return "tif";
    return "unknown";
}

class RenderFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile file(dir.filePath("drawing.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(crossingCurvesDrawing());
        drawing = file.fileName();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    QString drawing;
};

TEST_F(RenderFormats, ExtensionNamesTheFormatAndLosslessOnesHoldThePngPicture)
{
    for (const char* name : {"a.png", "a.jpg", "a.JPEG", "a.bmp", "a.tif", "a.pdf"}) {
        const ToolRun run = render({"--size", "128", drawing, path(name)});
        ASSERT_EQ(run.status, 0) << name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        const QString suffix = QFileInfo(name).suffix().toLower();
        EXPECT_EQ(magic(contents(path(name))), suffix == "jpeg" ? "jpg" : suffix) << name;
    }
    const QImage png(path("a.png"));
    ASSERT_EQ(png.size(), QSize(128, 128));
    for (const char* name : {"a.bmp", "a.tif"})
        EXPECT_EQ(QImage(path(name)).convertToFormat(QImage::Format_RGB32),
                  png.convertToFormat(QImage::Format_RGB32))
            << name;
    // JPEG is lossy: close on average.
    const QImage jpg = QImage(path("a.jpg")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(jpg.size(), png.size());
    double sum = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            sum += std::abs(qGreen(jpg.pixel(x, y)) - qGreen(png.pixel(x, y)));
    EXPECT_LT(sum / (128 * 128), 4.0);
}

TEST_F(RenderFormats, FormatOptionOverridesTheExtensionAndStdoutStaysPng)
{
    ToolRun run = render({"--size", "64", "--format", "jpg", drawing, path("really.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(magic(contents(path("really.png"))), "jpg");

    run = render({"--size", "64", drawing, "-"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(magic(run.out), "png");
    run = render({"--format", "PDF", "-", "-"}, crossingCurvesDrawing());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(magic(run.out), "pdf");
    EXPECT_TRUE(run.out.trimmed().endsWith("%%EOF"));
}

TEST_F(RenderFormats, UnknownFormatIsOneLineAndExitTwoBeforeAnyWrite)
{
    for (const char* name : {"a.xyz", "picture", "a.png.txt"}) {
        const ToolRun run = render({drawing, path(name)});
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("tintweave-render: cannot tell the format of " + path(name)))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(".png, .pdf")) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path(name))) << name;
    }
    ToolRun run = render({"--format", "doc", drawing, path("a.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.startsWith("tintweave-render: --format needs one of png, pdf"))
        << run.err.toStdString();
    run = render({"--tolerance", "2", drawing, path("a.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tintweave-render: --tolerance goes with PDF output (see --help)\n");
    run = render({"--tolerance", "0.1", drawing, path("a.pdf")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files) == QStringList({"drawing.xml"}));
}

TEST_F(RenderFormats, PdfPageHasTheSizeInPointsAndVerboseGivesBytesAndTriangles)
{
    const ToolRun run = render({"--verbose", "--size", "300", drawing, path("a.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const qint64 bytes = QFileInfo(path("a.pdf")).size();
    EXPECT_TRUE(
        run.err.contains(QString("tintweave-render: %1: %2 bytes, ").arg(path("a.pdf")).arg(bytes)))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(" triangles\n"));
    QProcess info;
    info.start("pdfinfo", {path("a.pdf")});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_TRUE(info.readAllStandardOutput().simplified().contains("Page size: 300 x 300 pts"));
}

} // namespace
