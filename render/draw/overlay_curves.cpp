#include "overlay_curves.h"

#include "curve_geometry.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "drawing_change.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

constexpr OverlayColour kBlack{0.0f, 0.0f, 0.0f};
constexpr OverlayColour kFadedBlack{0.0f, 0.0f, 0.0f, 0.3f}; // lines of layers not edited
constexpr OverlayColour kTangentYellow{1.0f, 1.0f, 0.0f};
constexpr OverlayColour kKeyPointBlue{0.0f, 0.0f, 0.9f};
// Dashes as the aliased drawing's line stipple 0xF0F0: 4 pixels on, 4 off.
constexpr double kDash = 4.0;
constexpr double kGap = 4.0;
constexpr double kCrossWidth = 3.0;
// Outlines that keep handles visible on any picture: black two pixels wider under the yellow
// tangent handles (a disk 1.4 times theirs), white under the blue crosses and around the black
// ring of attribute points (out to 1.8 times their radius).
constexpr OverlayColour kWhite{1.0f, 1.0f, 1.0f};
constexpr double kOutlineGrowth = 2.0;
constexpr double kTangentOutlineScale = 1.4;
constexpr double kCrossOutlineWidth = 6.0;
constexpr double kAttributeOutlineScale = 1.8;

class CurveOverlay {
public:
    explicit CurveOverlay(const WindowMapping& toWindow)
        : toWindow(toWindow), lineWidth(curveRenderingSettings().lineWidth),
          handleRadius(0.5 * curveRenderingSettings().handleSize * toWindow.lengthScale())
    {
    }

    void body(const Curve& curve, bool faded = false)
    {
        const OverlayColour colour = faded ? kFadedBlack : kBlack;
        if (curve.nb_control_points > 3) {
            std::vector<Point> samples;
            for (const std::vector<Point>& polyline : segmentPolylines(curve))
                for (const Point& p : polyline)
                    samples.push_back(toWindow(p));
            mesh.line(samples, lineWidth, colour, curve.closed);
        } else if (curve.nb_control_points > 0) {
            const int n = std::min(curve.nb_control_points, int(curve.control_points.size()));
            std::vector<Point> corners;
            for (int i = 0; i < n; ++i)
                corners.push_back(toWindow(curve.control_points[i]));
            mesh.dashedLine(corners, lineWidth, colour, false, kDash, kGap);
        }
    }

    void box(const Point& min, const Point& max, double width)
    {
        const std::vector<Point> corners = {toWindow(min), toWindow({max.x, min.y}), toWindow(max),
                                            toWindow({min.x, max.y})};
        mesh.dashedLine(corners, width, kBlack, true, kDash, kGap);
    }

    void controlPoints(const Curve& curve)
    {
        const int n = std::min(curve.nb_control_points, int(curve.control_points.size()));
        std::vector<Point> cp;
        for (int i = 0; i < n; ++i)
            cp.push_back(toWindow(curve.control_points[i]));
        // Tangent handles: the line from the key point and a disk at the tangent point.
        const auto tangentHandle = [&](const Point& key, const Point& tangent, bool withLine) {
            if (withLine)
                mesh.line({key, tangent}, lineWidth + kOutlineGrowth, kBlack);
            mesh.disk(tangent, kTangentOutlineScale * handleRadius, kBlack);
            if (withLine)
                mesh.line({key, tangent}, lineWidth, kTangentYellow);
            mesh.disk(tangent, handleRadius, kTangentYellow);
        };
        for (int j = 0; 3 * j + 1 < n; ++j) {
            const int out = 3 * j + 1, in = 3 * j + 2;
            tangentHandle(cp[3 * j], cp[out], true);
            if (in < n)
                tangentHandle(in + 1 < n ? cp[in + 1] : cp[in], cp[in], in + 1 < n);
        }
        const double r = handleRadius;
        for (int k = 0; k < n; k += 3) {
            for (const auto& [width, colour] :
                 {std::pair(kCrossOutlineWidth, kWhite), std::pair(kCrossWidth, kKeyPointBlue)}) {
                mesh.line({cp[k] + Point(-r, -r), cp[k] + Point(r, r)}, width, colour);
                mesh.line({cp[k] + Point(r, -r), cp[k] + Point(-r, r)}, width, colour);
            }
        }
    }

    void attributePoints(const Curve& curve)
    {
        if (curve.nb_left_colors <= 1 || curve.nb_right_colors <= 1 || curve.nb_blur_points <= 1)
            return;
        // Offsets along the normal in canvas units, as the aliased drawing: 4 r left, -4 r right.
        const double r = 0.5 * curveRenderingSettings().handleSize;
        const int nLeft = std::min(curve.nb_left_colors, int(curve.left_colors.size()));
        attributeList(curve, curve.left_color_ids, nLeft, 4.0 * r,
                      [&](int i) { return colourOf(curve.left_colors[i]); });
        const int nRight = std::min(curve.nb_right_colors, int(curve.right_colors.size()));
        attributeList(curve, curve.right_color_ids, nRight, -4.0 * r,
                      [&](int i) { return colourOf(curve.right_colors[i]); });
        const int nBlur = std::min(curve.nb_blur_points, int(curve.blur_values.size()));
        attributeList(curve, curve.blur_ids, nBlur, 0.0, [&](int i) {
            const float grey =
                std::clamp(curve.blur_values[i] / static_cast<float>(kMaxBlur), 0.0f, 1.0f);
            return OverlayColour{grey, grey, grey};
        });
    }

    CoverageMesh mesh;

private:
    static OverlayColour colourOf(const QColor& c)
    {
        return {c.red() / 255.0f, c.green() / 255.0f, c.blue() / 255.0f};
    }

    // A white disk of radius 1.8 r under a black one of radius 1.5 r under a disk of radius r in
    // the point's colour: the rings are what shows around, with no seam where edges meet.
    template <typename ColourOf>
    void attributeList(const Curve& curve, const QVector<int>& ids, int count, double offset,
                       ColourOf colourOf)
    {
        const int n = std::min(count, int(ids.size()));
        for (int i = curve.closed ? 1 : 0; i < n; ++i) {
            Point position, normal;
            if (!attributePointFrame(curve, ids[i], position, normal))
                continue;
            const Point at = toWindow(position + normal * offset);
            mesh.disk(at, kAttributeOutlineScale * handleRadius, kWhite);
            mesh.disk(at, 1.5 * handleRadius, kBlack);
            mesh.disk(at, handleRadius, colourOf(i));
        }
    }

    const WindowMapping& toWindow;
    const double lineWidth;
    const double handleRadius; // pixels
};

int curveCount(const CurveSet& set) { return std::min(set.nb_curves, int(set.curves.size())); }

bool isShownLine(const CurveSet& set, int i, const OverlayOptions& options)
{
    const int layer = set.layerOfCurve(i);
    if (!isAboveLifetimeThreshold(set.curves[i]) || (layer >= 0 && !set.layers[layer].visible))
        return false;
    return options.lines == OverlayOptions::Lines::All || i == set.current_curve
           || i == options.hoveredCurve || set.curves[i].selected || set.selection.contains(i);
}

// The boxes and points drawn over the lines.
void drawHandles(CurveOverlay& overlay, const CurveSet& set, const OverlayOptions& options)
{
    const int count = curveCount(set);
    const auto shown = [&](int i) {
        return i >= 0 && i < count && isAboveLifetimeThreshold(set.curves[i]);
    };
    if (set.current_curve >= 0 && set.current_curve < count) {
        const Curve& current = set.curves[set.current_curve];
        if (shown(set.current_curve)) {
            overlay.box(current.bbox_min, current.bbox_max, curveRenderingSettings().lineWidth);
            if (set.show_attributes)
                overlay.attributePoints(current);
            else
                overlay.controlPoints(current);
        }
    } else if (!set.selection.isEmpty()) {
        overlay.box(set.selection_min, set.selection_max, 1.0);
        if (set.selection.size() > options.maxSelectedWithHandles)
            return;
        for (int i : set.selection)
            if (shown(i))
                overlay.controlPoints(set.curves[i]);
    }
}

} // namespace

CoverageMesh curveOverlayMesh(const CurveSet& set, const WindowMapping& toWindow,
                              const OverlayOptions& options)
{
    CurveOverlay overlay(toWindow);
    const int count = curveCount(set);
    for (int i = 0; i < count; ++i)
        if (isShownLine(set, i, options))
            overlay.body(set.curves[i], !options.editable.contains(i));
    drawHandles(overlay, set, options);
    return std::move(overlay.mesh);
}

namespace {

// Live curves beyond this many go back into the kept lines at the first frame without changes
// (after a move of a large selection, say); fewer stay live, so that a drag resumed after a
// pause does not make the kept lines again.
constexpr size_t kMostLiveAtRest = 8;

} // namespace

void CurveOverlayCache::update(const CurveSet& set, const WindowMapping& toWindow,
                               const OverlayOptions& options)
{
    const int count = curveCount(set);
    const CurveRenderingSettings& settings = curveRenderingSettings();
    const bool newView = !(toWindow == mapping) || lineWidth != settings.lineWidth
                         || lifetimeThreshold != settings.lifetimeThreshold;
    if (newView) {
        entries.clear();
        mapping = toWindow;
        lineWidth = settings.lineWidth;
        lifetimeThreshold = settings.lifetimeThreshold;
    }
    // Curves are matched by index: a curve that compares equal keeps its line.
    std::vector<int> changed;
    if (int(entries.size()) > count)
        entries.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        const bool known = i < int(entries.size());
        const bool faded = !options.editable.contains(i);
        if (known && entries[i].faded == faded && sameDrawnCurve(entries[i].source, set.curves[i]))
            continue;
        CurveOverlay one(toWindow);
        one.body(set.curves[i], faded);
        if (!known)
            entries.push_back({set.curves[i], std::move(one.mesh), faded});
        else
            entries[i] = {set.curves[i], std::move(one.mesh), faded};
        changed.push_back(i);
    }
    rebuilt = int(changed.size());
    std::vector<int> nowShown;
    for (int i = 0; i < count; ++i)
        if (isShownLine(set, i, options))
            nowShown.push_back(i);

    if (newView || nowShown != shown) {
        shown = std::move(nowShown);
        live.clear();
        joinLines();
    } else if (!changed.empty()) {
        std::vector<int> changedShown;
        std::set_intersection(changed.begin(), changed.end(), shown.begin(), shown.end(),
                              std::back_inserter(changedShown));
        if (std::includes(live.begin(), live.end(), changedShown.begin(), changedShown.end())) {
            joinLiveLines();
        } else {
            live = std::move(changedShown);
            joinLines();
        }
    } else if (live.size() > kMostLiveAtRest) {
        live.clear();
        joinLines();
    }
    CurveOverlay handles(toWindow);
    drawHandles(handles, set, options);
    handlesMesh = std::move(handles.mesh);
}

void CurveOverlayCache::joinLines()
{
    keptMesh.clear();
    auto next = live.begin();
    for (int i : shown) {
        if (next != live.end() && *next == i)
            ++next;
        else
            keptMesh.append(entries[i].line);
    }
    ++version;
    joinLiveLines();
}

void CurveOverlayCache::joinLiveLines()
{
    liveMesh.clear();
    for (int i : live)
        liveMesh.append(entries[i].line);
}
