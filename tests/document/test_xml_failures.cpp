#include "curve_set.h"
#include "test_curve_set_helpers.h"
#include "test_xml_helpers.h"
#include "curve_set_xml.h"
#include "clipboard.h"
#include "curve_set_selection.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>

using namespace doc_test;

namespace {

// Everything a load could disturb, for comparing a set before and after a failed load.
struct Snapshot {
    explicit Snapshot(const CurveSet& s)
        : nb_curves(s.nb_curves), current_curve(s.current_curve), copied_blur(s.copied_blur),
          image_width(s.image_width), image_height(s.image_height), selection(s.selection),
          clipboard_size(s.clipboard.size()), left(s.current_left_color)
    {
        for (const Curve& c : s.curves) {
            points.append(c.control_points);
            colors.append(c.left_colors);
            colors.append(c.right_colors);
            selected.append(c.selected);
        }
    }
    bool operator==(const Snapshot& o) const
    {
        return nb_curves == o.nb_curves && current_curve == o.current_curve
               && copied_blur == o.copied_blur && image_width == o.image_width
               && image_height == o.image_height && selection == o.selection
               && clipboard_size == o.clipboard_size && left == o.left && points == o.points
               && colors == o.colors && selected == o.selected;
    }
    int nb_curves, current_curve, copied_blur, image_width, image_height;
    QVector<int> selection;
    int clipboard_size;
    QColor left;
    QVector<QVector<Point>> points;
    QVector<QVector<QColor>> colors;
    QVector<bool> selected;
};

// A set in the middle of an editing session.
CurveSet busySet()
{
    CurveSet set = ladder(3);
    set.image_width = 300;
    set.image_height = 200;
    addToSelection(set, 0);
    addToSelection(set, 2);
    set.setCurrentCurve(1);
    set.copied_blur = 6;
    copySplines(set);
    return set;
}

const char* const kCurveHead = "<curve><control_points_set>";
const char* const kCurveTail =
    "<control_point x=\"1\" y=\"1\"/><control_point x=\"2\" y=\"2\"/>"
    "<control_point x=\"3\" y=\"3\"/></control_points_set></curve></curve_set>";

// A valid one-curve document whose first control point carries the given attributes.
QByteArray withFirstPoint(const QByteArray& attributes)
{
    return QByteArray("<curve_set image_width=\"100\" image_height=\"100\">") + kCurveHead
           + "<control_point " + attributes + "/>" + kCurveTail;
}

// A valid one-curve document with one left colour point carrying the given attributes.
QByteArray withLeftColor(const QByteArray& attributes)
{
    return QByteArray("<curve_set image_width=\"100\" image_height=\"100\"><curve>"
                      "<left_colors_set><left_color ")
           + attributes + "/></left_colors_set><control_points_set>"
           + "<control_point/><control_point x=\"1\" y=\"1\"/><control_point x=\"2\" y=\"2\"/>"
           + "<control_point x=\"3\" y=\"3\"/></control_points_set></curve></curve_set>";
}

struct BadFile {
    const char* name;
    QByteArray content;
};

std::vector<BadFile> badFiles()
{
    const QByteArray good = withFirstPoint("x=\"0\" y=\"0\"");
    QByteArray deep = "<curve_set image_width=\"10\" image_height=\"10\"><curve>";
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    return {
        {"empty", ""},
        {"not_xml", "this is not a drawing\n"},
        {"binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"truncated", good.left(good.size() / 2)},
        {"unclosed_root", "<curve_set image_width=\"10\" image_height=\"10\"><curve>"},
        {"wrong_root", "<drawing image_width=\"10\" image_height=\"10\"/>"},
        {"trailing_garbage", good + "<curve_set/>"},
        {"no_width", "<curve_set image_height=\"10\"/>"},
        {"no_height", "<curve_set image_width=\"10\"/>"},
        {"zero_size", "<curve_set image_width=\"0\" image_height=\"10\"/>"},
        {"negative_size", "<curve_set image_width=\"-512\" image_height=\"512\"/>"},
        {"real_size", "<curve_set image_width=\"12.5\" image_height=\"512\"/>"},
        {"huge_size", "<curve_set image_width=\"99999999\" image_height=\"512\"/>"},
        {"nan_coordinate", withFirstPoint("x=\"nan\" y=\"1\"")},
        {"inf_coordinate", withFirstPoint("x=\"1\" y=\"-inf\"")},
        {"overflowing_coordinate", withFirstPoint("x=\"1e400\" y=\"1\"")},
        {"absurd_coordinate", withFirstPoint("x=\"1e300\" y=\"1\"")},
        {"nan_channel", withLeftColor("B=\"nan\" G=\"0\" R=\"0\" globalID=\"0\"")},
        {"channel_too_big", withLeftColor("B=\"0\" G=\"256\" R=\"0\" globalID=\"0\"")},
        {"negative_channel", withLeftColor("B=\"0\" G=\"0\" R=\"-1\" globalID=\"0\"")},
        {"negative_global_id", withLeftColor("B=\"0\" G=\"0\" R=\"0\" globalID=\"-10\"")},
        {"huge_global_id", withLeftColor("B=\"0\" G=\"0\" R=\"0\" globalID=\"1e30\"")},
        {"blur_out_of_range",
         "<curve_set image_width=\"10\" image_height=\"10\"><curve><blur_points_set>"
         "<best_scale value=\"17\" globalID=\"0\"/></blur_points_set></curve></curve_set>"},
        {"deeply_nested", deep},
        {"undeclared_entity", "<curve_set image_width=\"&w;\" image_height=\"10\"/>"},
    };
}

} // namespace

TEST_F(XmlFiles, MissingFileIsReportedWordForWord)
{
    CurveSet set = busySet();
    const Snapshot before(set);
    const QString missing = path("nowhere.xml");
    EXPECT_FALSE(loadCaptured(set, missing));
    EXPECT_EQ(err_, "[!]> The file \"" + missing.toStdString() + "\" does not exist!\n");
    EXPECT_EQ(out_, "");
    EXPECT_TRUE(Snapshot(set) == before);
}

TEST_F(XmlFiles, EmptyFileNameFailsQuietly)
{
    CurveSet set = busySet();
    const Snapshot before(set);
    EXPECT_FALSE(loadCaptured(set, QString()));
    EXPECT_EQ(err_, "");
    EXPECT_TRUE(Snapshot(set) == before);
}

TEST_F(XmlFiles, EveryBadFileFailsWithOneLineAndChangesNothing)
{
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.name);
        const QString file = write(QString::fromLatin1(bad.name) + ".xml", bad.content);
        CurveSet set = busySet();
        const Snapshot before(set);
        EXPECT_FALSE(loadCaptured(set, file));
        EXPECT_TRUE(Snapshot(set) == before);
        EXPECT_EQ(out_, "");
        EXPECT_EQ(err_.rfind("[!]> Cannot load \"" + file.toStdString() + "\": ", 0), 0u) << err_;
        EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;
    }
}

TEST_F(XmlFiles, DirectoryIsNotADrawing)
{
    CurveSet set = busySet();
    const Snapshot before(set);
    QDir(path("")).mkdir("folder.xml");
    EXPECT_FALSE(loadCaptured(set, path("folder.xml")));
    EXPECT_TRUE(Snapshot(set) == before);
    EXPECT_NE(err_.find("folder.xml"), std::string::npos);
}

TEST_F(XmlFiles, TheReferenceDocumentOfTheBadFilesLoads)
{
    // Guards the table above: its documents fail for the one fault they carry.
    const QString file = write("good.xml", withFirstPoint("x=\"0\" y=\"0\""));
    CurveSet set;
    EXPECT_TRUE(loadCaptured(set, file)) << err_;
    EXPECT_EQ(set.nb_curves, 1);
    const QString colour =
        write("colour.xml", withLeftColor("B=\"0\" G=\"255\" R=\"0\" globalID=\"0\""));
    EXPECT_TRUE(loadCaptured(set, colour)) << err_;
}

TEST_F(XmlFiles, SaveIntoAMissingFolderFails)
{
    CurveSet set = busySet();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(saveXml(set, path("no/such/folder/d.xml")));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[!]> Cannot save"), std::string::npos) << err;
    EXPECT_FALSE(QFile::exists(path("no/such/folder/d.xml")));
}

TEST_F(XmlFiles, FailedSaveLeavesThePreviousFileIntact)
{
    const QString file = path("kept.xml");
    ASSERT_TRUE(saveXml(busySet(), file));
    const QByteArray previous = read(file);
    ASSERT_GT(previous.size(), 1000);

    // A drawing too big for the file size limit: the write fails part-way.
    CurveSet big = ladder(2000);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ::testing::internal::CaptureStderr();
    const bool saved_ok = saveXml(big, file);
    const std::string err = ::testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_NE(err.find("[!]> Cannot save \"" + file.toStdString() + "\""), std::string::npos)
        << err;
    EXPECT_EQ(read(file), previous);
    EXPECT_EQ(QDir(path("")).entryList(QDir::Files), QStringList{"kept.xml"})
        << "no temporary left";
}

TEST_F(XmlFiles, SaveOverADirectoryFails)
{
    QDir(path("")).mkdir("taken.xml");
    CurveSet set = busySet();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(saveXml(set, path("taken.xml")));
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(QFileInfo(path("taken.xml")).isDir());
}

// The caller that shows a failure on screen gets the same cause the console line gives.
TEST_F(XmlFiles, TheCauseOfAFailureReachesTheCaller)
{
    const auto consoleCause = [](const std::string& line) {
        const size_t afterName = line.rfind("\": ");
        return afterName == std::string::npos
                   ? std::string()
                   : line.substr(afterName + 3, line.size() - afterName - 4);
    };
    CurveSet set = busySet();
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.name);
        const QString file = write(QString::fromLatin1(bad.name) + ".xml", bad.content);
        QString cause;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loadXml(set, file, &cause));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(cause.isEmpty());
        EXPECT_EQ(cause.toStdString(), consoleCause(err)) << err;
    }

    QString cause;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadXml(set, path("nowhere.xml"), &cause));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(cause, "the file does not exist");

    QDir(path("")).mkdir("taken.xml");
    for (const QString& target : {path("taken.xml"), path("no/such/folder/d.xml")}) {
        SCOPED_TRACE(target.toStdString());
        QString saveCause;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(saveXml(set, target, &saveCause));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(saveCause.isEmpty());
        EXPECT_EQ(saveCause.toStdString(), consoleCause(err)) << err;
    }
}
