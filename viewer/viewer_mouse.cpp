// Mouse handling of the viewer: the mode switch and, per mode, what a press, a move and a
// release do. Picking is GL selection (picking.h); the context menus are in viewer_menus.cpp.
#include "viewer.h"

#include "diffusion_solver.h"
#include "overview_reader.h"

#include <QCursor>
#include <QMouseEvent>

namespace {

// Edge of the pick square in widget pixels: a click, and the wider brush of the scribble.
constexpr int kClickRegion = 5;
constexpr int kScribbleRegion = 20;

// Names of the picking draw with a current curve (render/curve_drawing.h).
constexpr unsigned kNameNothing = 0;
constexpr unsigned kNameCurveBox = 1;
constexpr unsigned kNameCurveBody = 2;
constexpr unsigned kPointNameBase = 10000;
// Attribute point names in the colour modes: 10000 * kind + index.
constexpr unsigned kKindBlurPoint = 1;
constexpr unsigned kKindLeftColor = 2;
constexpr unsigned kKindRightColor = 3;

// Name of the history step that edits the attribute point named `name`.
QString attributeStepName(unsigned name)
{
    switch (name / kPointNameBase) {
    case kKindBlurPoint: return "Blur Point";
    case kKindLeftColor: return "Left Color Point";
    case kKindRightColor: return "Right Color Point";
    default: return "Attribute Point";
    }
}

} // namespace

void Viewer::setDialogs(std::unique_ptr<ViewerDialogs> replacement)
{
    dialogRunner = replacement ? std::move(replacement) : std::make_unique<ViewerDialogs>();
}

void Viewer::changeManipMode(ManipulationMode newMode)
{
    finishGesture();
    if (manipMode == ModeSelectMulti && newMode != ModeSelectMulti)
        curveSet.clearSelection();
    manipMode = newMode;
    if (newMode == ModeSelectMulti && curveSet.hasCurrentCurve()) {
        curveSet.toggleSelection(curveSet.current_curve);
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

PickResult Viewer::pickAt(const QPoint& pos, int purpose, int region)
{
    PickResult result;
    if (!beginGLWork())
        return result;
    // The viewport is in device pixels, mouse positions in widget pixels.
    const double ratio = devicePixelRatioF();
    PickRequest request;
    request.mode = manipMode;
    request.purpose = purpose;
    request.zoom = zoom;
    request.panX = panX;
    request.panY = panY;
    request.x = pos.x() * ratio;
    request.y = (height() - pos.y()) * ratio;
    request.region = region * ratio;
    // The canvas square, as draw() sets it.
    const QRect canvas = canvasRect();
    request.viewport[0] = int(canvas.x() * ratio);
    request.viewport[1] = int((height() - canvas.bottom() - 1) * ratio);
    request.viewport[2] = int(canvas.width() * ratio);
    request.viewport[3] = int(canvas.height() * ratio);
    result = pickItems(curveSet, request);
    endGLWork();
    return result;
}

// ---- dispatch

void Viewer::mousePressEvent(QMouseEvent* event)
{
    switch (manipMode) {
    case ModeMovePoint:
    case ModeSelectCurve:
    case ModeModifAttrib:
    case ModeBucket: pointPress(event); break;
    case ModeSelectMulti: multiselectionPress(event); break;
    case ModeDrawCatmull: strokePress(event); break;
    case ModePan: panPress(event); break;
    case ModePicker: pickColor(event); break;
    case ModeInert:
    case ModeCamera:
    default: QGLViewer::mousePressEvent(event); break;
    }
}

void Viewer::mouseMoveEvent(QMouseEvent* event)
{
    switch (manipMode) {
    case ModeMovePoint:
    case ModeSelectCurve:
    case ModeModifAttrib:
    case ModeBucket: pointMove(event); break;
    case ModeSelectMulti: multiselectionMove(event); break;
    case ModeDrawCatmull: strokeMove(event); break;
    case ModePan: panMove(event); break;
    case ModeInert: break;
    case ModeCamera:
    case ModePicker:
    default: QGLViewer::mouseMoveEvent(event); break;
    }
}

void Viewer::mouseReleaseEvent(QMouseEvent* event)
{
    switch (manipMode) {
    case ModeMovePoint:
    case ModeSelectCurve:
    case ModeModifAttrib:
    case ModeBucket: pointRelease(event); break;
    case ModeSelectMulti: multiselectionRelease(event); break;
    case ModeDrawCatmull: strokeRelease(event); break;
    case ModePan: panRelease(event); break;
    case ModeInert: break;
    case ModeCamera:
    case ModePicker:
    default: QGLViewer::mouseReleaseEvent(event); break;
    }
    // Whatever the mode, a release ends the gesture (a drag) that the mouse was making.
    endGesture();
}

// ---- modes 0, 1, 2, 8: the current curve, its points and its attribute points

void Viewer::pointPress(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        pointContextMenu(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QGLViewer::mousePressEvent(event);
        return;
    }
    const PickResult hits = pickAt(event->pos(), 0, kClickRegion);
    if (hits.empty()) {
        curveSet.setCurrentCurve(-1);
        return;
    }
    // Without a current curve the names are curve indices: the first click only chooses a curve.
    if (!curveSet.hasCurrentCurve()) {
        curveSet.setCurrentCurve(static_cast<int>(hits.firstName()));
        return;
    }
    // With one, the last record is the item drawn last, i.e. the most specific one.
    const unsigned name = hits.lastName();
    if (name == kNameNothing) {
        curveSet.setCurrentCurve(-1);
        return;
    }
    switch (manipMode) {
    case ModeMovePoint:
        if (name == kNameCurveBox || name == kNameCurveBody) {
            const Point p = modelPosition(event->localPos().x(), event->localPos().y());
            beginGesture("Move Curve");
            curveSet.beginDrag(p.x, p.y, true);
        } else if (name >= kPointNameBase) {
            beginGesture("Move Point");
            curveSet.selectControlPoint(static_cast<int>(name - kPointNameBase));
        }
        break;
    case ModeModifAttrib:
        recordEdit(attributeStepName(name), [&] { editAttributePoint(name, event->globalPos()); });
        fullUpdate();
        break;
    case ModeBucket: {
        const unsigned kind = name / kPointNameBase;
        const int index = static_cast<int>(name % kPointNameBase);
        // As setControlPoint*Color, without its quick update: the full update follows.
        recordEdit("Paint Bucket", [&] {
            if (kind == kKindLeftColor) {
                currentAttribute = index;
                curveSet.setLeftColorOf(bucketColor, currentAttribute);
            } else if (kind == kKindRightColor) {
                currentAttribute = index;
                curveSet.setRightColorOf(bucketColor, currentAttribute);
            }
        });
        fullUpdate();
        break;
    }
    default: break; // ModeSelectCurve: a press only picks or drops the current curve
    }
}

void Viewer::editAttributePoint(unsigned name, const QPoint& globalPos)
{
    const unsigned kind = name / kPointNameBase;
    const int index = static_cast<int>(name % kPointNameBase);
    if (kind == kKindBlurPoint) {
        currentAttribute = index;
        const int value =
            dialogs().runSliderDialog(this, 0, 16, curveSet.blurValue(index), globalPos);
        curveSet.setBlurOf(value, currentAttribute);
    } else if (kind == kKindLeftColor) {
        // The panel runs its colour dialog and answers through setControlPointLeftColor.
        currentAttribute = index;
        emit changeControlPointLeftColor(curveSet.currentCurveLeftColor(index));
    } else if (kind == kKindRightColor) {
        currentAttribute = index;
        emit changeControlPointRightColor(curveSet.currentCurveRightColor(index));
    }
}

void Viewer::pointMove(QMouseEvent* event)
{
    const Point p = modelPosition(event->localPos().x(), event->localPos().y());
    if (curveSet.dragging) {
        beginGesture("Move Curve");
        curveSet.dragTo(p.x, p.y);
        quickUpdate();
    } else if (curveSet.selectedControlPoint() >= 0) {
        beginGesture("Move Point");
        if (curveSet.moveSelectedControlPoint(p.x, p.y))
            quickUpdate();
    }
    QGLViewer::mouseMoveEvent(event);
}

void Viewer::pointRelease(QMouseEvent*)
{
    if (curveSet.dragging) {
        curveSet.beginDrag(0.0, 0.0, false);
        endGesture();
        fullUpdate();
    } else if (curveSet.selectedControlPoint() >= 0) {
        curveSet.clearControlPointSelection();
        endGesture();
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
        QGLViewer::mousePressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ShiftModifier) {
        for (unsigned name : pickAt(event->pos(), 2, kClickRegion).names) {
            if (name < static_cast<unsigned>(curveSet.nb_curves))
                curveSet.toggleSelection(static_cast<int>(name));
        }
        return;
    }
    if (modifiers != Qt::NoModifier)
        return;
    const PickResult hits = pickAt(event->pos(), 0, kClickRegion);
    if (hits.empty() || hits.lastName() == kNameNothing) {
        curveSet.clearSelection();
    } else if (hits.lastName() == kNameCurveBox || hits.lastName() == kNameCurveBody) {
        const Point p = modelPosition(event->localPos().x(), event->localPos().y());
        beginGesture("Move Selection");
        curveSet.beginDrag(p.x, p.y, true);
    }
}

void Viewer::multiselectionMove(QMouseEvent* event)
{
    const Point p = modelPosition(event->localPos().x(), event->localPos().y());
    if (event->modifiers() == Qt::ControlModifier) {
        // Scribble: every curve under the brush joins the selection; none leaves it.
        for (unsigned name : pickAt(event->pos(), 3, kScribbleRegion).names) {
            if (name < static_cast<unsigned>(curveSet.nb_curves))
                curveSet.addToSelection(static_cast<int>(name));
        }
        scribbleMarks.append(p);
    } else if (curveSet.dragging) {
        beginGesture("Move Selection");
        curveSet.dragTo(p.x, p.y);
        quickUpdate();
    } else {
        QGLViewer::mouseMoveEvent(event);
    }
}

void Viewer::multiselectionRelease(QMouseEvent* event)
{
    const bool wasDragging = curveSet.dragging;
    if (wasDragging)
        curveSet.beginDrag(0.0, 0.0, false);
    endGesture();
    scribbleMarks.clear();
    QGLViewer::mouseReleaseEvent(event);
    // The drag re-solved only the colours; the moved curves also move their blur.
    if (wasDragging)
        fullUpdate();
}

// ---- mode 4: drawing a stroke

void Viewer::strokePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGLViewer::mousePressEvent(event);
        return;
    }
    stroke.clear();
    curveSet.setCurrentCurve(-1);
    stroke.append(modelPosition(event->localPos().x(), event->localPos().y()));
}

void Viewer::strokeMove(QMouseEvent* event)
{
    if (stroke.isEmpty()) {
        QGLViewer::mouseMoveEvent(event);
        return;
    }
    stroke.append(modelPosition(event->localPos().x(), event->localPos().y()));
}

void Viewer::strokeRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGLViewer::mouseReleaseEvent(event);
        return;
    }
    // Four positions at least make a curve; fewer are a click, which draws nothing.
    if (stroke.size() > 3) {
        // The stroke is traced in the pixel grid of the canvas square.
        const int side = canvasRect().width();
        recordEdit("Stroke", [&] {
            if (beginGLWork()) {
                // Inactive colour sides take their colours from the rendered overview.
                const OverviewReader picture(*renderer);
                curveSet.vectorizeStroke(stroke, side, side, &picture);
                endGLWork();
            } else {
                curveSet.vectorizeStroke(stroke, side, side, nullptr);
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
        QGLViewer::mousePressEvent(event);
        return;
    }
    panning = true;
    const Point anchor = modelPosition(event->localPos().x(), event->localPos().y());
    panAnchorX = anchor.x;
    panAnchorY = anchor.y;
}

void Viewer::panMove(QMouseEvent* event)
{
    if (!panning) {
        QGLViewer::mouseMoveEvent(event);
        return;
    }
    const Point current = modelPosition(event->localPos().x(), event->localPos().y());
    panCurrentX = current.x;
    panCurrentY = current.y;
    setView(zoom, panX + panCurrentX - panAnchorX, panY + panCurrentY - panAnchorY);
    quickUpdate();
    // With the new pan the mouse is over the grabbed point again.
    const Point anchor = modelPosition(event->localPos().x(), event->localPos().y());
    panAnchorX = anchor.x;
    panAnchorY = anchor.y;
}

void Viewer::panRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGLViewer::mouseReleaseEvent(event);
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
