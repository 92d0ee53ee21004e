// Layers and colour-point opacity in the file: layered drawings round-trip, every drawing
// written before reads and writes exactly as before, one wrapping layer changes nothing, and
// hostile layer input is refused with a message.
#include "curve_set.h"
#include "curve_set_layers.h"
#include "curve_set_selection.h"
#include "curve_set_xml.h"
#include "drawing_change.h"
#include "test_curve_set_helpers.h"
#include "test_xml_helpers.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>

using namespace doc_test;

namespace {

bool readText(const QByteArray& text, CurveSet& set, QString& reason)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readCurveSetXml(buffer, set, reason);
}

// Same layers and the same saved content of every curve.
void expectSameDrawing(const CurveSet& a, const CurveSet& b)
{
    EXPECT_EQ(a.layers, b.layers);
    EXPECT_EQ(a.current_layer, b.current_layer);
    ASSERT_EQ(a.nb_curves, b.nb_curves);
    for (int i = 0; i < a.nb_curves; ++i)
        EXPECT_TRUE(sameDrawnCurve(a.curve(i), b.curve(i))) << "curve " << i;
}

// Three layers: a plain one, a hidden translucent one with a name that needs escaping and
// translucent colour points, and an empty locked one on top.
CurveSet layeredDrawing()
{
    CurveSet set;
    renameLayer(set, 0, "Sky");
    set.addCurve(segment(-0.5, 0.5, 0.5, 0.5));
    addLayer(set, QString::fromUtf8("Face & \"<hair>\" \xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80"));
    Curve face = segment(-0.5, -0.5, 0.5, -0.25);
    face.setLeftColorOf(QColor(10, 20, 30, 0), 0);
    face.setRightColorOf(QColor(200, 100, 50, 128), 1);
    set.addCurve(face);
    set.addCurve(segment(0, 0, 0.25, 0.25));
    setLayerVisible(set, 1, false);
    setLayerOpacity(set, 1, 0.5);
    addLayer(set, "Notes");
    setLayerLocked(set, 2, true);
    return set;
}

TEST_F(XmlFiles, LayeredDrawingIsWrittenAsDocumented)
{
    CurveSet set;
    renameLayer(set, 0, "Back");
    Curve c = segment(-1, 1, 1, -1);
    c.setLeftColorOf(QColor(10, 20, 30, 7), 1);
    set.addCurve(c);
    addLayer(set, "A&B");
    setLayerOpacity(set, 1, 0.25);
    setLayerLocked(set, 1, true);
    const std::string text = writeCurveSetXml(set).toStdString();
    EXPECT_EQ(text.substr(0, text.find("  <curve ")),
              "<!DOCTYPE CurveSetXML>\n"
              "<curve_set image_width=\"512\" image_height=\"512\" nb_curves=\"1\">\n"
              " <layer name=\"Back\" nb_curves=\"1\" visible=\"1\" opacity=\"1\">\n");
    EXPECT_NE(text.find("   <control_points_set>\n    <control_point y=\"0\" x=\"0\"/>\n"),
              std::string::npos)
        << "curves nest one level deeper";
    EXPECT_NE(text.find("<left_color B=\"10\" G=\"20\" R=\"30\" globalID=\"0\"/>"),
              std::string::npos);
    EXPECT_NE(text.find("<left_color B=\"10\" G=\"20\" R=\"30\" A=\"7\" globalID=\"10\"/>"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.find(" </layer>")),
              " </layer>\n"
              " <layer name=\"A&amp;B\" nb_curves=\"0\" visible=\"1\" opacity=\"0.25\" "
              "locked=\"1\"/>\n"
              "</curve_set>\n");
}

TEST_F(XmlFiles, LayeredDrawingRoundTrips)
{
    const CurveSet saved = layeredDrawing();
    const QString file = path("layers.xml");
    ASSERT_TRUE(saveXml(saved, file));
    CurveSet loaded = ladder(2);
    ASSERT_TRUE(loadCaptured(loaded, file)) << err_;
    EXPECT_EQ(out_, "3\n");
    EXPECT_EQ(loaded.current_layer, 2) << "the top layer takes new curves";
    EXPECT_EQ(loaded.layers, saved.layers);
    ASSERT_EQ(loaded.nb_curves, saved.nb_curves);
    for (int i = 0; i < saved.nb_curves; ++i) {
        const Curve& s = saved.curve(i);
        const Curve& l = loaded.curve(i);
        EXPECT_EQ(l.left_colors, s.left_colors) << "curve " << i;
        EXPECT_EQ(l.right_colors, s.right_colors) << "curve " << i;
        ASSERT_EQ(l.nb_control_points, s.nb_control_points);
        for (int k = 0; k < s.nb_control_points; ++k) // pixels to six significant digits
            EXPECT_TRUE(near(l.control_points[k], s.control_points[k], 2e-5)) << "curve " << i;
    }
    EXPECT_EQ(loaded.curve(1).left_colors[0], QColor(10, 20, 30, 0));
    EXPECT_EQ(loaded.curve(1).right_colors[1], QColor(200, 100, 50, 128));
    const QString again = path("again.xml");
    ASSERT_TRUE(saveXml(loaded, again));
    EXPECT_EQ(read(again), read(file));

    // A single layer that is not plain keeps its layer element; a translucent colour point
    // alone does not make one.
    CurveSet one;
    renameLayer(one, 0, "Only");
    EXPECT_TRUE(writeCurveSetXml(one).contains("<layer name=\"Only\" nb_curves=\"0\""));
    CurveSet translucent;
    Curve c = segment(0, 0, 1, 1);
    c.setLeftColorOf(QColor(1, 2, 3, 4), 0);
    translucent.addCurve(c);
    EXPECT_FALSE(writeCurveSetXml(translucent).contains("<layer"));
    EXPECT_TRUE(writeCurveSetXml(translucent).contains("A=\"4\""));
}

// Every drawing file under tests/ reads and writes as it did before layers: the text written
// back has the digest recorded then. Files added since only have to write stably.
TEST_F(XmlFiles, EveryDrawingUnderTestsRewritesAsBefore)
{
    QFile digestFile(QStringLiteral(TINTWEAVE_TEST_DATA_DIR "/rewrite_digests.txt"));
    ASSERT_TRUE(digestFile.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QByteArray> recorded;
    for (const QByteArray& line : digestFile.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2 && !line.startsWith('#'))
            recorded.insert(QString::fromUtf8(fields[0]), fields[1]);
    }
    ASSERT_GE(recorded.size(), 40);

    const QDir root(QStringLiteral(TINTWEAVE_SOURCE_DIR));
    QDirIterator files(root.filePath("tests"), QDir::Files, QDirIterator::Subdirectories);
    int checked = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        const QString name = root.relativeFilePath(file);
        if (!name.endsWith(".xml") && !name.contains("/corpus/"))
            continue;
        SCOPED_TRACE(name.toStdString());
        QFile input(file);
        ASSERT_TRUE(input.open(QIODevice::ReadOnly));
        CurveSet set;
        QString reason;
        const bool ok = readCurveSetXml(input, set, reason);
        const QByteArray written = ok ? writeCurveSetXml(set) : QByteArray();
        if (recorded.contains(name)) {
            ++checked;
            const QByteArray digest =
                ok ? QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex()
                   : QByteArray("refused");
            EXPECT_EQ(digest.toStdString(), recorded.value(name).toStdString())
                << reason.toStdString();
        } else if (ok) {
            CurveSet again;
            ASSERT_TRUE(readText(written, again, reason)) << reason.toStdString();
            EXPECT_EQ(writeCurveSetXml(again), written);
        }
    }
    EXPECT_EQ(checked, recorded.size()) << "a recorded drawing is missing";
}

// The curves of a file, wrapped in one plain layer element, read as the same drawing and are
// written back without it.
TEST_F(XmlFiles, OneWrappingLayerGivesTheSameDrawing)
{
    QFile sample(QStringLiteral(TINTWEAVE_SOURCE_DIR "/tests/viewer/data/vertical_split.xml"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    CurveSet rich;
    rich.image_width = 640;
    rich.image_height = 480;
    for (int i = 0; i < 4; ++i)
        rich.addCurve(curveThrough({Point(-0.9, 0.1 * i), Point(-0.3, 0.4), Point(0.2, -0.3 * i),
                                    Point(0.8, 0.05 * i)},
                                   QColor(10 * i, 20, 30, 255 - 60 * i)));
    for (const QByteArray& plain : {sample.readAll(), writeCurveSetXml(rich)}) {
        QByteArray wrapped = plain;
        const int start = wrapped.indexOf("<curve ");
        const int end = wrapped.lastIndexOf("</curve_set>");
        ASSERT_GT(start, 0);
        wrapped.insert(end, "</layer>\n");
        wrapped.insert(start, "<layer name=\"Layer 1\" nb_curves=\"99\" visible=\"1\">\n");
        CurveSet fromPlain, fromWrapped;
        QString reason;
        ASSERT_TRUE(readText(plain, fromPlain, reason)) << reason.toStdString();
        ASSERT_TRUE(readText(wrapped, fromWrapped, reason)) << reason.toStdString();
        ASSERT_GE(fromPlain.nb_curves, 1);
        expectSameDrawing(fromPlain, fromWrapped);
        EXPECT_EQ(writeCurveSetXml(fromWrapped), plain);
    }
}

// How files without opacity or with layers of their own are read: defaults, an unfinished curve
// per layer, elements that are not curves.
TEST_F(XmlFiles, LayerElementsReadAsDocumented)
{
    const QByteArray curve = "<curve><control_points_set><control_point/><control_point/>"
                             "<control_point/><control_point/></control_points_set>"
                             "<left_colors_set><left_color B=\"1\" A=\"12.9\"/>"
                             "</left_colors_set></curve>";
    const QByteArray unfinished =
        "<curve><control_points_set><control_point/></control_points_set></curve>";
    const QByteArray text = "<curve_set image_width=\"10\" image_height=\"10\"><note/>"
                            "<layer>"
                            + curve + unfinished
                            + "</layer><note/><layer visible=\"0\" locked=\"1\" "
                              "opacity=\"0.125\" name=\"Tab&#9;bed\"><note/>"
                            + unfinished + curve + "</layer><layer/></curve_set>";
    CurveSet set;
    QString reason;
    ASSERT_TRUE(readText(text, set, reason)) << reason.toStdString();
    ASSERT_EQ(set.layerCount(), 3);
    EXPECT_EQ(set.layers[0], (Layer{"", true, false, 1.0, 1}));
    EXPECT_EQ(set.layers[1], (Layer{"Tabbed", false, true, 0.125, 1}))
        << "the unfinished curve is continued by the next one of its layer";
    EXPECT_EQ(set.layers[2], (Layer{"", true, false, 1.0, 0}));
    EXPECT_EQ(set.curve(0).left_colors[0], QColor(1, 0, 0, 12));
    EXPECT_EQ(set.curve(1).nb_control_points, 4);
}

struct HostileLayers {
    const char* name;
    QByteArray text;
    const char* reason;
};

std::vector<HostileLayers> hostileLayers()
{
    const QByteArray head = "<curve_set image_width=\"10\" image_height=\"10\">";
    const QByteArray tail = "</curve_set>";
    QByteArray manyLayers = head;
    for (int i = 0; i <= kMaxLayers; ++i)
        manyLayers += "<layer/>";
    QByteArray deep = head + "<layer><curve>";
    for (int i = 0; i < 100; ++i)
        deep += "<a>";
    const QByteArray point = "<curve><left_colors_set><left_color B=\"1\" G=\"2\" R=\"3\" ";
    return {
        {"too many layers", manyLayers + tail, "more than 256 layers"},
        {"long name",
         head + "<layer name=\"" + QByteArray(kMaxLayerNameLength + 1, 'n') + "\"/>" + tail,
         "a \"layer\" name is longer than 256 characters"},
        {"visible word", head + "<layer visible=\"yes\"/>" + tail,
         "unusable \"visible\" = \"yes\" in \"layer\" (0 or 1 expected)"},
        {"locked number", head + "<layer locked=\"2\"/>" + tail,
         "unusable \"locked\" = \"2\" in \"layer\" (0 or 1 expected)"},
        {"opacity above 1", head + "<layer opacity=\"1.5\"/>" + tail,
         "unusable \"opacity\" = \"1.5\" in \"layer\" (0 .. 1 expected)"},
        {"opacity nan", head + "<layer opacity=\"nan\"/>" + tail,
         "unusable \"opacity\" = \"nan\" in \"layer\" (0 .. 1 expected)"},
        {"opacity word", head + "<layer opacity=\"half\"/>" + tail,
         "unusable \"opacity\" = \"half\" in \"layer\" (0 .. 1 expected)"},
        {"curve beside layers", head + "<layer/><curve/>" + tail,
         "a \"curve\" lies beside \"layer\" elements; in a drawing with layers every curve "
         "belongs to a layer"},
        {"alpha too big", head + point + "A=\"256\"/></left_colors_set></curve>" + tail,
         "\"A\" = \"256\" in \"left_color\" is outside 0 .. 255"},
        {"alpha negative", head + point + "A=\"-1\"/></left_colors_set></curve>" + tail,
         "\"A\" = \"-1\" in \"left_color\" is outside 0 .. 255"},
        {"alpha word", head + point + "A=\"opaque\"/></left_colors_set></curve>" + tail,
         "unusable \"A\" = \"opaque\" in \"left_color\" (0 .. 255 expected)"},
        {"alpha infinite", head + point + "A=\"inf\"/></left_colors_set></curve>" + tail,
         "\"A\" = \"inf\" in \"left_color\" is outside 0 .. 255"},
        {"nested in a layer", deep, "elements nested more than 64 deep"},
    };
}

TEST_F(XmlFiles, HostileLayerInputIsRefusedWithItsReason)
{
    for (const HostileLayers& bad : hostileLayers()) {
        SCOPED_TRACE(bad.name);
        const QString file = write("bad.xml", bad.text);
        CurveSet set = layeredDrawing();
        addToSelection(set, 1);
        const CurveSet before = set;
        EXPECT_FALSE(loadCaptured(set, file));
        EXPECT_EQ(err_, "[!]> Cannot load \"" + file.toStdString() + "\": " + bad.reason + "\n");
        expectSameDrawing(set, before);
        EXPECT_EQ(set.selection, before.selection);
    }
    // The bounds themselves are accepted.
    QByteArray most = "<curve_set image_width=\"10\" image_height=\"10\">";
    for (int i = 0; i < kMaxLayers; ++i)
        most += "<layer name=\"" + QByteArray(kMaxLayerNameLength, 'n') + "\" opacity=\"0\"/>";
    CurveSet set;
    QString reason;
    ASSERT_TRUE(readText(most + "</curve_set>", set, reason)) << reason.toStdString();
    EXPECT_EQ(set.layerCount(), kMaxLayers);
}

} // namespace
