// The editor's file commands against hostile files: drawings that store huge image sizes, a
// bitmap that decodes to gigabytes, FIFOs chosen as drawing or bitmap, and shader files that do
// not build. The editor stays usable, its memory bounded, and it says what it refused.
#include "test_mouse_support.h"
#include "test_viewer_core_support.h"

#include "program_catalogue.h"
#include "png_chunks.h"
#include "shader_files.h"

#include "editor.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

namespace {

long peakMegabytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// An RGB PNG of width x height, its upper half `top` and its lower half `bottom`, compressed
// row by row so that the picture never exists in memory (20000 x 20000, 1.6 GB once decoded,
// takes about 5 MB).
QByteArray twoColourPng(int width, int height, QRgb top, QRgb bottom)
{
    QByteArray header;
    appendBigEndian(header, quint32(width));
    appendBigEndian(header, quint32(height));
    header +=
        QByteArray("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace

    z_stream z = {};
    deflateInit(&z, Z_BEST_SPEED);
    QByteArray compressed;
    QByteArray out(1 << 16, '\0');
    auto feed = [&](const QByteArray& row, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        z.avail_in = uInt(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            deflate(&z, flush);
            compressed.append(out.constData(), out.size() - int(z.avail_out));
        } while (z.avail_out == 0);
    };
    // Each row is given whole ("None" filter) where the colour starts, else as "Up": zero bytes.
    auto wholeRow = [width](QRgb c) {
        const char pixel[3] = {char(qRed(c)), char(qGreen(c)), char(qBlue(c))};
        return QByteArray(1, '\0') + QByteArray(pixel, 3).repeated(width);
    };
    const QByteArray same = QByteArray(1, '\2') + QByteArray(width * 3, '\0');
    for (int y = 0; y < height; ++y) {
        const bool first = y == 0 || y == height / 2;
        feed(first ? wholeRow(y < height / 2 ? top : bottom) : same, Z_NO_FLUSH);
    }
    feed(QByteArray(), Z_FINISH);
    deflateEnd(&z);

    QByteArray png = pngSignature();
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

class HostileFiles : public EditingViewer {
protected:
    QString write(const char* name, const QByteArray& text)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    QString fifo(const char* name)
    {
        const QString path = folder.filePath(name);
        EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }
    // A one-curve drawing stored at width x height pixels.
    QByteArray drawingOfSize(int width, int height)
    {
        return QString("<curve_set image_width=\"%1\" image_height=\"%2\"><curve>"
                       "<control_points_set><control_point x=\"0\" y=\"0\"/>"
                       "<control_point x=\"%3\" y=\"%4\"/><control_point x=\"%5\" y=\"%6\"/>"
                       "<control_point x=\"%2\" y=\"%1\"/></control_points_set></curve>"
                       "</curve_set>")
            .arg(width)
            .arg(height)
            .arg(height / 3)
            .arg(width / 3)
            .arg(2 * height / 3)
            .arg(2 * width / 3)
            .toUtf8();
    }
    QTemporaryDir folder;
};

TEST_F(HostileFiles, HugeStoredSizesKeepTheWindowWithinTheScreen)
{
    const QSize room = viewer->screen()->availableGeometry().size();
    const long before = peakMegabytes();
    for (const QSize stored :
         {QSize(16384, 16384), QSize(32768, 32768), QSize(65536, 65536), QSize(65536, 300)}) {
        SCOPED_TRACE(stored.width());
        dialogs->openName = write("huge.xml", drawingOfSize(stored.width(), stored.height()));
        viewer->drawing().open();
        ASSERT_EQ(doc().nb_curves, 1);
        // The stored size keeps its meaning for coordinates: the last point is the far corner.
        EXPECT_EQ(doc().image_width, stored.width());
        EXPECT_TRUE(near(doc().curve(0).controlPoint(3), Point(1.0, -1.0), 1e-9));
        EXPECT_EQ(viewer->size(), stored.boundedTo(room));
        const QImage frame = viewer->grabFramebuffer();
        EXPECT_EQ(frame.size(), viewer->size() * viewer->devicePixelRatioF());
    }
    EXPECT_LT(peakMegabytes() - before, 300);

    // A stored size the screen holds is taken as it is.
    dialogs->openName = write("small.xml", drawingOfSize(400, 300));
    viewer->drawing().open();
    EXPECT_EQ(viewer->size(), QSize(400, 300));
}

TEST_F(HostileFiles, BitmapBombIsScaledWhileDecoded)
{
    const QRgb red = qRgb(220, 30, 20), blue = qRgb(20, 40, 210);
    dialogs->openName = write("bomb.png", twoColourPng(20000, 20000, red, blue));
    ASSERT_LT(QFileInfo(dialogs->openName).size(), 16 << 20);
    const long before = peakMegabytes();
    commands->bitmap.loadExampleImg();
    EXPECT_LT(peakMegabytes() - before, 300) << "the bitmap was decoded whole";
    ASSERT_TRUE(commands->bitmap.isExampleImgLoaded());
    const QImage& example = commands->bitmap.exampleImage();
    ASSERT_EQ(example.size(), QSize(512, 512));
    EXPECT_EQ(example.pixel(256, 100) & 0xffffff, red & 0xffffff);
    EXPECT_EQ(example.pixel(256, 400) & 0xffffff, blue & 0xffffff);
    EXPECT_EQ(commands->bitmap.contourImage().size(), QSize(512, 512));
}

TEST_F(HostileFiles, HugeBitmapOfAFormatThatCannotScaleIsRefused)
{
    // A BMP header of 16000 x 16000 pixels at 24 bits (768 MB once decoded), without its pixels.
    QByteArray bmp("BM", 2);
    auto little = [&bmp](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += char((v >> (8 * i)) & 0xff);
    };
    const quint32 side = 16000, data = side * side * 3;
    little(54 + data, 4);
    little(0, 4);
    little(54, 4);
    little(40, 4);
    little(side, 4);
    little(side, 4);
    little(1, 2);
    little(24, 2);
    little(0, 4);
    little(data, 4);
    little(2835, 4);
    little(2835, 4);
    little(0, 4);
    little(0, 4);
    dialogs->openName = write("huge.bmp", bmp + QByteArray(1024, '\0'));
    ::testing::internal::CaptureStderr();
    commands->bitmap.loadExampleImg();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(commands->bitmap.isExampleImgLoaded());
    EXPECT_NE(err.find("16000 x 16000 pixels is too large"), std::string::npos) << err;
}

TEST_F(HostileFiles, FifosAreRefusedWithoutBlocking)
{
    addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.2)));
    dialogs->openName = fifo("drawing.xml");
    ::testing::internal::CaptureStderr();
    viewer->drawing().open();
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(doc().nb_curves, 1);
    EXPECT_NE(err.find("not a regular file (a FIFO)"), std::string::npos) << err;

    dialogs->openName = fifo("bitmap.png");
    ::testing::internal::CaptureStderr();
    commands->bitmap.loadExampleImg();
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(commands->bitmap.isExampleImgLoaded());
    EXPECT_NE(err.find("not a regular file (a FIFO)"), std::string::npos) << err;
}

TEST_F(HostileFiles, FailedPictureSaveNamesTheCauseOnScreen)
{
    addCurve(makeLine(Point(-0.5, 0.0), Point(0.5, 0.2)));
    dialogs->saveName = folder.filePath("absent/picture.png");
    commands->exports.savePng();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_EQ(dialogs->messages[0], "Save as Png: Could not save the picture to "
                                        + dialogs->saveName + ": the folder "
                                        + folder.filePath("absent") + " does not exist");
}

// One shader file of a complete set left empty: its program cannot build.
TEST(EditorWithAnEmptyShader, SaysSoAndRefusesPictures)
{
    QTemporaryDir workingDir;
    ASSERT_TRUE(workingDir.isValid());
    ASSERT_TRUE(QDir(workingDir.path()).mkdir("shaders"));
    ASSERT_TRUE(copyShaderTree(workingDir.filePath("shaders")));
    QFile empty(workingDir.filePath(QStringLiteral("shaders/")
                                    + programEntry(ProgramId::MgSmoothFinest).fragment));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    QFile old(workingDir.filePath("picture.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the previous picture");
    old.close();

    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    {
        Editor editor;
        auto answers = std::make_unique<AnsweringDialogs>();
        AnsweringDialogs* dialogs = answers.get();
        editor.viewer.setDialogs(std::move(answers));
        editor.show();
        EXPECT_TRUE(showAndInitialise(editor.viewer));
        ASSERT_EQ(dialogs->messages.size(), 1);
        EXPECT_TRUE(dialogs->messages[0].startsWith("Shader programs: Some shader programs could "
                                                    "not be built from the files in shaders"))
            << dialogs->messages[0].toStdString();

        dialogs->saveName = workingDir.filePath("picture.png");
        editor.commands.exports.savePng();
        ASSERT_EQ(dialogs->messages.size(), 2);
        EXPECT_TRUE(dialogs->messages[1].startsWith("Save as Png: Could not save the picture"));
        QFile kept(dialogs->saveName);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("the previous picture"));

        dialogs->openNames =
            QStringList{testDataPath("vertical_split.xml"), testDataPath("vertical_split.xml")};
        editor.commands.exports.interpolate();
        EXPECT_EQ(dialogs->messages.size(), 3);
        EXPECT_FALSE(QFileInfo::exists(workingDir.filePath("output/interpol0.png")));
        EXPECT_TRUE(editor.viewer.isVisible());
    }
    QDir::setCurrent(previousDir);
}

} // namespace
