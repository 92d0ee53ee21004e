// Hostile drawings: an entity bomb, an attribute flood, a FIFO, an oversized file, a reader short
// of memory, and saves that fail on a full disk or at the file size limit. Each is refused with
// a message, quickly and within bounded memory, and leaves the drawing and the files as they were.
#include "curve_set.h"
#include "curve_set_xml.h"
#include "child_process.h"
#include "test_curve_set_helpers.h"
#include "test_xml_helpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace doc_test;

namespace {

// A document whose internal entity `e` (`entitySize` characters) is used `uses` times in the
// value of an attribute that the reader ignores.
QByteArray entityDocument(int entitySize, int uses)
{
    return QByteArray("<!DOCTYPE curve_set [\n<!ENTITY e \"") + QByteArray(entitySize, 'x')
           + "\">\n]>\n<curve_set image_width=\"64\" image_height=\"64\">\n<curve lifetime=\""
           + QByteArray("&e;").repeated(uses) + "\"/>\n</curve_set>\n";
}

// A curve set whose root carries `count` attributes beside its two sizes.
QByteArray attributeFlood(int count)
{
    QByteArray text = "<curve_set image_width=\"64\" image_height=\"64\"";
    for (int i = 0; i < count; ++i)
        text += " a" + QByteArray::number(i) + "=\"1\"";
    return text + "/>\n";
}

// The reader on an in-memory document.
bool readText(const QByteArray& text, CurveSet& set, QString& reason)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readCurveSetXml(buffer, set, reason);
}

// Peak resident memory of this process, in megabytes.
long peakMegabytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

class HostileDrawings : public XmlFiles {
protected:
    // A drawing in use, which a refused load must leave as it is.
    CurveSet busy() const
    {
        CurveSet set = ladder(2);
        set.image_width = 300;
        set.image_height = 200;
        return set;
    }
};

TEST_F(HostileDrawings, EntityBombIsRefusedBeforeItExpands)
{
    // 200,000 uses of a 4000-character entity: 800 million characters once expanded.
    const QString file = write("bomb.xml", entityDocument(4000, 200000));
    ASSERT_LT(QFileInfo(file).size(), 1 << 20);
    CurveSet set = busy();
    const long before = peakMegabytes();
    EXPECT_FALSE(loadCaptured(set, file));
    EXPECT_LT(peakMegabytes() - before, 100) << "the expansion was built";
    EXPECT_NE(err_.find("entities expand to more than"), std::string::npos) << err_;
    EXPECT_EQ(set.nb_curves, 2);
    EXPECT_EQ(set.image_width, 300);
}

TEST_F(HostileDrawings, NestedEntitiesCountWithTheirExpansion)
{
    // Each level multiplies by 16: the innermost 4-character text reaches 16^6 * 4 = 67 million
    // characters with a single reference.
    QByteArray dtd = "<!DOCTYPE curve_set [\n<!ENTITY l0 \"abcd\">\n";
    for (int level = 1; level <= 6; ++level)
        dtd += "<!ENTITY l" + QByteArray::number(level) + " \""
               + ("&l" + QByteArray::number(level - 1) + ";").repeated(16) + "\">\n";
    CurveSet set;
    QString reason;
    EXPECT_FALSE(readText(dtd
                              + "]>\n<curve_set image_width=\"8\" image_height=\"8\" "
                                "nb_curves=\"&l6;\"/>\n",
                          set, reason));
    EXPECT_TRUE(reason.contains("entities expand")) << reason.toStdString();

    // A cycle is refused too (the parser itself would stop it; the bound must not loop).
    EXPECT_FALSE(readText("<!DOCTYPE c [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]>"
                          "<curve_set image_width=\"8\" image_height=\"8\" nb_curves=\"&a;\"/>",
                          set, reason));
}

TEST_F(HostileDrawings, ModestEntitiesStillLoad)
{
    // A size given through an entity, and a 4000-character entity used 1000 times (4 million
    // characters, under the bound).
    CurveSet set;
    QString reason;
    ASSERT_TRUE(readText("<!DOCTYPE c [<!ENTITY side \"320\">]>"
                         "<curve_set image_width=\"&side;\" image_height=\"&side;\"/>",
                         set, reason))
        << reason.toStdString();
    EXPECT_EQ(set.image_width, 320);
    CurveSet other;
    EXPECT_TRUE(readText(entityDocument(4000, 1000), other, reason)) << reason.toStdString();
}

TEST_F(HostileDrawings, AttributeFloodIsRefusedAtOnce)
{
    // 100,000 attributes on one element (1.1 MB): the parser's duplicate check alone would
    // take minutes. The hang guard is this test's own: the load runs in a child given 60 s.
    const QString file = write("flood.xml", attributeFlood(100000));
    const int status = inChildProcess(
        [&] {
            CurveSet set;
            QString reason;
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            const bool loaded = readCurveSetXml(f, set, reason);
            return !loaded && reason.contains("more than 256 attributes") ? 0 : 1;
        },
        60);
    EXPECT_EQ(status, 0) << (status == kHung ? "the load did not finish" : "not refused");
}

TEST_F(HostileDrawings, ManyAttributesBelowTheBoundLoad)
{
    // Unknown attributes are ignored, up to the bound; markup in comments and in the document
    // type does not count.
    QByteArray text = "<!DOCTYPE c [<!-- \" ' --><!ENTITY q \"a=1 b=2 c=3\">]>\n<!-- "
                      + QByteArray("x=\"1\" ").repeated(1000) + "-->\n" + attributeFlood(250);
    CurveSet set;
    QString reason;
    EXPECT_TRUE(readText(text, set, reason)) << reason.toStdString();
    EXPECT_FALSE(readText(attributeFlood(257), set, reason));
    EXPECT_TRUE(reason.contains("attributes")) << reason.toStdString();
}

TEST_F(HostileDrawings, FifoIsRefusedWithoutBlocking)
{
    const QString fifo = path("drawing.xml");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int status = inChildProcess(
        [&] {
            CurveSet set = busy();
            ::testing::internal::CaptureStderr();
            const bool loaded = loadXml(set, fifo);
            const std::string err = ::testing::internal::GetCapturedStderr();
            const bool said = err.find("not a regular file") != std::string::npos;
            return !loaded && said && set.nb_curves == 2 ? 0 : 1;
        },
        20);
    EXPECT_EQ(status, 0) << (status == kHung ? "the load blocked on the FIFO" : "not refused");
}

TEST_F(HostileDrawings, DeviceIsRefused)
{
    CurveSet set = busy();
    EXPECT_FALSE(loadCaptured(set, "/dev/zero"));
    EXPECT_NE(err_.find("not a regular file (a device)"), std::string::npos) << err_;
    EXPECT_EQ(set.nb_curves, 2);
}

TEST_F(HostileDrawings, OversizedFileIsRefusedWithoutBeingRead)
{
    // A sparse file of 65 MiB, over the 64 MiB bound.
    const QString file = path("huge.xml");
    QFile huge(file);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(65) << 20));
    huge.close();
    CurveSet set = busy();
    const long before = peakMegabytes();
    EXPECT_FALSE(loadCaptured(set, file));
    EXPECT_LT(peakMegabytes() - before, 32);
    EXPECT_NE(err_.find("larger than 64 MiB"), std::string::npos) << err_;
}

TEST_F(HostileDrawings, AllocationFailureIsARefusalNotAnAbort)
{
    // A valid 20 MB drawing read with the address space nearly exhausted.
    QByteArray text =
        "<curve_set image_width=\"512\" image_height=\"512\"><curve><control_points_set>";
    text += QByteArray("<control_point x=\"12.5\" y=\"100.25\"/>\n").repeated(500000);
    text += "</control_points_set></curve></curve_set>";
    const int status = inChildProcess(
        [&] {
            struct rlimit limit;
            getrlimit(RLIMIT_AS, &limit);
            // Current use plus 48 MB: the text alone, once decoded, needs 40.
            QFile statm("/proc/self/statm");
            statm.open(QIODevice::ReadOnly);
            const long pages = statm.readAll().split(' ').value(0).toLong();
            limit.rlim_cur = rlim_t(pages) * sysconf(_SC_PAGESIZE) + (48 << 20);
            setrlimit(RLIMIT_AS, &limit);
            CurveSet set;
            QString reason;
            const bool loaded = readText(text, set, reason);
            return !loaded && reason == "not enough memory to read it" ? 0 : 1;
        },
        60);
    EXPECT_EQ(status, 0) << (status == kDied ? "the reader aborted" : "not refused as such");
}

// ---- saves that fail part-way

TEST_F(HostileDrawings, SaveAtTheFileSizeLimitNamesTheLimit)
{
    const QString file = path("kept.xml");
    ASSERT_TRUE(saveXml(busy(), file));
    const QByteArray previous = read(file);
    const int status = inChildProcess(
        [&] {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = {64 * 1024, 64 * 1024};
            setrlimit(RLIMIT_FSIZE, &small);
            ::testing::internal::CaptureStderr();
            const bool saved = saveXml(ladder(2000), file);
            const std::string err = ::testing::internal::GetCapturedStderr();
            return !saved && err.find("file size limit") != std::string::npos ? 0 : 1;
        },
        60);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read(file), previous);
}

TEST_F(HostileDrawings, SaveOnAFullDiskSaysSoAndKeepsThePreviousFile)
{
    // A 256 KB file system of its own (needs root; skipped elsewhere).
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (mount("tintweave-test", where.constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    const QString file = mountPoint.filePath("kept.xml");
    const bool first = saveXml(busy(), file);
    const QByteArray previous = read(file);
    const CurveSet big = ladder(3000);
    ::testing::internal::CaptureStderr();
    const bool saved = saveXml(big, file);
    const std::string err = ::testing::internal::GetCapturedStderr();
    const QByteArray after = read(file);
    const QStringList left = QDir(mountPoint.path()).entryList(QDir::Files);
    umount(where.constData());

    ASSERT_GT(writeCurveSetXml(big).size(), 256 * 1024);
    EXPECT_TRUE(first);
    EXPECT_FALSE(saved);
    EXPECT_EQ(after, previous);
    EXPECT_NE(err.find("the disk is full"), std::string::npos) << err;
    EXPECT_EQ(err.find("Unknown error"), std::string::npos) << err;
    EXPECT_GT(previous.size(), 100);
    EXPECT_EQ(left, QStringList{"kept.xml"}) << "no temporary left";
}

} // namespace
