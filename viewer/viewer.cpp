#include "viewer.h"

#include "curve_rendering.h"
#include "dialog_questions.h"
#include "diffusion_solver.h"
#include "glew_init.h"
#include "overlay_drawing.h"
#include "render_readiness.h"

#include <QEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Zoom is kept within 2^-16 .. 2^16: beyond 2^16 one canvas pixel is smaller than the
// single-precision resolution of GL vertex coordinates, and repeated doubling would otherwise
// end in infinite coordinates.
constexpr double kMaxZoom = 65536.0;
constexpr double kMinZoom = 1.0 / 65536.0;
// Start-up sizes of the handles and scribble marks, for zoom 1.
constexpr double kHandleSizeAtZoom1 = 0.03;
constexpr double kMarkerSizeAtZoom1 = 0.06;
// One wheel notch is 120 eighths of a degree; two notches double the zoom.
constexpr double kWheelNotch = 120.0;
constexpr double kZoomPerNotch = 1.4142135623730951;

} // namespace

Viewer::Viewer(Document* document)
    : QGLViewer(static_cast<QWidget*>(nullptr)),
      ownDocument(document != nullptr ? nullptr : std::make_unique<Document>()),
      doc(document != nullptr ? *document : *ownDocument), curveSet(doc.curves()),
      renderer(std::make_unique<DiffusionSolver>(kCanvasSize, kCanvasSize, kDefaultIterations, 1.0,
                                                 0.0, 0.0))
{
    // The view starts at zoom 1: the handle size that goes with it.
    setHandleSize(kHandleSizeAtZoom1);

    // The base viewer's camera is not used: its mouse bindings (which would also keep a spun
    // camera redrawing), its camera-path keys F1..F12 and its shortcuts go, among them Escape,
    // which would close this window. H still opens the help window. Nothing is written to a
    // state file on close.
    clearMouseBindings();
    clearShortcuts();
    setShortcut(HELP, Qt::Key_H);
    for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
        setPathKey(-key);
    setStateFileName(QString());

    resize(kCanvasSize, kCanvasSize);

    timer = new QTimer(this);
    timer->setInterval(1);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] { update(); });
    timer->start();

    shownLeftColor = curveSet.current_left_color;
    shownRightColor = curveSet.current_right_color;
    shownBlur = curveSet.current_blur;

    attachDocument();
}

Viewer::~Viewer()
{
    delete timer;
    timer = nullptr;
    // The renderer's textures and framebuffers belong to this widget's context.
    const bool current = beginGLWork();
    exampleTexture = Texture();
    renderer.reset();
    if (current)
        endGLWork();
}

// ---------------------------------------------------------------- view and helpers

QRect Viewer::canvasRect() const
{
    const int side = std::max(1, std::min(width(), height()));
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

QRect Viewer::canvasViewport() const
{
    const qreal ratio = devicePixelRatioF();
    const QRect canvas = canvasRect();
    return QRect(static_cast<int>(canvas.x() * ratio),
                 static_cast<int>((height() - canvas.bottom() - 1) * ratio),
                 static_cast<int>(canvas.width() * ratio),
                 static_cast<int>(canvas.height() * ratio));
}

Point Viewer::modelPosition(double mx, double my) const
{
    const QRect canvas = canvasRect();
    const double half = canvas.width() * 0.5;
    return view.ndcToCanvas(Point((mx - canvas.x()) / half - 1.0, 1.0 - (my - canvas.y()) / half));
}

QPointF Viewer::widgetPosition(const Point& p) const
{
    const QRect canvas = canvasRect();
    const double half = canvas.width() * 0.5;
    const Point ndc = view.canvasToNdc(p);
    return QPointF(canvas.x() + (ndc.x + 1.0) * half, canvas.y() + (1.0 - ndc.y) * half);
}

void Viewer::requestRepaint()
{
    if (timer != nullptr && !timer->isActive())
        timer->start();
}

void Viewer::setContinuousRepaint(bool continuous)
{
    timer->setSingleShot(!continuous);
    timer->start();
}

bool Viewer::beginGLWork()
{
    if (!glReady || context() == nullptr)
        return false;
    makeCurrent();
    ++glWorkDepth;
    return true;
}

void Viewer::endGLWork()
{
    if (glWorkDepth > 0 && --glWorkDepth == 0)
        doneCurrent();
}

void Viewer::quickUpdate()
{
    moveSolvePending = false;
    if (beginGLWork()) {
        renderer->update();
        solvedSinceFrame = true;
        endGLWork();
    }
    requestRepaint();
}

void Viewer::quickUpdateForMove()
{
    if (solvedSinceFrame) {
        moveSolvePending = true;
        requestRepaint();
        return;
    }
    quickUpdate();
}

void Viewer::fullUpdate()
{
    moveSolvePending = false;
    if (beginGLWork()) {
        renderer->fullUpdate();
        endGLWork();
    }
    requestRepaint();
}

double Viewer::markerSize() const { return kMarkerSizeAtZoom1 / view.zoom; }

void Viewer::setView(const View& newView)
{
    view = newView;
    // Handles keep their size on screen whatever the zoom.
    setHandleSize(kHandleSizeAtZoom1 / view.zoom);
    handViewToRenderer();
}

void Viewer::handViewToRenderer() { renderer->setView(view); }

void Viewer::reportCurrentValues()
{
    if (curveSet.current_left_color != shownLeftColor) {
        shownLeftColor = curveSet.current_left_color;
        emit leftColorChanged(shownLeftColor);
    }
    if (curveSet.current_right_color != shownRightColor) {
        shownRightColor = curveSet.current_right_color;
        emit rightColorChanged(shownRightColor);
    }
    if (curveSet.current_blur != shownBlur) {
        shownBlur = curveSet.current_blur;
        emit blurChanged(shownBlur);
    }
}

void Viewer::reportFailure(const QString& title, const QString& text)
{
    emit outcomeReported(text);
    dialogs().showMessage(this, title, text);
}

bool Viewer::event(QEvent* event)
{
    bool input = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        requestRepaint();
        input = true;
        break;
    default: break;
    }
    const bool handled = QGLViewer::event(event);
    // Selecting a curve copies its colours and blur into those of the next stroke.
    if (input)
        reportCurrentValues();
    return handled;
}

// ---------------------------------------------------------------- GL life cycle

void Viewer::init()
{
    QString glewProblem;
    const bool glewReady = initEditorContext(&glewProblem);
    if (!glewReady)
        std::fprintf(stderr, "%s\n", qPrintable(glewProblem));

    renderer->initialize();
    renderer->setCurveSet(curveSet);
    handViewToRenderer();
    // The colour strips need the colour-constraints program, so curve rendering is set up
    // before the first solve; solving first would rasterise the constraints without it.
    initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                       renderer->overviewFramebufferName());
    renderer->fullUpdate();
    glReady = true;
    const QString problem = renderingProblem(*renderer);
    if (!glewReady)
        reportFailure("OpenGL", QString("OpenGL %1. %2").arg(glewProblem, problem).trimmed());
    else if (!problem.isEmpty())
        reportFailure("Shader programs", problem);
}

void Viewer::draw()
{
    ++frameCount;
    if (moveSolvePending) {
        moveSolvePending = false;
        renderer->update();
    }
    solvedSinceFrame = false;
    // The widget draws into its own framebuffer object, whose name is only valid while painting.
    const unsigned int framebuffer = defaultFramebufferObject();
    const QRect canvas = canvasViewport();

    if (backgroundShown && exampleTexture.name() != 0 && !exportingFrames)
        drawBackgroundImage(exampleTexture, view, canvas.width(), canvas.height(), framebuffer,
                            canvas.x(), canvas.y());
    else
        renderer->display(canvas.width(), canvas.height(), displayMode, framebuffer, canvas.x(),
                          canvas.y());
    // While frames are exported the renderer holds the frame, not this drawing.
    if (exportingFrames)
        return;

    if (splinesShown)
        drawCurvesInView(curveSet, view);
    drawScribbleMarks(scribbleMarks, markerSize(), view);
    drawStrokeLine(stroke, view);
}

// ---------------------------------------------------------------- colours and blur

void Viewer::setLeftColor(QColor C)
{
    shownLeftColor = C;
    doc.recordEdit("Left Color", [&] { curveSet.setLeftColor(C); });
    quickUpdate();
}

void Viewer::setRightColor(QColor C)
{
    shownRightColor = C;
    doc.recordEdit("Right Color", [&] { curveSet.setRightColor(C); });
    quickUpdate();
}

void Viewer::setBucketColor(QColor C) { bucketColor = C; }

void Viewer::setBlur(int sigma)
{
    // The panel's slider echoes the blur this viewer reported: a curve with several blur
    // values keeps them.
    shownBlur = sigma;
    if (sigma == curveSet.current_blur)
        return;
    // The panel's slider sends every value it passes: one step per slider drag.
    doc.recordEdit(
        "Blur", [&] { curveSet.setBlur(sigma); }, true);
    fullUpdate();
}

void Viewer::setIter(int i)
{
    renderer->settings().iterations = std::clamp(i, kMinIterations, kMaxIterations);
    quickUpdate();
}

void Viewer::setLifetimeThreshold(int th)
{
    ::setLifetimeThreshold(th);
    fullUpdate();
}

void Viewer::setControlPointLeftColor(QColor C)
{
    doc.recordEdit("Left Color Point", [&] { curveSet.setLeftColorOf(C, currentAttribute); });
    quickUpdate();
}

void Viewer::setControlPointRightColor(QColor C)
{
    doc.recordEdit("Right Color Point", [&] { curveSet.setRightColorOf(C, currentAttribute); });
    quickUpdate();
}

// ---------------------------------------------------------------- display flags

void Viewer::clearScribbleTrail()
{
    if (scribbleMarks.isEmpty())
        return;
    scribbleMarks.clear();
    requestRepaint();
}

void Viewer::resizeEvent(QResizeEvent* event)
{
    clearScribbleTrail();
    QGLViewer::resizeEvent(event);
}

void Viewer::showSplines(bool show)
{
    splinesShown = show;
    requestRepaint();
}

void Viewer::setBackgroundImage(const QImage& image)
{
    if (!beginGLWork())
        return; // no context yet: there is nothing to draw the texture with either
    exampleTexture.createFromImage(image);
    endGLWork();
}

void Viewer::showBackgroundImage(bool show)
{
    backgroundShown = show;
    requestRepaint();
}

void Viewer::showAttrib(bool show)
{
    curveSet.show_attributes = show;
    requestRepaint();
}

void Viewer::activateBlur(bool activate)
{
    renderer->settings().blurEnabled = activate;
    fullUpdate();
}

void Viewer::activateCLeft(bool cl) { curveSet.left_colors_active = cl; }

void Viewer::activateCRight(bool cr) { curveSet.right_colors_active = cr; }

// ---------------------------------------------------------------- zoom

void Viewer::zoomIn()
{
    if (view.zoom * 2.0 > kMaxZoom)
        return;
    setView({view.zoom * 2.0, view.pan});
    fullUpdate();
}

void Viewer::zoomOut()
{
    if (view.zoom * 0.5 < kMinZoom)
        return;
    setView({view.zoom * 0.5, view.pan});
    fullUpdate();
}

void Viewer::zoomAbout(double factor, const QPointF& pos)
{
    const double newZoom = std::clamp(view.zoom * factor, kMinZoom, kMaxZoom);
    if (!(newZoom != view.zoom))
        return;
    // The grabbed canvas point keeps its normalised device position ndc = zoom (p + pan).
    const Point grabbed = modelPosition(pos.x(), pos.y());
    const Point ndc = view.canvasToNdc(grabbed);
    setView({newZoom, ndc * (1.0 / newZoom) - grabbed});
    fullUpdate();
}

void Viewer::showWholeCanvas()
{
    setView(View());
    fullUpdate();
}

void Viewer::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / kWheelNotch;
    if (notches != 0.0)
        zoomAbout(std::pow(kZoomPerNotch, notches), event->position());
    event->accept();
}
