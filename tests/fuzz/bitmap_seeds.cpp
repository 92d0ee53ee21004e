// Writes the starting corpus of the example bitmap's fuzzer into a folder: small PNG, JPEG and
// BMP files that decode (ok_*), and damaged ones: cut short, bytes overwritten, sizes in their
// headers that do not match their data (huge, zero), interlaced or progressive where the size
// asks for a scaled decode, chunk and segment lengths running past the end.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>

#include <zlib.h>

namespace {

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x ^ y) & 255));
    QPainter painter(&image);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRect(width / 4, height / 4, width / 2, height / 2));
    return image;
}

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

void putBig32(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

// A PNG whose header says width x height (and interlace), its checksum made right again.
QByteArray pngWithHeader(QByteArray png, quint32 width, quint32 height, char interlace)
{
    putBig32(png, 16, width);
    putBig32(png, 20, height);
    png[28] = interlace;
    const auto* chunk = reinterpret_cast<const Bytef*>(png.constData() + 12);
    putBig32(png, 29, quint32(crc32(0, chunk, 17)));
    return png;
}

// A JPEG whose frame header says width x height.
QByteArray jpegWithSize(QByteArray jpeg, int width, int height)
{
    for (int at = 2; at + 9 < jpeg.size(); ++at) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (uchar(jpeg[at]) == 0xff && (marker == 0xc0 || marker == 0xc2)) {
            jpeg[at + 5] = char(height >> 8);
            jpeg[at + 6] = char(height);
            jpeg[at + 7] = char(width >> 8);
            jpeg[at + 8] = char(width);
            break;
        }
    }
    return jpeg;
}

QByteArray overwritten(QByteArray bytes, int from, int count, char value)
{
    for (int i = from; i < from + count && i < bytes.size(); ++i)
        bytes[i] = value;
    return bytes;
}

bool save(const QDir& folder, const char* name, const QByteArray& bytes)
{
    QFile file(folder.filePath(QString::fromLatin1(name)));
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", name);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QImage image = picture(40, 30);
    const QByteArray png = encoded(image, "png");
    const QByteArray jpeg = encoded(image, "jpeg");
    const QByteArray progressive = encoded(image, "jpeg", true);
    bool ok = true;
    ok &= save(folder, "ok_small.png", png);
    ok &= save(folder, "ok_small.jpg", jpeg);
    ok &= save(folder, "ok_progressive.jpg", progressive);
    ok &= save(folder, "ok_small.bmp", encoded(image, "bmp"));
    ok &= save(folder, "ok_grey.png",
               encoded(image.convertToFormat(QImage::Format_Grayscale8), "png"));
    ok &= save(folder, "ok_palette.png",
               encoded(image.convertToFormat(QImage::Format_Indexed8), "png"));

    ok &= save(folder, "cut_png_header.png", png.left(24));
    ok &= save(folder, "cut_png_data.png", png.left(png.size() / 2));
    ok &= save(folder, "cut_jpeg_header.jpg", jpeg.left(40));
    ok &= save(folder, "cut_jpeg_scan.jpg", jpeg.left(jpeg.size() * 2 / 3));
    ok &= save(folder, "cut_progressive.jpg", progressive.left(progressive.size() / 2));
    ok &= save(folder, "noise_png_data.png", overwritten(png, png.size() / 2, 40, '\x5a'));
    ok &= save(folder, "noise_jpeg_scan.jpg", overwritten(jpeg, jpeg.size() / 2, 40, '\xa5'));
    ok &= save(folder, "png_huge_sequential.png", pngWithHeader(png, 100000, 100000, 0));
    ok &= save(folder, "png_huge_interlaced.png", pngWithHeader(png, 100000, 100000, 1));
    ok &= save(folder, "png_wide.png", pngWithHeader(png, 1 << 24, 1, 0));
    ok &= save(folder, "png_zero.png", pngWithHeader(png, 0, 30, 0));
    ok &= save(folder, "png_bad_checksum.png", overwritten(png, 29, 4, '\0'));
    ok &= save(folder, "png_chunk_past_end.png", overwritten(png, 33, 4, '\x7f'));
    ok &= save(folder, "jpeg_huge_sequential.jpg", jpegWithSize(jpeg, 65000, 65000));
    ok &= save(folder, "jpeg_huge_progressive.jpg", jpegWithSize(progressive, 65000, 65000));
    ok &= save(folder, "jpeg_zero.jpg", jpegWithSize(jpeg, 0, 0));
    ok &= save(folder, "jpeg_segment_past_end.jpg", overwritten(jpeg, 4, 2, '\xff'));
    ok &= save(folder, "bmp_cut.bmp", encoded(image, "bmp").left(80));
    return ok ? 0 : 1;
}
