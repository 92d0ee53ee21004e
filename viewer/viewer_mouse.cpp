// Mouse handling of the viewer: the mode switch, one table of what a press, a move and a release
// do in each mode, and the handlers. Picking is render/'s GL selection picker (picker.h); the
// context menus are in viewer_menus.cpp.
#include "viewer.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "overview_reader.h"
#include "stroke_vectorizer.h"
#include "curve_set_selection.h"

#include <QCursor>
#include <QMouseEvent>

#include <cmath>
#include <iterator>
#include <optional>

namespace {

// Edge of the pick square in widget pixels: a click, and the wider brush of the scribble.
constexpr int kClickRegion = 5;
constexpr int kScribbleRegion = 20;
// How far from a control point a press takes it, in handle sizes: the drawn disk of radius half
// a handle size with its outline (1.4 times that), which also reaches a key point's cross ends.
constexpr double kHandleGrabRadius = 0.7;

// Name of the history step that edits the attribute point `kind`.
QString attributeStepName(PickKind kind)
{
    switch (kind) {
    case PickKind::BlurPoint: return "Blur Point";
    case PickKind::LeftColorPoint: return "Left Color Point";
    case PickKind::RightColorPoint: return "Right Color Point";
    default: return "Attribute Point";
    }
}

bool isAttributePoint(PickKind kind)
{
    return kind == PickKind::BlurPoint || kind == PickKind::LeftColorPoint
           || kind == PickKind::RightColorPoint;
}

} // namespace

void Viewer::setDialogs(std::unique_ptr<ViewerDialogs> replacement)
{
    dialogRunner = replacement ? std::move(replacement) : std::make_unique<ViewerDialogs>();
}

void Viewer::changeManipMode(ManipulationMode newMode)
{
    doc.finishGesture();
    clearScribbleTrail();
    if (manipMode == ModeSelectMulti && newMode != ModeSelectMulti)
        clearSelection(curveSet);
    manipMode = newMode;
    if (newMode == ModeSelectMulti && curveSet.hasCurrentCurve()) {
        toggleSelection(curveSet, curveSet.current_curve);
        curveSet.setCurrentCurve(-1);
    }
    // The scribble follows the mouse with Ctrl held even when no button is pressed.
    setMouseTracking(newMode == ModeSelectMulti);
    switch (newMode) {
    case ModePan: setCursor(Qt::SizeAllCursor); break;
    case ModeBucket: setCursor(Qt::PointingHandCursor); break;
    case ModePicker: setCursor(Qt::WhatsThisCursor); break;
    default: setCursor(Qt::ArrowCursor); break;
    }
    requestRepaint();
}

PickHits Viewer::pickAt(const QPoint& pos, PickPurpose purpose, int region)
{
    if (!beginGLWork())
        return {};
    PickQuery query;
    query.mode = manipMode;
    query.purpose = purpose;
    query.view = view;
    query.atWidgetPixel(pos.x(), pos.y(), width(), height(), devicePixelRatioF(), region);
    // The canvas square, as draw() shows it.
    const QRect canvas = canvasViewport();
    query.setViewport(canvas.x(), canvas.y(), canvas.width(), canvas.height());
    const PickHits hits = pickCurveSet(curveSet, query);
    endGLWork();
    return hits;
}

Point Viewer::mousePosition(const QMouseEvent* event) const
{
    return modelPosition(event->localPos().x(), event->localPos().y());
}

// ---- dispatch

const Viewer::MouseHandlers& Viewer::mouseHandlers(ManipulationMode mode)
{
    static const MouseHandlers point{&Viewer::pointPress, &Viewer::pointMove,
                                     &Viewer::pointRelease};
    static const MouseHandlers multiselection{&Viewer::multiselectionPress,
                                              &Viewer::multiselectionMove,
                                              &Viewer::multiselectionRelease};
    static const MouseHandlers strokes{&Viewer::strokePress, &Viewer::strokeMove,
                                       &Viewer::strokeRelease};
    static const MouseHandlers pan{&Viewer::panPress, &Viewer::panMove, &Viewer::panRelease};
    static const MouseHandlers inert{&Viewer::basePress, &Viewer::ignoreMouse,
                                     &Viewer::ignoreMouse};
    static const MouseHandlers camera{&Viewer::basePress, &Viewer::baseMove, &Viewer::baseRelease};
    static const MouseHandlers picker{&Viewer::pickColor, &Viewer::baseMove, &Viewer::baseRelease};
    // Indexed by ManipulationMode value.
    static const MouseHandlers* const byMode[] = {
        &point,          // ModeMovePoint
        &point,          // ModeSelectCurve
        &point,          // ModeModifAttrib
        &multiselection, // ModeSelectMulti
        &strokes,        // ModeDrawCatmull
        &inert,          // ModeInert
        &pan,            // ModePan
        &camera,         // ModeCamera
        &point,          // ModeBucket
        &picker,         // ModePicker
    };
    const int index = static_cast<int>(mode);
    if (index < 0 || index >= static_cast<int>(std::size(byMode)))
        return camera;
    return *byMode[index];
}

void Viewer::mousePressEvent(QMouseEvent* event) { (this->*mouseHandlers(manipMode).press)(event); }

void Viewer::mouseMoveEvent(QMouseEvent* event) { (this->*mouseHandlers(manipMode).move)(event); }

void Viewer::mouseReleaseEvent(QMouseEvent* event)
{
    (this->*mouseHandlers(manipMode).release)(event);
    // Whatever the mode, a release ends the gesture (a drag) that the mouse was making.
    doc.endGesture();
}

void Viewer::basePress(QMouseEvent* event) { QGLViewer::mousePressEvent(event); }

void Viewer::baseMove(QMouseEvent* event) { QGLViewer::mouseMoveEvent(event); }

void Viewer::baseRelease(QMouseEvent* event) { QGLViewer::mouseReleaseEvent(event); }

void Viewer::startDrag(const QString& step, QMouseEvent* event)
{
    const Point p = mousePosition(event);
    doc.beginGesture(step);
    curveSet.beginDrag(p.x, p.y, true);
}

// ---- modes 0, 1, 2, 8: the current curve, its points and its attribute points

void Viewer::pointPress(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        pointContextMenu(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        basePress(event);
        return;
    }
    const PickHits hits = pickAt(event->pos(), PickPurpose::Press, kClickRegion);
    if (hits.empty()) {
        curveSet.setCurrentCurve(-1);
        return;
    }
    // Without a current curve the hits are curves: the first click only chooses one.
    if (!curveSet.hasCurrentCurve()) {
        curveSet.setCurrentCurve(hits.first().curve);
        return;
    }
    // With one, the last hit is the item drawn last, i.e. the most specific one; a control
    // point only where the press lies within its disk.
    const std::optional<PickHit> pressed = pressedItem(hits, mousePosition(event));
    if (!pressed)
        return;
    const PickHit item = *pressed;
    if (item.kind == PickKind::Nothing) {
        curveSet.setCurrentCurve(-1);
        return;
    }
    switch (manipMode) {
    case ModeMovePoint:
        if (item.kind == PickKind::CurveBox || item.kind == PickKind::CurveBody) {
            startDrag("Move Curve", event);
        } else if (item.kind == PickKind::ControlPoint) {
            doc.beginGesture("Move Point");
            curveSet.selectControlPoint(item.index);
        }
        break;
    case ModeModifAttrib:
        if (item.kind == PickKind::BlurPoint) {
            // The blur edit (blur_edit_commands.h) opens its own gesture with the panel's slider.
            currentAttribute = item.index;
            emit blurPointPressed(item.index);
        } else if (isAttributePoint(item.kind)) {
            doc.recordEdit(attributeStepName(item.kind), [&] { editAttributePoint(item); });
        }
        fullUpdate();
        break;
    case ModeBucket:
        paintAttributePoint(item);
        fullUpdate();
        break;
    default: break; // ModeSelectCurve: a press only picks or drops the current curve
    }
}

std::optional<PickHit> Viewer::pressedItem(const PickHits& hits, const Point& at) const
{
    // A tangent handle's line shares the handle's name, and the pick square reaches past a
    // handle's edge: such hits belong to what lies under them.
    const double onePixel = 2.0 / (canvasRect().width() * view.zoom);
    const double reach = kHandleGrabRadius * curveRenderingSettings().handleSize + onePixel;
    for (int k = hits.count() - 1; k >= 0; --k) {
        const PickHit& hit = hits.hits[k];
        if (hit.kind != PickKind::ControlPoint || !curveSet.hasCurrentCurve())
            return hit;
        const Point centre = curveSet.curve(curveSet.current_curve).controlPoint(hit.index);
        if (std::hypot(at.x - centre.x, at.y - centre.y) <= reach)
            return hit;
    }
    return std::nullopt;
}

void Viewer::editAttributePoint(const PickHit& point)
{
    currentAttribute = point.index;
    switch (point.kind) {
    // The panel runs its colour dialog and answers through setControlPoint*Color.
    case PickKind::LeftColorPoint:
        emit changeControlPointLeftColor(curveSet.currentCurveLeftColor(point.index));
        break;
    case PickKind::RightColorPoint:
        emit changeControlPointRightColor(curveSet.currentCurveRightColor(point.index));
        break;
    default: break;
    }
}

void Viewer::paintAttributePoint(const PickHit& point)
{
    if (point.kind != PickKind::LeftColorPoint && point.kind != PickKind::RightColorPoint)
        return;
    // As setControlPoint*Color, without its quick update: the caller's full update follows.
    currentAttribute = point.index;
    doc.recordEdit("Paint Bucket", [&] {
        if (point.kind == PickKind::LeftColorPoint)
            curveSet.setLeftColorOf(bucketColor, currentAttribute);
        else
            curveSet.setRightColorOf(bucketColor, currentAttribute);
    });
}

void Viewer::pointMove(QMouseEvent* event)
{
    const Point p = mousePosition(event);
    if (curveSet.dragging) {
        doc.beginGesture("Move Curve");
        curveSet.dragTo(p.x, p.y);
        quickUpdateForMove();
    } else if (curveSet.selectedControlPoint() >= 0) {
        doc.beginGesture("Move Point");
        if (curveSet.moveSelectedControlPoint(p.x, p.y))
            quickUpdateForMove();
    }
    baseMove(event);
}

void Viewer::pointRelease(QMouseEvent*)
{
    if (curveSet.dragging) {
        curveSet.beginDrag(0.0, 0.0, false);
        doc.endGesture();
        fullUpdate();
    } else if (curveSet.selectedControlPoint() >= 0) {
        curveSet.clearControlPointSelection();
        doc.endGesture();
        fullUpdate();
    }
}

// ---- mode 3: multi-selection

void Viewer::multiselectionPress(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        blurMenu(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        basePress(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ShiftModifier) {
        for (const PickHit& hit : pickAt(event->pos(), PickPurpose::Toggle, kClickRegion).hits)
            if (hit.kind == PickKind::Curve)
                toggleSelection(curveSet, hit.curve);
        return;
    }
    if (modifiers != Qt::NoModifier)
        return;
    const PickHits hits = pickAt(event->pos(), PickPurpose::Press, kClickRegion);
    if (hits.empty() || hits.last().kind == PickKind::Nothing)
        clearSelection(curveSet);
    else if (hits.last().kind == PickKind::Selection)
        startDrag("Move Selection", event);
}

void Viewer::multiselectionMove(QMouseEvent* event)
{
    const Point p = mousePosition(event);
    if (event->modifiers() == Qt::ControlModifier) {
        // Scribble: every curve under the brush joins the selection; none leaves it.
        for (const PickHit& hit : pickAt(event->pos(), PickPurpose::Scribble, kScribbleRegion).hits)
            if (hit.kind == PickKind::Curve)
                addToSelection(curveSet, hit.curve);
        scribbleMarks.append(p);
        return;
    }
    // Without Ctrl a scribble is over, and so is its trail.
    clearScribbleTrail();
    if (curveSet.dragging) {
        doc.beginGesture("Move Selection");
        curveSet.dragTo(p.x, p.y);
        quickUpdateForMove();
    } else {
        baseMove(event);
    }
}

void Viewer::multiselectionRelease(QMouseEvent* event)
{
    const bool wasDragging = curveSet.dragging;
    if (wasDragging)
        curveSet.beginDrag(0.0, 0.0, false);
    doc.endGesture();
    scribbleMarks.clear();
    baseRelease(event);
    // The drag re-solved only the colours; the moved curves also move their blur.
    if (wasDragging)
        fullUpdate();
}

// ---- mode 4: drawing a stroke

void Viewer::strokePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        basePress(event);
        return;
    }
    stroke.clear();
    curveSet.setCurrentCurve(-1);
    stroke.append(mousePosition(event));
}

void Viewer::strokeMove(QMouseEvent* event)
{
    if (stroke.isEmpty()) {
        baseMove(event);
        return;
    }
    stroke.append(mousePosition(event));
}

void Viewer::strokeRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        baseRelease(event);
        return;
    }
    // Four positions at least make a curve; fewer are a click, which draws nothing.
    if (stroke.size() > 3) {
        // The stroke is traced in the pixel grid of the canvas square.
        const int side = canvasRect().width();
        doc.recordEdit("Stroke", [&] {
            if (beginGLWork()) {
                // Inactive colour sides take their colours from the rendered overview.
                const OverviewReader picture(*renderer);
                vectorizeStroke(curveSet, stroke, side, side, &picture);
                endGLWork();
            } else {
                vectorizeStroke(curveSet, stroke, side, side, nullptr);
            }
        });
        curveSet.setCurrentCurve(-1);
    }
    stroke.clear();
    // The full update renders the overview first.
    fullUpdate();
}

// ---- mode 6: pan

void Viewer::panPress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        basePress(event);
        return;
    }
    panning = true;
    panAnchor = mousePosition(event);
}

void Viewer::panMove(QMouseEvent* event)
{
    if (!panning) {
        baseMove(event);
        return;
    }
    const Point current = mousePosition(event);
    setView({view.zoom, view.pan + current - panAnchor});
    quickUpdateForMove();
    // With the new pan the mouse is over the grabbed point again.
    panAnchor = mousePosition(event);
}

void Viewer::panRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        baseRelease(event);
        return;
    }
    panning = false;
    fullUpdate();
}

// ---- mode 9: colour picker

void Viewer::pickColor(QMouseEvent* event)
{
    if (!beginGLWork())
        return;
    // Fractions of the canvas square, origin bottom left.
    const QRectF canvas = canvasRect();
    const double fx = (event->localPos().x() - canvas.x()) / canvas.width();
    const double fy = (canvas.y() + canvas.height() - event->localPos().y()) / canvas.height();
    bucketColor = renderer->colorAt(fx, fy);
    endGLWork();
    emit bucketColorChanged(bucketColor);
}
