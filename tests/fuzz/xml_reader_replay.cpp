// Replays a folder of XML files through the reader (built with sanitizers). Files named bad_*
// must be refused and leave the drawing in memory as it was; files named ok_* must load; every
// file must pass checkXmlReader. Exit status 0 when all files behave.
#include "xml_reader_check.h"

#include "curve_set.h"
#include "curve_set_xml.h"
#include "curve_set_selection.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

// A drawing in the middle of a session, to see that refused files leave it alone.
CurveSet busySet()
{
    CurveSet set;
    for (int i = 0; i < 3; ++i) {
        set.newCurve();
        for (int k = 0; k < 4; ++k)
            set.appendControlPoint(0.1 * k, 0.2 * i);
    }
    addToSelection(set, 0);
    set.setCurrentCurve(2);
    addLayer(set, "Top");
    setLayerOpacity(set, 1, 0.5);
    return set;
}

bool same(const CurveSet& a, const CurveSet& b)
{
    if (a.nb_curves != b.nb_curves || a.current_curve != b.current_curve
        || a.selection != b.selection || a.image_width != b.image_width
        || a.image_height != b.image_height || a.layers != b.layers
        || a.current_layer != b.current_layer)
        return false;
    for (int i = 0; i < a.nb_curves; ++i)
        if (a.curve(i).control_points != b.curve(i).control_points)
            return false;
    return true;
}

bool replay(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "FAIL %s: cannot be opened\n", qPrintable(name));
        return false;
    }
    bool accepted = false;
    const std::string fault = checkXmlReader(file.readAll(), &accepted);
    if (!fault.empty()) {
        std::fprintf(stderr, "FAIL %s: %s\n", qPrintable(name), fault.c_str());
        return false;
    }

    CurveSet set = busySet();
    const CurveSet before = set;
    const bool loaded = loadXml(set, path);
    if (loaded != accepted) {
        std::fprintf(stderr, "FAIL %s: loadXml and the reader disagree\n", qPrintable(name));
        return false;
    }
    if (name.startsWith("bad_") && (loaded || !same(set, before))) {
        std::fprintf(stderr, "FAIL %s: %s\n", qPrintable(name),
                     loaded ? "loaded a hostile file" : "a refused load changed the drawing");
        return false;
    }
    if (name.startsWith("ok_") && !loaded) {
        std::fprintf(stderr, "FAIL %s: refused\n", qPrintable(name));
        return false;
    }
    std::printf("ok   %s (%s)\n", qPrintable(name), loaded ? "loaded" : "refused");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no files in %s\n", argv[1]);
        return 2;
    }
    int failures = 0;
    for (const QString& name : names)
        failures += replay(folder.filePath(name), name) ? 0 : 1;
    std::printf("%d files, %d failures\n", int(names.size()), failures);
    return failures == 0 ? 0 : 1;
}
