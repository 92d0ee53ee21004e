#include "keyframe_compatibility.h"

#include "curve_set.h"
#include "curve_set_xml.h"

#include <utility>

namespace {

// "1 curve", "2 curves".
QString amount(int count, const char* thing)
{
    return QStringLiteral("%1 %2%3")
        .arg(count)
        .arg(QLatin1String(thing))
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

QString curveMismatch(int index, const Curve& first, const QString& firstName, const Curve& second,
                      const QString& secondName)
{
    const struct {
        int first;
        int second;
        const char* thing;
    } counts[] = {
        {first.nb_control_points, second.nb_control_points, "control point"},
        {first.nb_left_colors, second.nb_left_colors, "left colour"},
        {first.nb_right_colors, second.nb_right_colors, "right colour"},
        {first.nb_blur_points, second.nb_blur_points, "blur point"},
    };
    for (const auto& count : counts) {
        if (count.first != count.second)
            return QStringLiteral("curve %1 (counted from 0) has %2 in %3 and %4 in %5")
                .arg(index)
                .arg(amount(count.first, count.thing), firstName)
                .arg(count.second)
                .arg(secondName);
    }
    return QString();
}

} // namespace

QString keyframeMismatch(const CurveSet& first, const QString& firstName, const CurveSet& second,
                         const QString& secondName)
{
    if (first.layerCount() != second.layerCount())
        return QStringLiteral("%1 has %2 and %3 %4")
            .arg(firstName, amount(first.layerCount(), "layer"), secondName)
            .arg(second.layerCount());
    if (first.nb_curves != second.nb_curves)
        return QStringLiteral("%1 has %2 and %3 %4")
            .arg(firstName, amount(first.nb_curves, "curve"), secondName)
            .arg(second.nb_curves);
    for (int l = 0; l < first.layerCount(); ++l) {
        const int inFirst = first.layerRange(l).size();
        const int inSecond = second.layerRange(l).size();
        if (inFirst != inSecond)
            return QStringLiteral("layer %1 (counted from 0) has %2 in %3 and %4 in %5")
                .arg(l)
                .arg(amount(inFirst, "curve"), firstName)
                .arg(inSecond)
                .arg(secondName);
    }
    for (int i = 0; i < first.nb_curves; ++i) {
        const QString mismatch =
            curveMismatch(i, first.curve(i), firstName, second.curve(i), secondName);
        if (!mismatch.isEmpty())
            return mismatch;
    }
    return QString();
}

QString keyframeSequenceProblem(const QStringList& files)
{
    CurveSet previous;
    CurveSet next;
    for (int f = 0; f < files.size(); ++f) {
        QString cause;
        if (!loadXml(next, files[f], &cause))
            return QStringLiteral("cannot load %1: %2").arg(files[f], cause);
        if (f > 0) {
            const QString mismatch = keyframeMismatch(previous, files[f - 1], next, files[f]);
            if (!mismatch.isEmpty())
                return QStringLiteral("keyframes do not match: ") + mismatch;
        }
        std::swap(previous, next);
    }
    return QString();
}
