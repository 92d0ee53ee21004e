// Writes a handful of drawings with the CurveSetXML writer into a folder: the starting corpus of
// the reader's fuzzer.
#include "curve_set.h"
#include "curve_set_layers.h"
#include "curve_set_xml.h"

#include <QDir>
#include <cmath>
#include <cstdio>

namespace {

Curve wave(int segments, double phase, int blur)
{
    Curve c(QColor(20 * segments % 256, 90, 200), QColor(240, 30 * segments % 256, 10), blur);
    for (int k = 0; k <= 3 * segments; ++k)
        c.appendControlPoint(-0.9 + 1.8 * k / (3.0 * segments), 0.5 * std::sin(phase + 0.4 * k));
    const int end = segments * kSamplesPerSegment;
    for (int g = 0; g <= end; g += 7) {
        c.appendLeftColor(g, false, QColor(g % 256, 255 - g % 256, 128));
        c.appendRightColor(g, true);
    }
    c.appendLeftColor(end, true);
    c.appendRightColor(end, true);
    c.appendBlur(0, false, blur);
    c.appendBlur(end, false, 16 - blur);
    c.lifetime = 8 * segments;
    return c;
}

bool save(const CurveSet& set, const QDir& folder, const char* name)
{
    const bool ok = saveXml(set, folder.filePath(QString::fromLatin1(name)));
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
    bool ok = true;

    CurveSet empty;
    ok &= save(empty, folder, "seed_empty.xml");

    CurveSet one;
    one.addCurve(wave(1, 0.0, 0));
    ok &= save(one, folder, "seed_one_segment.xml");

    CurveSet several;
    several.image_width = 640;
    several.image_height = 360;
    for (int i = 0; i < 4; ++i)
        several.addCurve(wave(1 + i, 0.7 * i, 2 * i));
    ok &= save(several, folder, "seed_several.xml");

    CurveSet closed;
    Curve loop = wave(3, 1.0, 5);
    loop.appendControlPoint(loop.control_points.first().x, loop.control_points.first().y);
    loop.appendControlPoint(loop.control_points.first().x, loop.control_points.first().y);
    loop.appendControlPoint(loop.control_points.first().x, loop.control_points.first().y);
    loop.setClosed(true);
    closed.addCurve(loop);
    ok &= save(closed, folder, "seed_closed.xml");

    CurveSet layered;
    renameLayer(layered, 0, "Ground");
    layered.addCurve(wave(2, 0.3, 1));
    addLayer(layered, "Glass & \"light\"");
    Curve glass = wave(1, 2.0, 3);
    glass.setLeftColorOf(QColor(90, 140, 220, 96), 0);
    layered.addCurve(glass);
    setLayerOpacity(layered, 1, 0.6);
    addLayer(layered, "Hidden");
    setLayerVisible(layered, 2, false);
    setLayerLocked(layered, 2, true);
    ok &= save(layered, folder, "seed_layers.xml");

    return ok ? 0 : 1;
}
