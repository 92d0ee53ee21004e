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

// The shading's data: per vertex an 8-bit flag (0: a new triangle), x and y in 24 bits over the
// decode range (a 30000th of a point on a page of 512), r, g, b in 16 bits.
std::string meshData(const GouraudMesh& mesh, const Bounds& b, double pageSize)
{
    std::string data;
    data.reserve(mesh.size() * 3 * 13);
    for (const ShadedTriangle& t : mesh)
        for (const ShadedVertex& v : t.corners) {
            data.push_back(0);
            putBigEndian(data,
                         quantise(toPage(v.position.x, pageSize), b.x0, b.x1, kCoordinateSteps), 3);
            putBigEndian(data,
                         quantise(toPage(v.position.y, pageSize), b.y0, b.y1, kCoordinateSteps), 3);
            for (float c : v.rgb)
                putBigEndian(data, quantise(c, 0.0, 255.0, 65535.0), 2);
        }
    return data;
}

QPDFObjectHandle shadingStream(QPDF& pdf, const GouraudMesh& mesh, double pageSize)
{
    const Bounds b = boundsOf(mesh, pageSize);
    QPDFObjectHandle shading = QPDFObjectHandle::newStream(&pdf, meshData(mesh, b, pageSize));
    QPDFObjectHandle dict = shading.getDict();
    dict.replaceKey("/ShadingType", QPDFObjectHandle::newInteger(4));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    dict.replaceKey("/BitsPerCoordinate", QPDFObjectHandle::newInteger(24));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(16));
    dict.replaceKey("/BitsPerFlag", QPDFObjectHandle::newInteger(8));
    dict.replaceKey("/Decode",
                    QPDFObjectHandle::parse("[" + std::to_string(b.x0) + " " + std::to_string(b.x1)
                                            + " " + std::to_string(b.y0) + " "
                                            + std::to_string(b.y1) + " 0 1 0 1 0 1]"));
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

} // namespace

QByteArray shadedPdf(const std::vector<ShadedLayer>& layers, double pageSize, QString* error)
{
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle shadings = QPDFObjectHandle::newDictionary();
        std::string content;
        int count = 0;
        for (const ShadedLayer& layer : layers) {
            if (layer.mesh.empty())
                continue;
            const std::string name = "/Sh" + std::to_string(count++);
            shadings.replaceKey(name,
                                pdf.makeIndirectObject(shadingStream(pdf, layer.mesh, pageSize)));
            if (layer.clip.empty())
                content += name + " sh\n";
            else
                content += "q\n" + clipPath(layer.clip, pageSize) + name + " sh\nQ\n";
        }
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
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
