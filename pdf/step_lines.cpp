#include "step_lines.h"

#include "curve_rendering.h"
#include "curve_set.h"

#include <cmath>

namespace {

struct Sample {
    Point point;
    Point normal;
    bool stepped = false;
};

Point unit(const Point& v, const Point& fallback)
{
    const double length = std::hypot(v.x, v.y);
    return length > 1e-12 ? Point(v.x / length, v.y / length) : fallback;
}

class LineBuilder {
public:
    explicit LineBuilder(std::vector<StepLine>* lines) : out(lines) {}
    void add(const Point& p, const Point& n)
    {
        if (!current.points.empty()) {
            const Point& last = current.points.back();
            if (std::hypot(p.x - last.x, p.y - last.y) <= 1e-9)
                return;
        }
        current.points.push_back(p);
        current.normals.push_back(n);
    }
    void finish()
    {
        if (current.points.size() >= 2)
            out->push_back(std::move(current));
        current = StepLine();
    }

private:
    std::vector<StepLine>* out;
    StepLine current;
};

void addCurveLines(const Curve& curve, bool blurred, double h, LineBuilder& builder)
{
    std::vector<Sample> samples;
    curve.forEachSample([&](const CurveSample& s) {
        samples.push_back({s.point, s.normal, !blurred || s.blur == 0});
    });
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& a = samples[i];
        if (!a.stepped) {
            builder.finish();
            continue;
        }
        builder.add(a.point, a.normal);
        if (i + 1 == samples.size() || !samples[i + 1].stepped)
            continue;
        const Sample& b = samples[i + 1];
        const Point middle((a.point.x + h * a.normal.x + b.point.x - h * b.normal.x) * 0.5,
                           (a.point.y + h * a.normal.y + b.point.y - h * b.normal.y) * 0.5);
        builder.add(middle,
                    unit(Point(a.normal.x + b.normal.x, a.normal.y + b.normal.y), a.normal));
    }
    builder.finish();
}

} // namespace

std::vector<StepLine> curveStepLines(const CurveSet& drawing, bool blurred, double halfWidth)
{
    std::vector<StepLine> lines;
    LineBuilder builder(&lines);
    for (const Curve& curve : drawing.curves) {
        if (curve.nb_control_points <= 3 || !isAboveLifetimeThreshold(curve))
            continue;
        addCurveLines(curve, blurred, halfWidth, builder);
    }
    return lines;
}
