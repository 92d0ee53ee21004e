// The only unit that includes qpdf, which lays out the PDF's objects, cross-reference table and
// compressed streams.
#include "pdf_file.h"

#include <qpdf/Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {

constexpr double kCoordinateSteps = 16777215.0; // 24 bits

struct Bounds {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The page's coordinates of canvas point p.
double toPage(double c, double pageSize) { return (c + 1.0) * 0.5 * pageSize; }

Bounds boundsOf(const GouraudMesh& mesh, double pageSize)
{
    Bounds b{1e300, 1e300, -1e300, -1e300};
    for (const ShadedTriangle& t : mesh)
        for (const ShadedVertex& v : t.corners) {
            const double x = toPage(v.position.x, pageSize), y = toPage(v.position.y, pageSize);
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
        }
    // A range of zero width cannot be decoded: widen it.
    if (b.x1 <= b.x0)
        b.x1 = b.x0 + 1.0;
    if (b.y1 <= b.y0)
        b.y1 = b.y0 + 1.0;
    return b;
}

void putBigEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(char((value >> (8 * i)) & 0xff));
}

std::uint32_t quantise(double value, double from, double to, double steps)
{
    const double t = std::clamp((value - from) / (to - from), 0.0, 1.0);
    return std::uint32_t(std::lround(t * steps));
}

// Which colours a shading carries: all three channels, or one as the parameter t.
constexpr int kAllChannels = -1;

// A vertex as the shading's data holds it after its flag: x and y in 24 bits over the decode
// range (a 30000th of a point on a page of 512), then r, g, b in 16 bits, or for one channel
// only its value as t in 16 bits.
using VertexData = std::string;

VertexData vertexData(const ShadedVertex& v, const Bounds& b, double pageSize, int channel)
{
    VertexData data;
    putBigEndian(data, quantise(toPage(v.position.x, pageSize), b.x0, b.x1, kCoordinateSteps), 3);
    putBigEndian(data, quantise(toPage(v.position.y, pageSize), b.y0, b.y1, kCoordinateSteps), 3);
    for (int c = 0; c < 3; ++c)
        if (channel == kAllChannels || channel == c)
            putBigEndian(data, quantise(v.rgb[size_t(c)], 0.0, 255.0, 65535.0), 2);
    return data;
}

using TriangleData = std::array<VertexData, 3>;

// The index of the corner of t that is neither a nor b, where t has both; -1 where it has not.
int thirdCorner(const TriangleData& t, const VertexData& a, const VertexData& b)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != j && t[size_t(i)] == a && t[size_t(j)] == b)
                return 3 - i - j;
    return -1;
}

// t turned so that its last two corners are an edge of `next` (where they share one): the
// edge that a triangle chained after it reuses.
TriangleData turnedTowards(const TriangleData& t, const TriangleData& next)
{
    for (int k = 0; k < 3; ++k)
        if (thirdCorner(next, t[size_t((k + 1) % 3)], t[size_t((k + 2) % 3)]) >= 0)
            return {t[size_t(k)], t[size_t((k + 1) % 3)], t[size_t((k + 2) % 3)]};
    return t;
}

// The shading's data, the triangles in their order: each an 8-bit flag and a vertex. A triangle
// that shares two vertices (positions and colours alike) with the one before gives only its
// third, with flag 1 after that one's last two (vb, vc) or flag 2 after its first and last
// (va, vc); any other gives its three with flag 0. Chaining makes a strip of n triangles n + 2
// vertices instead of 3n.
std::string meshData(const GouraudMesh& mesh, const Bounds& b, double pageSize, int channel)
{
    std::vector<TriangleData> triangles(mesh.size());
    for (size_t i = 0; i < mesh.size(); ++i)
        for (size_t k = 0; k < 3; ++k)
            triangles[i][k] = vertexData(mesh[i].corners[k], b, pageSize, channel);
    std::string data;
    TriangleData previous;
    for (size_t i = 0; i < triangles.size(); ++i) {
        const TriangleData& t = triangles[i];
        if (i > 0) {
            const int afterLastTwo = thirdCorner(t, previous[1], previous[2]);
            if (afterLastTwo >= 0) {
                data += char(1) + t[size_t(afterLastTwo)];
                previous = {previous[1], previous[2], t[size_t(afterLastTwo)]};
                continue;
            }
            const int afterFirstAndLast = thirdCorner(t, previous[0], previous[2]);
            if (afterFirstAndLast >= 0) {
                data += char(2) + t[size_t(afterFirstAndLast)];
                previous = {previous[0], previous[2], t[size_t(afterFirstAndLast)]};
                continue;
            }
        }
        previous = i + 1 < triangles.size() ? turnedTowards(t, triangles[i + 1]) : t;
        for (const VertexData& v : previous)
            data += char(0) + v;
    }
    return data;
}

// t (0 .. 1) to the colour whose `channel` is t and whose other channels are 0.
QPDFObjectHandle channelFunction(int channel)
{
    std::string c1;
    for (int c = 0; c < 3; ++c)
        c1 += c == channel ? " 1" : " 0";
    return QPDFObjectHandle::parse("<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0] /C1 [" + c1
                                   + " ] /N 1 >>");
}

QPDFObjectHandle shadingStream(QPDF& pdf, const GouraudMesh& mesh, double pageSize, int channel)
{
    const Bounds b = boundsOf(mesh, pageSize);
    QPDFObjectHandle shading =
        QPDFObjectHandle::newStream(&pdf, meshData(mesh, b, pageSize, channel));
    QPDFObjectHandle dict = shading.getDict();
    dict.replaceKey("/ShadingType", QPDFObjectHandle::newInteger(4));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    dict.replaceKey("/BitsPerCoordinate", QPDFObjectHandle::newInteger(24));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(16));
    dict.replaceKey("/BitsPerFlag", QPDFObjectHandle::newInteger(8));
    const std::string colours = channel == kAllChannels ? " 0 1 0 1 0 1]" : " 0 1]";
    dict.replaceKey("/Decode", QPDFObjectHandle::parse(
                                   "[" + std::to_string(b.x0) + " " + std::to_string(b.x1) + " "
                                   + std::to_string(b.y0) + " " + std::to_string(b.y1) + colours));
    if (channel != kAllChannels)
        dict.replaceKey("/Function", channelFunction(channel));
    return shading;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// The clip path of a layer: one closed sub-path per polygon, filled by the non-zero rule.
std::string clipPath(const std::vector<std::vector<Point>>& polygons, double pageSize)
{
    std::string path;
    for (const std::vector<Point>& polygon : polygons) {
        for (size_t i = 0; i < polygon.size(); ++i)
            path += number(toPage(polygon[i].x, pageSize)) + " "
                    + number(toPage(polygon[i].y, pageSize)) + (i == 0 ? " m\n" : " l\n");
        path += "h\n";
    }
    return path + "W n\n";
}

// The content that paints `layer` as the shading `name`, inside the layer's clip.
std::string paintLayer(const ShadedLayer& layer, const std::string& name, double pageSize)
{
    if (layer.clip.empty())
        return name + " sh\n";
    return "q\n" + clipPath(layer.clip, pageSize) + name + " sh\nQ\n";
}

// Shadings of `layers` with the given perChannel flag, as `channel`, added to `shadings`
// (named /Sh0, /Sh1, ... from `count` on), and the content that paints them.
std::string paintLayers(QPDF& pdf, const std::vector<ShadedLayer>& layers, bool perChannel,
                        int channel, double pageSize, QPDFObjectHandle& shadings, int& count)
{
    std::string content;
    for (const ShadedLayer& layer : layers) {
        if (layer.mesh.empty() || layer.perChannel != perChannel)
            continue;
        const std::string name = "/Sh" + std::to_string(count++);
        shadings.replaceKey(name, pdf.makeIndirectObject(
                                      shadingStream(pdf, layer.mesh, pageSize, channel)));
        content += paintLayer(layer, name, pageSize);
    }
    return content;
}

// The per-channel layers' `channel` alone, the others black, as an isolated transparency group
// (a form XObject over the page).
QPDFObjectHandle channelGroup(QPDF& pdf, const std::vector<ShadedLayer>& layers, int channel,
                              double pageSize)
{
    QPDFObjectHandle shadings = QPDFObjectHandle::newDictionary();
    int count = 0;
    const std::string content = paintLayers(pdf, layers, true, channel, pageSize, shadings, count);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Shading", shadings);
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&pdf, content);
    QPDFObjectHandle dict = form.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    dict.replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 " + number(pageSize) + " "
                                                     + number(pageSize) + "]"));
    dict.replaceKey("/Group", QPDFObjectHandle::parse(
                                  "<< /Type /Group /S /Transparency /CS /DeviceRGB /I true >>"));
    dict.replaceKey("/Resources", resources);
    return pdf.makeIndirectObject(form);
}

} // namespace

QByteArray shadedPdf(const std::vector<ShadedLayer>& layers, double pageSize, QString* error)
{
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        std::string content;
        const bool anyPerChannel =
            std::any_of(layers.begin(), layers.end(), [](const ShadedLayer& layer) {
                return layer.perChannel && !layer.mesh.empty();
            });
        if (anyPerChannel) {
            const std::string side = number(pageSize);
            content += "q\n0 0 0 rg\n0 0 " + side + " " + side + " re\nf\n/Lighten gs\n";
            QPDFObjectHandle groups = QPDFObjectHandle::newDictionary();
            for (int channel = 0; channel < 3; ++channel) {
                const std::string name = "/Channel" + std::to_string(channel);
                groups.replaceKey(name, channelGroup(pdf, layers, channel, pageSize));
                content += name + " Do\n";
            }
            content += "Q\n";
            resources.replaceKey("/XObject", groups);
            resources.replaceKey("/ExtGState",
                                 QPDFObjectHandle::parse(
                                     "<< /Lighten << /Type /ExtGState /BM /Lighten >> >>"));
        }
        QPDFObjectHandle shadings = QPDFObjectHandle::newDictionary();
        int count = 0;
        content += paintLayers(pdf, layers, false, kAllChannels, pageSize, shadings, count);
        resources.replaceKey("/Shading", shadings);
        QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 " + number(pageSize) + " "
                                                             + number(pageSize) + "]"));
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents",
                        pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, content)));
        QPDFPageDocumentHelper(pdf).addPage(pdf.makeIndirectObject(page), false);

        Pl_Flate::setCompressionLevel(9);
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setCompressStreams(true);
        writer.setDeterministicID(true);
        writer.write();
        const std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(bytes->getBuffer()), int(bytes->getSize()));
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return QByteArray();
    }
}
