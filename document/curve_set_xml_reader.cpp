#include "console_diagnostics.h"
#include "curve_set.h"
#include "curve_set_selection.h"
#include "curve_set_xml.h"
#include "curve_transforms.h"
#include "file_access.h"
#include "xml_limits.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <new>
#include <numeric>

namespace {

// The format nests five levels deep (four without layers); anything far deeper is hostile and is
// refused before it can cost memory.
constexpr int kMaxDepth = 64;
// Largest image side accepted, in pixels.
constexpr int kMaxImageSide = 65536;
// Control point coordinates are pixels of that image; beyond this they are garbage.
constexpr double kMaxPixelCoordinate = 1e7;
// globalID counts ten steps per segment; beyond this no real curve reaches.
constexpr double kMaxGlobalID = 1e8;
// Largest drawing file read. A drawing of a million points takes some 60 MB; the reader's
// memory stays a small multiple of this.
constexpr qint64 kMaxFileSize = qint64(64) << 20;
// The format's elements carry at most five attributes; the parser's cost grows with the square
// of their number on one element.
constexpr int kMaxAttributes = 256;
// Characters that entity references may expand to in all, nested ones included.
constexpr qint64 kMaxEntityExpansion = qint64(16) << 20;

// Walks a CurveSetXML document with a stream reader, following the reading rules of the format:
// after the first "curve" of the root (or of a "layer") every further child element counts as a
// curve, and after the first point element of a set every further child element counts as such
// a point. Numbers that are missing or not numbers read as 0; numbers that are non-finite or out
// of range fail. The attributes that came with layers ("A", and those of "layer") are stricter:
// absent they take their default, present they must be usable.
class Reader {
public:
    // `text` is `data` decoded, for the bound on entity expansion.
    Reader(const QByteArray& data, const QString& text, CurveSet& set, const ReadProgress& progress)
        : xml_(data), text_(text), set_(set), progress_(progress)
    {
    }

    bool read(QString& reason)
    {
        const bool ok = readDocument();
        if (!ok)
            reason = reason_;
        return ok;
    }

private:
    bool fail(const QString& why)
    {
        if (reason_.isEmpty())
            reason_ = why;
        return false;
    }

    bool xmlError()
    {
        return fail(QStringLiteral("not well-formed XML (line %1, column %2: %3)")
                        .arg(xml_.lineNumber())
                        .arg(xml_.columnNumber())
                        .arg(xml_.errorString()));
    }

    // Moves to the next child element of the element being read. False at its end tag (clean)
    // or on an error (reason_ set).
    bool nextChild(bool& ok)
    {
        while (!xml_.atEnd()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement: return true;
            case QXmlStreamReader::EndElement: return false;
            case QXmlStreamReader::Invalid: ok = xmlError(); return false;
            default: break;
            }
        }
        ok = xmlError();
        return false;
    }

    // Skips the element just started, with its whole subtree, refusing absurd nesting.
    bool skipElement(int depth)
    {
        int level = 1;
        while (level > 0) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement:
                if (depth + ++level > kMaxDepth)
                    return fail(QStringLiteral("elements nested more than %1 deep").arg(kMaxDepth));
                break;
            case QXmlStreamReader::EndElement: --level; break;
            case QXmlStreamReader::Invalid: return xmlError();
            default:
                if (xml_.atEnd())
                    return xmlError();
                break;
            }
        }
        return true;
    }

    // The attribute's text; a null string when the element has no such attribute. A copy: a
    // reference into the reader's attribute list would outlive the temporary list it came from.
    QString attribute(const char* name) const
    {
        return xml_.attributes().value(QLatin1String(name)).toString();
    }

    // A real attribute; 0 when missing or not a number. False when it is not finite, also when
    // it overflows a double.
    bool real(const char* name, double& value)
    {
        const QString text = attribute(name);
        bool parsed = false;
        const double v = text.toDouble(&parsed);
        value = parsed || std::isinf(v) ? v : 0.0;
        if (!std::isfinite(value))
            return fail(QStringLiteral("non-finite \"%1\" in \"%2\"")
                            .arg(QLatin1String(name), xml_.qualifiedName()));
        return true;
    }

    // An integer attribute; 0 when missing or not an integer.
    int integer(const char* name) const
    {
        bool parsed = false;
        const int v = attribute(name).toInt(&parsed);
        return parsed ? v : 0;
    }

    bool inRange(const char* name, double value, double low, double high)
    {
        if (value >= low && value <= high)
            return true;
        return fail(QStringLiteral("\"%1\" = \"%2\" in \"%3\" is outside %4 .. %5")
                        .arg(QLatin1String(name), attribute(name), xml_.qualifiedName().toString())
                        .arg(low)
                        .arg(high));
    }

    bool readDocument()
    {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::Invalid)
                return xmlError();
            // The internal entities are known once the document type is read, before any
            // reference to them is expanded.
            if (token == QXmlStreamReader::DTD && !entitiesBounded())
                return false;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml_.qualifiedName() != QLatin1String("curve_set"))
                return fail(QStringLiteral("the root element is \"%1\", not \"curve_set\"")
                                .arg(xml_.qualifiedName()));
            if (!readCurveSet())
                return false;
            // Read to the end so that trailing garbage is noticed.
            while (!xml_.atEnd())
                if (xml_.readNext() == QXmlStreamReader::Invalid)
                    return xmlError();
            return true;
        }
        return fail(xml_.hasError()
                        ? QStringLiteral("not well-formed XML (%1)").arg(xml_.errorString())
                        : QStringLiteral("no root element"));
    }

    bool entitiesBounded()
    {
        if (entityExpansionBound(text_, xml_.entityDeclarations()) <= kMaxEntityExpansion)
            return true;
        return fail(QStringLiteral("its entities expand to more than %1 characters")
                        .arg(kMaxEntityExpansion));
    }

    bool imageSide(const char* name, int& side)
    {
        const QString text = attribute(name);
        bool parsed = false;
        side = text.toInt(&parsed);
        if (text.isNull())
            return fail(QStringLiteral("no \"%1\" on \"curve_set\"").arg(QLatin1String(name)));
        if (!parsed || side < 1 || side > kMaxImageSide)
            return fail(QStringLiteral("unusable \"%1\" = \"%2\" (1 .. %3 pixels expected)")
                            .arg(QLatin1String(name), text)
                            .arg(kMaxImageSide));
        return true;
    }

    // The optional "colour_space": absent means sRGB; a name this program does not know is
    // refused rather than rendered in the wrong space.
    bool colourSpace()
    {
        const QString text = attribute("colour_space");
        if (text.isNull()) {
            set_.colour_space = ColourSpace::Srgb;
            return true;
        }
        if (colourSpaceFromName(text, &set_.colour_space))
            return true;
        return fail(QStringLiteral("unknown \"colour_space\" = \"%1\" (srgb, linear or oklab "
                                   "expected)")
                        .arg(text));
    }

    // The children of "curve_set": skipped up to the first "curve" or "layer". A "curve" first
    // makes the file one of a single layer, read as files were before layers; a "layer" first
    // makes every further "layer" a layer, and a "curve" beside them is refused.
    bool readCurveSet()
    {
        if (!imageSide("image_width", set_.image_width)
            || !imageSide("image_height", set_.image_height) || !colourSpace())
            return false;
        bool ok = true;
        int layersRead = 0;
        while (nextChild(ok)) {
            const QStringRef name = xml_.qualifiedName();
            bool done = true;
            if (layersRead == 0 && name == QLatin1String("curve"))
                return readCurvesFromHere(1);
            if (name == QLatin1String("layer"))
                done = readLayer(layersRead++);
            else if (layersRead > 0 && name == QLatin1String("curve"))
                done = fail(QStringLiteral("a \"curve\" lies beside \"layer\" elements; in a "
                                           "drawing with layers every curve belongs to a layer"));
            else
                done = skipElement(1);
            if (!done)
                return false;
        }
        return ok;
    }

    // Reads the element just started and every further sibling as curves, at `depth`.
    bool readCurvesFromHere(int depth)
    {
        bool ok = true;
        do {
            if (!readCurve(depth))
                return false;
        } while (nextChild(ok));
        return ok;
    }

    // The children of a "layer": skipped up to the first "curve", which starts the curves.
    bool readCurvesOfLayer()
    {
        bool ok = true;
        while (nextChild(ok)) {
            if (xml_.qualifiedName() == QLatin1String("curve"))
                return readCurvesFromHere(2);
            if (!skipElement(2))
                return false;
        }
        return ok;
    }

    // A "layer": its settings become layer number `index` (the set's first layer for index 0),
    // which becomes current so that its curves go into it.
    bool readLayer(int index)
    {
        if (index >= kMaxLayers)
            return fail(QStringLiteral("more than %1 layers").arg(kMaxLayers));
        Layer layer;
        if (!layerSettings(layer))
            return false;
        if (index == 0)
            set_.layers = {layer};
        else
            set_.layers.append(layer);
        set_.current_layer = index;
        set_.current_curve = -1;
        return readCurvesOfLayer();
    }

    bool layerSettings(Layer& layer)
    {
        const QString name = attribute("name");
        if (name.size() > kMaxLayerNameLength)
            return fail(QStringLiteral("a \"layer\" name is longer than %1 characters")
                            .arg(kMaxLayerNameLength));
        layer.name = cleanLayerName(name);
        if (!flag("visible", true, layer.visible) || !flag("locked", false, layer.locked))
            return false;
        const QString opacity = attribute("opacity");
        if (opacity.isNull())
            return true;
        bool parsed = false;
        layer.opacity = opacity.toDouble(&parsed);
        if (!parsed || !(layer.opacity >= 0.0 && layer.opacity <= 1.0))
            return fail(QStringLiteral("unusable \"opacity\" = \"%1\" in \"layer\" (0 .. 1 "
                                       "expected)")
                            .arg(opacity));
        return true;
    }

    // An optional 0 / 1 attribute.
    bool flag(const char* name, bool absent, bool& value)
    {
        const QString text = attribute(name);
        value = text.isNull() ? absent : text == QLatin1String("1");
        if (text.isNull() || text == QLatin1String("0") || text == QLatin1String("1"))
            return true;
        return fail(QStringLiteral("unusable \"%1\" = \"%2\" in \"layer\" (0 or 1 expected)")
                        .arg(QLatin1String(name), text));
    }

    // `depth`: the curve element's depth (1 under "curve_set", 2 in a "layer").
    bool readCurve(int depth)
    {
        constexpr int kCurvesPerReport = 256;
        if (progress_ && set_.nb_curves % kCurvesPerReport == 0)
            progress_(xml_.characterOffset(), text_.size());
        set_.newCurve();
        set_.curve(set_.current_curve).lifetime = integer("lifetime");
        bool pointsRead = false, leftRead = false, rightRead = false, blurRead = false;
        bool ok = true;
        while (nextChild(ok)) {
            const QStringRef name = xml_.qualifiedName();
            bool done = true;
            if (!pointsRead && name == QLatin1String("control_points_set")) {
                pointsRead = true;
                done = readPointSet("control_point", &Reader::readControlPoint, depth + 1);
            } else if (!leftRead && name == QLatin1String("left_colors_set")) {
                leftRead = true;
                done = readPointSet("left_color", &Reader::readLeftColor, depth + 1);
            } else if (!rightRead && name == QLatin1String("right_colors_set")) {
                rightRead = true;
                done = readPointSet("right_color", &Reader::readRightColor, depth + 1);
            } else if (!blurRead && name == QLatin1String("blur_points_set")) {
                blurRead = true;
                done = readPointSet("best_scale", &Reader::readBlurPoint, depth + 1);
            } else {
                done = skipElement(depth + 1);
            }
            if (!done)
                return false;
        }
        return ok;
    }

    // Reads the children of a point set: elements are skipped until the first one named
    // `pointName`; from there on every child element is read as a point.
    // `depth`: the set element's depth.
    bool readPointSet(const char* pointName, bool (Reader::*readPoint)(), int depth)
    {
        bool ok = true;
        bool pointsStarted = false;
        while (nextChild(ok)) {
            if (!pointsStarted && xml_.qualifiedName() != QLatin1String(pointName)) {
                if (!skipElement(depth + 1))
                    return false;
                continue;
            }
            pointsStarted = true;
            if (!(this->*readPoint)() || !skipElement(depth + 1))
                return false;
        }
        return ok;
    }

    bool readControlPoint()
    {
        double row = 0.0, column = 0.0;
        if (!real("x", row) || !real("y", column)
            || !inRange("x", row, -kMaxPixelCoordinate, kMaxPixelCoordinate)
            || !inRange("y", column, -kMaxPixelCoordinate, kMaxPixelCoordinate))
            return false;
        const double canvasY = 1.0 - row / (set_.image_height * 0.5);
        const double canvasX = column / (set_.image_width * 0.5) - 1.0;
        set_.appendControlPoint(canvasX, canvasY);
        return true;
    }

    // A colour point: "B" holds red and "R" blue; channels and globalID are reals, floored. The
    // opacity "A" is 255 when absent.
    bool readColor(QColor& color, int& globalID)
    {
        double red = 0.0, green = 0.0, blue = 0.0, alpha = 255.0, id = 0.0;
        if (!real("B", red) || !real("G", green) || !real("R", blue) || !real("globalID", id)
            || !opacity(alpha))
            return false;
        red = std::floor(red);
        green = std::floor(green);
        blue = std::floor(blue);
        id = std::floor(id);
        if (!inRange("B", red, 0, 255) || !inRange("G", green, 0, 255)
            || !inRange("R", blue, 0, 255) || !inRange("A", alpha, 0, 255)
            || !inRange("globalID", id, 0, kMaxGlobalID))
            return false;
        color = QColor(int(red), int(green), int(blue), int(alpha));
        globalID = int(id);
        return true;
    }

    // The optional "A" of a colour point, floored; 255 when absent, refused when not a number.
    bool opacity(double& alpha)
    {
        const QString text = attribute("A");
        if (text.isNull())
            return true;
        bool parsed = false;
        alpha = std::floor(text.toDouble(&parsed));
        if (parsed)
            return true;
        return fail(QStringLiteral("unusable \"A\" = \"%1\" in \"%2\" (0 .. 255 expected)")
                        .arg(text, xml_.qualifiedName().toString()));
    }

    bool readLeftColor()
    {
        QColor color;
        int id = 0;
        if (!readColor(color, id))
            return false;
        set_.appendLeftColor(id, false, color);
        return true;
    }

    bool readRightColor()
    {
        QColor color;
        int id = 0;
        if (!readColor(color, id))
            return false;
        set_.appendRightColor(id, false, color);
        return true;
    }

    // A blur point: "value" and "globalID" are integers (a real such as 12.7 reads as 0).
    bool readBlurPoint()
    {
        const int value = integer("value");
        const int id = integer("globalID");
        if (!inRange("value", value, 0, kMaxBlur) || !inRange("globalID", id, 0, kMaxGlobalID))
            return false;
        set_.appendBlur(id, false, value);
        return true;
    }

    QXmlStreamReader xml_;
    const QString& text_;
    CurveSet& set_;
    const ReadProgress& progress_;
    QString reason_;
};

// Reorders one attribute list by globalID (stable), keeping values paired with their positions.
template <typename Value>
void sortByPosition(QVector<Value>& values, QVector<int>& ids)
{
    if (std::is_sorted(ids.begin(), ids.end()) || values.size() != ids.size())
        return;
    std::vector<int> order(ids.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return ids[a] < ids[b]; });
    QVector<Value> sortedValues;
    QVector<int> sortedIds;
    for (int k : order) {
        sortedValues.append(values[k]);
        sortedIds.append(ids[k]);
    }
    values = sortedValues;
    ids = sortedIds;
}

// Makes a curve read from a file safe to draw and edit: control points past the last whole
// segment are dropped and attribute lists written out of order are sorted by position. The file
// keeps no default colours or blur: the curve takes those of its first points, so that selecting
// it shows its own colours; a side without points keeps the set's current one.
void tidyCurve(Curve& c)
{
    if (c.control_points.size() >= 4 && (c.control_points.size() - 1) % 3 != 0) {
        c.control_points.resize(c.control_points.size() - (c.control_points.size() - 1) % 3);
        c.nb_control_points = c.control_points.size();
        c.updateBoundingBox();
    }
    sortByPosition(c.left_colors, c.left_color_ids);
    sortByPosition(c.right_colors, c.right_color_ids);
    sortByPosition(c.blur_values, c.blur_ids);
    takeDefaultsFromPoints(c);
}

// Reads the whole input, refusing one larger than kMaxFileSize.
bool readLimited(QIODevice& input, QByteArray& data, QString& reason)
{
    const QString tooLarge =
        QStringLiteral("the file is larger than %1 MiB").arg(kMaxFileSize >> 20);
    if (!input.isSequential() && input.size() - input.pos() > kMaxFileSize) {
        reason = tooLarge;
        return false;
    }
    data = input.read(kMaxFileSize + 1);
    if (data.size() > kMaxFileSize) {
        reason = tooLarge;
        return false;
    }
    return true;
}

bool readWithinLimits(QIODevice& input, CurveSet& into, QString& reason,
                      const ReadProgress& progress)
{
    QByteArray data;
    if (!readLimited(input, data, reason))
        return false;
    const QString text = decodedXmlText(data);
    if (largestAttributeCount(text) > kMaxAttributes) {
        reason = QStringLiteral("an element has more than %1 attributes").arg(kMaxAttributes);
        return false;
    }
    Reader reader(data, text, into, progress);
    return reader.read(reason);
}

} // namespace

bool readCurveSetXml(QIODevice& input, CurveSet& into, QString& reason,
                     const ReadProgress& progress)
{
    try {
        if (!readWithinLimits(input, into, reason, progress))
            return false;
        // A curve ending a layer without a whole segment cannot be drawn, and the next stroke
        // would be merged into it: leave it out. (Only a layer's last curve can be unfinished:
        // the points of a curve after an unfinished one join it.)
        for (int l = into.layers.size() - 1; l >= 0; --l) {
            const CurveRange run = into.layerRange(l);
            if (run.size() > 0 && into.curves[run.end - 1].nb_control_points < 4)
                into.removeCurve(run.end - 1);
        }
        for (Curve& c : into.curves)
            tidyCurve(c);
        clearSelection(into);
        into.current_layer = into.layers.size() - 1;
        return true;
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("not enough memory to read it");
        return false;
    }
}

namespace {

void reportLoadError(const QString& path, const QString& reason, QString* cause)
{
    if (cause)
        *cause = reason;
    std::cerr << "[!]> Cannot load \"" << path.toLocal8Bit().constData()
              << "\": " << reason.toLocal8Bit().constData() << std::endl;
}

} // namespace

bool loadXml(CurveSet& set, const QString& path, QString* cause, const ReadProgress& progress)
{
    if (path.isEmpty()) {
        if (cause)
            *cause = "no file name was given";
        return false;
    }
    if (!QFileInfo::exists(path)) {
        std::cerr << "[!]> The file \"" << path.toLocal8Bit().constData() << "\" does not exist!"
                  << std::endl;
        if (cause)
            *cause = "the file does not exist";
        return false;
    }
    // Only a regular file: a FIFO would block the program, a device might never end.
    QFile file;
    QString why;
    if (!openRegularFile(file, path, why)) {
        reportLoadError(path, why, cause);
        return false;
    }

    // Parse into a fresh set so that a file failing half-way changes nothing here. New curves
    // take this set's current colours and blur as their defaults.
    CurveSet fresh;
    fresh.current_left_color = set.current_left_color;
    fresh.current_right_color = set.current_right_color;
    fresh.current_blur = set.current_blur;
    QString reason;
    if (!readCurveSetXml(file, fresh, reason, progress)) {
        reportLoadError(path, reason, cause);
        return false;
    }

    set.clear();
    clearSelection(set);
    set.selection_hull.clear();
    set.curves = fresh.curves;
    set.nb_curves = fresh.nb_curves;
    set.image_width = fresh.image_width;
    set.image_height = fresh.image_height;
    set.colour_space = fresh.colour_space;
    set.layers = fresh.layers;
    set.current_layer = fresh.current_layer;
    if (std::ostream* out = diagnosticStream(std::cout))
        *out << set.nb_curves << std::endl;
    return true;
}
