#include "xml_reader_check.h"

#include "curve_set.h"
#include "curve_set_xml.h"
#include "curve_set_selection.h"

#include <QBuffer>
#include <algorithm>
#include <cmath>

namespace {

bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

template <typename Value>
bool paired(int count, const QVector<Value>& values, const QVector<int>& ids)
{
    return count == values.size() && count == ids.size() && std::is_sorted(ids.begin(), ids.end())
           && std::all_of(ids.begin(), ids.end(), [](int id) { return id >= 0; });
}

bool validColors(const QVector<QColor>& colors)
{
    return std::all_of(colors.begin(), colors.end(),
                       [](const QColor& c) { return c.isValid() && c.alpha() == 255; });
}

std::string checkCurve(const Curve& c)
{
    const int n = c.control_points.size();
    if (c.nb_control_points != n)
        return "control point count differs from the array";
    if (n < 4 || (n - 1) % 3 != 0)
        return "control points do not form whole segments";
    if (!std::all_of(c.control_points.begin(), c.control_points.end(), finite))
        return "non-finite control point";
    if (!finite(c.bbox_min) || !finite(c.bbox_max))
        return "non-finite bounding box";
    if (!paired(c.nb_left_colors, c.left_colors, c.left_color_ids)
        || !paired(c.nb_right_colors, c.right_colors, c.right_color_ids)
        || !paired(c.nb_blur_points, c.blur_values, c.blur_ids))
        return "attribute list unpaired or unsorted";
    if (!validColors(c.left_colors) || !validColors(c.right_colors))
        return "invalid colour";
    if (!std::all_of(c.blur_values.begin(), c.blur_values.end(),
                     [](int v) { return v >= 0 && v <= 16; }))
        return "blur out of range";
    std::string walk;
    c.forEachSample([&walk](const CurveSample& s) {
        if (walk.empty() && (!finite(s.point) || !finite(s.normal)))
            walk = "non-finite sample";
    });
    return walk;
}

bool read(const QByteArray& input, CurveSet& set)
{
    QByteArray bytes = input;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString reason;
    return readCurveSetXml(buffer, set, reason);
}

} // namespace

std::string checkXmlReader(const QByteArray& input, bool* accepted)
{
    CurveSet set;
    const bool ok = read(input, set);
    if (accepted)
        *accepted = ok;
    if (!ok)
        return {};
    if (set.image_width < 1 || set.image_height < 1)
        return "accepted without an image size";
    if (set.nb_curves != set.curves.size())
        return "curve count differs from the array";
    if (set.current_curve != -1 || !set.selection.isEmpty())
        return "a curve is current or selected after loading";
    for (int i = 0; i < set.nb_curves; ++i) {
        const std::string fault = checkCurve(set.curve(i));
        if (!fault.empty())
            return "curve " + std::to_string(i) + ": " + fault;
        addToSelection(set, i);
    }

    CurveSet again;
    if (!read(writeCurveSetXml(set), again))
        return "the written drawing does not read back";
    if (again.nb_curves != set.nb_curves || again.image_width != set.image_width
        || again.image_height != set.image_height)
        return "the written drawing reads back with another size";
    for (int i = 0; i < set.nb_curves; ++i) {
        const Curve& a = set.curve(i);
        const Curve& b = again.curve(i);
        if (a.nb_control_points != b.nb_control_points || a.left_colors != b.left_colors
            || a.right_colors != b.right_colors || a.blur_values != b.blur_values
            || a.left_color_ids != b.left_color_ids || a.right_color_ids != b.right_color_ids
            || a.blur_ids != b.blur_ids || a.lifetime != b.lifetime)
            return "curve " + std::to_string(i) + " changes through a write and read";
    }
    return {};
}
