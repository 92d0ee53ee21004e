#include "curve_geometry.h"

#include "pick_names.h"
#include "shader_constants.h"

#include <QColor>

namespace {

int channel(const QColor& c, int k)
{
    if (!c.isValid())
        return 0;
    return k == 0 ? c.red() : (k == 1 ? c.green() : c.blue());
}

// Opacity 0..255 of a sample colour; an invalid colour (empty list) is opaque.
int opacity(const QColor& c) { return c.isValid() ? c.alpha() : 255; }

// A sample's diffused colour in double precision (see diffusedColour).
void diffused(const QColor& c, ColourSpace space, double out[4])
{
    const int a = opacity(c);
    if (space == ColourSpace::Srgb) {
        // Opaque: the sRGB values exactly as the GL's 8-bit images hold them.
        for (int k = 0; k < 3; ++k)
            out[k] = a == 255 ? channel(c, k) / 255.0 : channel(c, k) * a / (255.0 * 255.0);
    } else {
        const ColourTriple value = fromSrgb8(space, channel(c, 0), channel(c, 1), channel(c, 2));
        for (int k = 0; k < 3; ++k)
            out[k] = value[k] * (a / 255.0);
    }
    out[3] = a == 255 ? 1.0 : kOpacityFloor + (1.0 - kOpacityFloor) * (a / 255.0);
}

bool hasSegment(const Curve& curve) { return curve.nb_control_points > 3; }

} // namespace

void diffusedColour(const QColor& c, ColourSpace space, float out[4])
{
    double value[4];
    diffused(c, space, value);
    for (int k = 0; k < 4; ++k)
        out[k] = static_cast<float>(value[k]);
}

std::vector<GradientPairVertex> gradientPairVertices(const Curve& curve, ColourSpace space)
{
    std::vector<GradientPairVertex> out;
    if (!hasSegment(curve))
        return out;
    out.reserve(static_cast<size_t>(curve.segmentCount()) * 11);
    curve.forEachSample([&](const CurveSample& s) {
        double left[4], right[4];
        diffused(s.left, space, left);
        diffused(s.right, space, right);
        GradientPairVertex v;
        v.position = s.point;
        for (int k = 0; k < 4; ++k) {
            const double jump = left[k] - right[k];
            v.x[k] = static_cast<float>(0.5 + 0.5 * s.normal.x * jump);
            v.y[k] = static_cast<float>(0.5 + 0.5 * s.normal.y * jump);
        }
        out.push_back(v);
    });
    return out;
}

std::vector<GradientVertex> gradientLineVertices(const Curve& curve, int axis, ColourSpace space)
{
    std::vector<GradientVertex> out;
    for (const GradientPairVertex& pair : gradientPairVertices(curve, space)) {
        const float* value = axis == 0 ? pair.x : pair.y;
        out.push_back({pair.position, {value[0], value[1], value[2], value[3]}});
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
        diffusedColour(s.left, space, v.left);
        diffusedColour(s.right, space, v.right);
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
