#include "curve_geometry.h"

#include "pick_names.h"

#include <QColor>

namespace {

// Channels of a sample colour in 0 .. 1; an invalid colour (empty list) counts as black.
void channels(const QColor& c, float out[3])
{
    if (!c.isValid()) {
        out[0] = out[1] = out[2] = 0.0f;
        return;
    }
    out[0] = c.red() / 255.0f;
    out[1] = c.green() / 255.0f;
    out[2] = c.blue() / 255.0f;
}

int channel(const QColor& c, int k)
{
    if (!c.isValid())
        return 0;
    return k == 0 ? c.red() : (k == 1 ? c.green() : c.blue());
}

// A sample colour in `space` (an invalid colour counts as black).
ColourTriple inSpace(const QColor& c, ColourSpace space)
{
    return fromSrgb8(space, channel(c, 0), channel(c, 1), channel(c, 2));
}

void channels(const QColor& c, ColourSpace space, float out[3])
{
    if (space == ColourSpace::Srgb) {
        channels(c, out); // the sRGB values exactly as the GL's 8-bit images hold them
        return;
    }
    const ColourTriple value = inSpace(c, space);
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<float>(value[k]);
}

bool hasSegment(const Curve& curve) { return curve.nb_control_points > 3; }

} // namespace

std::vector<GradientPairVertex> gradientPairVertices(const Curve& curve, ColourSpace space)
{
    std::vector<GradientPairVertex> out;
    if (!hasSegment(curve))
        return out;
    out.reserve(static_cast<size_t>(curve.segmentCount()) * 11);
    curve.forEachSample([&](const CurveSample& s) {
        double jump[3]; // left - right in `space`
        if (space == ColourSpace::Srgb) {
            for (int k = 0; k < 3; ++k)
                jump[k] = (channel(s.left, k) - channel(s.right, k)) / 255.0;
        } else {
            const ColourTriple left = inSpace(s.left, space), right = inSpace(s.right, space);
            for (int k = 0; k < 3; ++k)
                jump[k] = left[k] - right[k];
        }
        GradientPairVertex v;
        v.position = s.point;
        for (int k = 0; k < 3; ++k) {
            v.x[k] = static_cast<float>(0.5 + 0.5 * s.normal.x * jump[k]);
            v.y[k] = static_cast<float>(0.5 + 0.5 * s.normal.y * jump[k]);
        }
        out.push_back(v);
    });
    return out;
}

std::vector<GradientVertex> gradientLineVertices(const Curve& curve, int axis, ColourSpace space)
{
    std::vector<GradientVertex> out;
    for (const GradientPairVertex& pair : gradientPairVertices(curve, space)) {
        const float* rgb = axis == 0 ? pair.x : pair.y;
        out.push_back({pair.position, {rgb[0], rgb[1], rgb[2]}});
    }
    return out;
}

std::vector<ConstraintVertex> constraintStripVertices(const Curve& curve, double halfWidth,
                                                      ColourSpace space)
{
    std::vector<ConstraintVertex> out;
    if (!hasSegment(curve))
        return out;
    out.reserve(static_cast<size_t>(curve.segmentCount()) * 22);
    curve.forEachSample([&](const CurveSample& s) {
        ConstraintVertex v;
        channels(s.left, space, v.left);
        channels(s.right, space, v.right);
        v.side = 0.0f;
        v.position = s.point - s.normal * halfWidth;
        out.push_back(v);
        v.side = 1.0f;
        v.position = s.point + s.normal * halfWidth;
        out.push_back(v);
    });
    return out;
}

std::vector<BlurVertex> blurStripVertices(const Curve& curve, double halfWidth)
{
    std::vector<BlurVertex> out;
    if (!hasSegment(curve))
        return out;
    out.reserve(static_cast<size_t>(curve.segmentCount()) * 22);
    curve.forEachSample([&](const CurveSample& s) {
        const float grey = static_cast<float>(s.blur / static_cast<double>(kMaxBlur));
        out.push_back({s.point - s.normal * halfWidth, grey});
        out.push_back({s.point + s.normal * halfWidth, grey});
    });
    return out;
}

std::vector<std::vector<Point>> segmentPolylines(const Curve& curve)
{
    std::vector<std::vector<Point>> out;
    if (!hasSegment(curve))
        return out;
    int lastSegment = -1;
    curve.forEachSample([&](const CurveSample& s) {
        if (s.b != lastSegment) {
            out.emplace_back();
            out.back().reserve(11);
            lastSegment = s.b;
        }
        out.back().push_back(s.point);
    });
    return out;
}

std::vector<SamplePiece> samplePieces(const Curve& curve)
{
    std::vector<SamplePiece> out;
    // Every whole segment, t < 1: one piece per sample step, the last one overhanging the
    // segment end by a hair so that the whole segment is covered.
    for (int b = 0; b + 3 < curve.nb_control_points; b += 3) {
        const int s = b / 3;
        for (double t = 0.0; t < 1.0; t += sampleStep) {
            out.push_back(
                {samplePiecePickName(s, t), curve.pointAt(t, b), curve.pointAt(t + sampleStep, b)});
        }
    }
    return out;
}

bool attributePointFrame(const Curve& curve, int globalID, Point& position, Point& normal)
{
    const int segments = curve.segmentCount();
    if (segments < 1 || globalID < 0 || globalID > kSamplesPerSegment * segments)
        return false;
    const int b = (globalID / kSamplesPerSegment) * 3;
    const double t = (globalID % kSamplesPerSegment) / static_cast<double>(kSamplesPerSegment);
    position = curve.pointAt(t, b);
    normal = curve.normalAt(t, b);
    return true;
}
