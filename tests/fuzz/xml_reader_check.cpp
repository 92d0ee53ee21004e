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
                       [](const QColor& c) { return c.isValid() && c.spec() == QColor::Rgb; });
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

// Layers within their bounds whose runs cover the curves exactly.
std::string checkLayers(const CurveSet& set)
{
    if (set.layers.isEmpty() || set.layers.size() > kMaxLayers)
        return "layer count out of bounds";
    if (set.current_layer != set.layers.size() - 1)
        return "the top layer is not current after loading";
    int counted = 0;
    for (int l = 0; l < set.layers.size(); ++l) {
        const Layer& layer = set.layers[l];
        const CurveRange run = set.layerRange(l);
        if (layer.curveCount < 0 || run.first != counted || run.size() != layer.curveCount)
            return "layer " + std::to_string(l) + " does not count its curves";
        if (layer.name.size() > kMaxLayerNameLength || cleanLayerName(layer.name) != layer.name)
            return "layer " + std::to_string(l) + " has an unclean name";
        if (!(layer.opacity >= 0.0 && layer.opacity <= 1.0))
            return "layer " + std::to_string(l) + " opacity out of range";
        counted += layer.curveCount;
    }
    return counted == set.nb_curves ? std::string() : "the layers do not count every curve";
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
    const std::string layers = checkLayers(set);
    if (!layers.empty())
        return layers;
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
    if (again.layers.size() != set.layers.size())
        return "the written drawing reads back with other layers";
    for (int l = 0; l < set.layers.size(); ++l) {
        const Layer& a = set.layers[l];
        const Layer& b = again.layers[l];
        // Opacity is written to six significant digits.
        if (a.name != b.name || a.visible != b.visible || a.locked != b.locked
            || a.curveCount != b.curveCount || std::abs(a.opacity - b.opacity) > 1e-6)
            return "layer " + std::to_string(l) + " changes through a write and read";
    }
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
