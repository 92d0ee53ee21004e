// The example bitmap reader: small bitmaps are scaled to the canvas with nearest sampling; large
// ones are scaled while decoded or, where their format would decode them whole, refused from
// their header alone; FIFOs and files that are no image are refused with their reason.
#include "child_process.h"
#include "example_bitmap.h"
#include "png_chunks.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace doc_test;

namespace {

// The header of an RGB PNG of side x side pixels, Adam7-interlaced, with one row of pixel data.
QByteArray interlacedPngHeader(quint32 side)
{
    QByteArray header;
    appendBigEndian(header, side);
    appendBigEndian(header, side);
    header += QByteArray("\x08\x02\x00\x00\x01", 5);
    QByteArray png = pngSignature();
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", qCompress(QByteArray(16, '\0')).mid(4)); // a zlib stream
    appendChunk(png, "IEND", QByteArray());
    return png;
}

class ExampleBitmap : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(ExampleBitmap, SmallBitmapIsScaledWithNearestSampling)
{
    // 4 x 2 pixels, each its own colour: every canvas pixel takes exactly one of them.
    QImage small(4, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            small.setPixel(x, y, qRgb(60 * x, 100 * y, 7));
    ASSERT_TRUE(small.save(dir.filePath("small.png")));
    QString reason;
    const QImage read = readExampleBitmap(dir.filePath("small.png"), 512, reason);
    ASSERT_EQ(read.size(), QSize(512, 512)) << reason.toStdString();
    EXPECT_EQ(read.pixel(0, 0), small.pixel(0, 0));
    EXPECT_EQ(read.pixel(127, 255), small.pixel(0, 0));
    EXPECT_EQ(read.pixel(128, 256), small.pixel(1, 1));
    EXPECT_EQ(read.pixel(511, 511), small.pixel(3, 1));
}

TEST_F(ExampleBitmap, LargeInterlacedPngIsRefusedFromItsHeader)
{
    // 20000 x 20000 interlaced: the toolkit would decode all 1.6 GB before scaling.
    QString reason;
    const QImage read =
        readExampleBitmap(write("big.png", interlacedPngHeader(20000)), 512, reason);
    EXPECT_TRUE(read.isNull());
    EXPECT_TRUE(reason.startsWith("20000 x 20000 pixels is too large for its format"))
        << reason.toStdString();

    // The same header at 1000 x 1000 is within the bound: decoding is tried (and fails, as the
    // file holds almost no pixels), so the refusal above came from the size alone.
    readExampleBitmap(write("small.png", interlacedPngHeader(1000)), 512, reason);
    EXPECT_FALSE(reason.contains("too large")) << reason.toStdString();
}

// A sequential JPEG of a few hundred bytes whose header claims 65000 x 65000 pixels: decoding
// it at 1/8 of its side would still make 66 million pixels (found by the bitmap fuzzer).
TEST_F(ExampleBitmap, HugeSequentialJpegIsRefusedFromItsHeader)
{
    QString reason;
    const QString tiny =
        QStringLiteral(TINTWEAVE_SOURCE_DIR) + "/tests/fuzz/bitmap_corpus/jpeg_huge_sequential.jpg";
    ASSERT_LT(QFile(tiny).size(), 4096);
    EXPECT_TRUE(readExampleBitmap(tiny, 512, reason).isNull());
    EXPECT_EQ(reason, "65000 x 65000 pixels is too large (at most 1073741824 pixels)");
}

TEST_F(ExampleBitmap, FifoAndNonImagesAreRefused)
{
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int status = inChildProcess(
        [&] {
            QString reason;
            const QImage read = readExampleBitmap(fifo, 512, reason);
            return read.isNull() && reason == "not a regular file (a FIFO)" ? 0 : 1;
        },
        20);
    EXPECT_EQ(status, 0) << (status == kHung ? "blocked on the FIFO" : "not refused");

    QString reason;
    EXPECT_TRUE(readExampleBitmap(write("text.png", "no image here"), 512, reason).isNull());
    EXPECT_EQ(reason, "not an image in a known format");
    EXPECT_TRUE(readExampleBitmap(dir.filePath("absent.png"), 512, reason).isNull());
    EXPECT_EQ(reason, "no such file");
}

} // namespace
