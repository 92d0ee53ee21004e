// Atomic PNG writes: the picture arrives whole or not at all, an existing file survives every
// failure byte for byte, no temporary is left behind, and the error names the cause.
#include "picture_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A picture of random colours: it compresses badly, so its PNG is about 4 bytes a pixel.
QImage noise(int side)
{
    QImage image(side, side, QImage::Format_RGBA8888);
    std::mt19937 random(7);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, qRgba(random() & 255, random() & 255, random() & 255, 255));
    return image;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PictureFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Writes `text` as the file `name` in the folder and returns its path.
    QString oldFile(const QString& folder, const char* name, const QByteArray& text)
    {
        QFile file(folder + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }

    QTemporaryDir dir;
};

TEST_F(PictureFile, WritesThePictureAndReplacesAnOldFileWhole)
{
    const QImage picture = noise(37);
    const QString path = oldFile(dir.path(), "picture.png", QByteArray(100000, 'o'));
    QString error = "untouched";
    ASSERT_TRUE(writePngFile(picture, path, &error));
    EXPECT_EQ(error, "untouched");
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGBA8888), picture);
    EXPECT_LT(QFileInfo(path).size(), 100000) << "no byte of the old file remains";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture.png"});
}

TEST_F(PictureFile, MissingFolderIsNamed)
{
    QString error;
    const QString path = dir.filePath("absent/picture.png");
    EXPECT_FALSE(writePngFile(noise(8), path, &error));
    EXPECT_EQ(error, "the folder " + dir.filePath("absent") + " does not exist");
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(PictureFile, FolderAndFifoTargetsAreLeftAlone)
{
    QString error;
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    EXPECT_FALSE(writePngFile(noise(8), dir.filePath("taken.png"), &error));
    EXPECT_EQ(error, "it is a folder");
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.png")).isDir());

    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.png"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    // A reader is kept open so that a write into the FIFO could not block this test.
    const int reader = open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(writePngFile(noise(8), dir.filePath("pipe.png"), &error));
    EXPECT_EQ(error, "not a regular file");
    char byte;
    EXPECT_LE(read(reader, &byte, 1), 0) << "something was written into the FIFO";
    close(reader);
    struct stat info;
    ASSERT_EQ(stat(fifo.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(PictureFile, FileSizeLimitFailsTheWriteWithoutEndingTheProgram)
{
    const QString path = oldFile(dir.path(), "kept.png", "the previous picture");
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    // SIGXFSZ keeps its default action here (ending the process): the writer must ignore it.
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = writePngFile(noise(200), path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, "the file is larger than the file size limit allows");
    EXPECT_EQ(contents(path), "the previous picture");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.png"});
}

// A small file system of its own, mounted for one test (needs root; skipped elsewhere).
class SmallDisk : public PictureFile {
protected:
    void SetUp() override
    {
        PictureFile::SetUp();
        where = QFile::encodeName(dir.path());
        if (mount("tintweave-test", where.constData(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted)
            umount(where.constData());
    }
    QByteArray where;
    bool mounted = false;
};

TEST_F(SmallDisk, FullDiskIsNamedAndKeepsTheOldFile)
{
    const QString path = oldFile(dir.path(), "kept.png", QByteArray(20000, 'k'));
    QString error;
    EXPECT_FALSE(writePngFile(noise(200), path, &error)); // about 160 KB of PNG
    EXPECT_EQ(error, "the disk is full");
    EXPECT_EQ(contents(path), QByteArray(20000, 'k'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.png"});
    // The space is free again: a small picture fits.
    EXPECT_TRUE(writePngFile(noise(16), path, &error)) << error.toStdString();
}

TEST_F(SmallDisk, ReadOnlyFileSystemIsNamed)
{
    const QString path = oldFile(dir.path(), "kept.png", "old");
    ASSERT_EQ(mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    QString error;
    EXPECT_FALSE(writePngFile(noise(16), path, &error));
    EXPECT_EQ(error, "the file system is read-only");
    EXPECT_EQ(contents(path), "old");
}

} // namespace
