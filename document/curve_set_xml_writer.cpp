#include "curve_set.h"
#include "curve_set_xml.h"
#include "file_access.h"

#include <QSaveFile>
#include <cerrno>
#include <iostream>

namespace {

// Builds the document text the way a DOM serialiser with one-space indentation lays it out, but
// with the attributes in a fixed order ("y" before "x", "B" "G" "R" "globalID").
class XmlText {
public:
    explicit XmlText(int expectedSize) { text_.reserve(expectedSize); }

    void open(int depth, const char* name)
    {
        indent(depth);
        text_ += '<';
        text_ += name;
    }
    void attribute(const char* name, int value)
    {
        appendAttribute(name, QByteArray::number(value));
    }
    // Reals keep six significant digits, the document's precision for coordinates.
    void attribute(const char* name, double value)
    {
        appendAttribute(name, QString::number(value, 'g', 6).toLatin1());
    }
    // Text with the characters that would end or change the attribute written as references.
    void attribute(const char* name, const QString& value)
    {
        appendAttribute(name, escaped(value).toUtf8());
    }
    void endStart() { text_ += ">\n"; }
    void endEmpty() { text_ += "/>\n"; }
    void close(int depth, const char* name)
    {
        indent(depth);
        text_ += "</";
        text_ += name;
        text_ += ">\n";
    }
    void raw(const char* text) { text_ += text; }
    QByteArray take() { return std::move(text_); }

private:
    static QString escaped(const QString& value)
    {
        QString out;
        out.reserve(value.size());
        for (const QChar c : value) {
            switch (c.unicode()) {
            case '&': out += QLatin1String("&amp;"); break;
            case '<': out += QLatin1String("&lt;"); break;
            case '>': out += QLatin1String("&gt;"); break;
            case '"': out += QLatin1String("&quot;"); break;
            // A parser turns these into spaces unless they are written as references.
            case '\t': out += QLatin1String("&#9;"); break;
            case '\n': out += QLatin1String("&#10;"); break;
            case '\r': out += QLatin1String("&#13;"); break;
            default: out += c; break;
            }
        }
        return out;
    }
    void indent(int depth) { text_.append(depth, ' '); }
    void appendAttribute(const char* name, const QByteArray& value)
    {
        text_ += ' ';
        text_ += name;
        text_ += "=\"";
        text_ += value;
        text_ += '"';
    }

    QByteArray text_;
};

// `depth` is the curve's element depth; its sets lie one deeper and their points two.
void writeColors(XmlText& xml, int depth, const char* setName, const char* pointName,
                 const QVector<QColor>& colors, const QVector<int>& ids)
{
    const int n = std::min(colors.size(), ids.size());
    xml.open(depth + 1, setName);
    if (n == 0) {
        xml.endEmpty();
        return;
    }
    xml.endStart();
    for (int i = 0; i < n; ++i) {
        xml.open(depth + 2, pointName);
        xml.attribute("B", colors[i].red());
        xml.attribute("G", colors[i].green());
        xml.attribute("R", colors[i].blue());
        // Opacity only where a point is not opaque, so that opaque drawings keep their text.
        if (colors[i].alpha() != 255)
            xml.attribute("A", colors[i].alpha());
        xml.attribute("globalID", ids[i]);
        xml.endEmpty();
    }
    xml.close(depth + 1, setName);
}

void writeCurve(XmlText& xml, int depth, const Curve& c, double halfWidth, double halfHeight)
{
    const int nbBlurs = std::min(c.blur_values.size(), c.blur_ids.size());
    xml.open(depth, "curve");
    xml.attribute("nb_control_points", c.control_points.size());
    xml.attribute("nb_left_colors", std::min(c.left_colors.size(), c.left_color_ids.size()));
    xml.attribute("nb_right_colors", std::min(c.right_colors.size(), c.right_color_ids.size()));
    xml.attribute("nb_blur_points", nbBlurs);
    xml.attribute("lifetime", c.lifetime);
    xml.endStart();

    xml.open(depth + 1, "control_points_set");
    if (c.control_points.isEmpty()) {
        xml.endEmpty();
    } else {
        xml.endStart();
        for (const Point& p : c.control_points) {
            xml.open(depth + 2, "control_point");
            xml.attribute("y", (p.x + 1.0) * halfWidth);  // pixel column
            xml.attribute("x", (1.0 - p.y) * halfHeight); // pixel row from the top
            xml.endEmpty();
        }
        xml.close(depth + 1, "control_points_set");
    }

    writeColors(xml, depth, "left_colors_set", "left_color", c.left_colors, c.left_color_ids);
    writeColors(xml, depth, "right_colors_set", "right_color", c.right_colors, c.right_color_ids);

    xml.open(depth + 1, "blur_points_set");
    if (nbBlurs == 0) {
        xml.endEmpty();
    } else {
        xml.endStart();
        for (int i = 0; i < nbBlurs; ++i) {
            xml.open(depth + 2, "best_scale");
            xml.attribute("value", c.blur_values[i]);
            xml.attribute("globalID", c.blur_ids[i]);
            xml.endEmpty();
        }
        xml.close(depth + 1, "blur_points_set");
    }
    xml.close(depth, "curve");
}

// One layer element holding the curves of its run; "locked" only when set.
void writeLayer(XmlText& xml, const CurveSet& set, int l, double halfWidth, double halfHeight)
{
    const Layer& layer = set.layers[l];
    const CurveRange run = set.layerRange(l);
    xml.open(1, "layer");
    xml.attribute("name", layer.name);
    xml.attribute("nb_curves", run.size());
    xml.attribute("visible", layer.visible ? 1 : 0);
    xml.attribute("opacity", layer.opacity);
    if (layer.locked)
        xml.attribute("locked", 1);
    if (run.size() == 0) {
        xml.endEmpty();
        return;
    }
    xml.endStart();
    for (int i = run.first; i < run.end; ++i)
        writeCurve(xml, 2, set.curves[i], halfWidth, halfHeight);
    xml.close(1, "layer");
}

void reportSaveError(const QString& path, const QString& reason, QString* cause)
{
    if (cause)
        *cause = reason;
    std::cerr << "[!]> Cannot save \"" << path.toLocal8Bit().constData()
              << "\": " << reason.toLocal8Bit().constData() << std::endl;
}

} // namespace

QByteArray writeCurveSetXml(const CurveSet& set)
{
    int points = 0;
    for (const Curve& c : set.curves)
        points += c.control_points.size() + c.left_colors.size() + c.right_colors.size()
                  + c.blur_values.size();
    XmlText xml(256 + 200 * set.curves.size() + 60 * points);

    xml.raw("<!DOCTYPE CurveSetXML>\n");
    xml.open(0, "curve_set");
    xml.attribute("image_width", set.image_width);
    xml.attribute("image_height", set.image_height);
    xml.attribute("nb_curves", set.curves.size());
    if (set.colour_space != ColourSpace::Srgb)
        xml.attribute("colour_space", colourSpaceName(set.colour_space));
    // A drawing of one plain layer is written without a layer element, as every file was before
    // layers existed.
    const bool layered = !isSingleDefaultLayer(set);
    if (set.curves.isEmpty() && !layered) {
        xml.endEmpty();
        return xml.take();
    }
    xml.endStart();
    const double halfWidth = set.image_width * 0.5;
    const double halfHeight = set.image_height * 0.5;
    if (layered) {
        for (int l = 0; l < set.layers.size(); ++l)
            writeLayer(xml, set, l, halfWidth, halfHeight);
    } else {
        for (const Curve& c : set.curves)
            writeCurve(xml, 1, c, halfWidth, halfHeight);
    }
    xml.close(0, "curve_set");
    return xml.take();
}

bool saveXml(const CurveSet& set, const QString& path, QString* cause)
{
    if (path.isEmpty()) {
        if (cause)
            *cause = "no file name was given";
        return false;
    }
    // The text goes to a temporary file beside the target, renamed over it only when every byte
    // is written, so a failed save leaves the previous file as it was.
    // Unbuffered, so that errno still names the cause of a failed write.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reportSaveError(path, writeErrorText(errno, path, file.errorString()), cause);
        return false;
    }
    const QByteArray text = writeCurveSetXml(set);
    errno = 0;
    if (file.write(text) != text.size()) {
        reportSaveError(path, writeErrorText(errno, path, file.errorString()), cause);
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        reportSaveError(path, writeErrorText(errno, path, file.errorString()), cause);
        return false;
    }
    return true;
}
