#include "viewer.h"

#include "curve_rendering.h"
#include "curve_set_selection.h"
#include "diffusion_solver.h"
#include "glew_init.h"
#include "layer_editing.h"
#include "mouse_tool.h"
#include "mouse_tools.h"
#include "overlay_drawing.h"
#include "picture_refresh.h"
#include "render_readiness.h"
#include "solver_rasteriser.h"
#include "view_navigator.h"
#include "viewer_document.h"
#include "viewer_keys.h"
#include "viewer_settings.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>

namespace {
// The steps of the progress reported while a large drawing's first picture is made.
constexpr int kPreparingSteps = 100;
} // namespace

Viewer::Viewer(Document* document)
    : QGLViewer(static_cast<QWidget*>(nullptr)),
      ownDocument(document != nullptr ? nullptr : std::make_unique<Document>()),
      doc(document != nullptr ? *document : *ownDocument), curveSet(doc.curves()),
      renderer(std::make_unique<DiffusionSolver>(kCanvasSize, kCanvasSize, kDefaultIterations, 1.0,
                                                 0.0, 0.0)),
      picture(std::make_unique<PictureRefresh>(*renderer)),
      values(std::make_unique<ViewerSettings>(*this)),
      mouseTools(std::make_unique<MouseTools>(*this, *values)),
      zooming(std::make_unique<ViewNavigator>(*this))
{
    // The view starts at zoom 1: the handle size that goes with it.
    setHandleSize(kDefaultHandleSize);

    // The base viewer's camera is not used: its mouse bindings (which would also keep a spun
    // camera redrawing), its camera-path keys F1..F12 and its shortcuts go, among them Escape,
    // which would close this window, and H, which the help command takes. Nothing is written to
    // a state file on close.
    clearMouseBindings();
    clearShortcuts();
    for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
        setPathKey(-key);
    setStateFileName(QString());

    resize(kCanvasSize, kCanvasSize);
    // Moves without a button are followed (followPointer), in every mode.
    setMouseTracking(true);

    timer = new QTimer(this);
    timer->setInterval(1);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] { update(); });
    timer->start();

    binding = std::make_unique<DocumentBinding>(*this, doc);
    // Every change of the drawing reaches the picture here, and only here.
    connect(&doc, &Document::drawingEdited, this, [this](const DrawingEdit& edit) {
        picture->drawingEdited(edit);
        // The panel shows the colours and blur of the curve as the edit left it.
        values->reportCurrentValues();
        requestRepaint();
    });
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

// ---------------------------------------------------------------- view and updates

void Viewer::setView(const View& newView)
{
    view = newView;
    // Handles keep their size on screen whatever the zoom.
    setHandleSize(kDefaultHandleSize / view.zoom);
    renderer->setView(view);
    refreshPictureAfresh();
}

CanvasPlacement Viewer::placement() const
{
    return CanvasPlacement(size(), devicePixelRatioF(), view);
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

void Viewer::refreshPictureAfresh()
{
    picture->solveAfresh();
    requestRepaint();
}

void Viewer::settlePicture()
{
    if (beginGLWork()) {
        picture->settle();
        endGLWork();
    }
    requestRepaint();
}

bool Viewer::isPictureSettling() const { return picture->isBusy(); }

bool Viewer::scheduleLargePicture()
{
    if (curveSet.curves.size() < kPreparedWithProgress)
        return false;
    preparing = true;
    QTimer::singleShot(0, this, [this] { prepareLargePicture(); });
    return true;
}

void Viewer::prepareLargePicture()
{
    // Called again while the progress lets events through: the preparation under way does it.
    if (glWorkDepth > 0)
        return;
    if (preparing && picture->isBusy() && beginGLWork()) {
        // The share of the work each stage takes in a drawing of 10,000 to 50,000 curves: the
        // geometry 40 %, then the constraint images and each budget of cycles.
        constexpr int kGeometry = 40;
        // Reporting lets events through, among them frames that make another context current.
        const auto report = [this](int done) {
            emit picturePreparing(done, kPreparingSteps);
            makeCurrent();
        };
        report(0);
        CurveGeometryCache& geometry = renderer->rasteriser().geometry();
        geometry.setBuildProgress(
            [&report](int done, int total) { report(kGeometry * done / total); });
        renderer->rasteriser().syncGeometry();
        geometry.setBuildProgress({});
        int done = kGeometry;
        report(done);
        while (picture->step()) {
            done = std::min(done + 15, kPreparingSteps - 5);
            report(done);
        }
        endGLWork();
    }
    if (preparing) {
        preparing = false;
        emit picturePreparing(kPreparingSteps, kPreparingSteps);
    }
    requestRepaint();
}

void Viewer::reportFailure(const QString& title, const QString& text)
{
    emit outcomeReported(text);
    dialogs().showMessage(this, title, text);
}

void Viewer::setBackgroundImage(const QImage& image)
{
    if (!beginGLWork())
        return; // no context yet: there is nothing to draw the texture with either
    exampleTexture.createFromImage(image);
    exampleImage = image;
    endGLWork();
}

bool Viewer::showsBackgroundImage() const
{
    const DisplayFlags& display = values->display;
    return display.backgroundShown && exampleTexture.name() != 0 && !display.exportingFrames;
}

void Viewer::setDialogs(std::unique_ptr<ViewerDialogs> replacement)
{
    dialogRunner = replacement ? std::move(replacement) : std::make_unique<ViewerDialogs>();
}

// ---------------------------------------------------------------- input

void Viewer::changeManipMode(ManipulationMode newMode)
{
    doc.finishGesture();
    mouseTools->clearOverlays();
    if (manipMode == ModeSelectMulti && newMode != ModeSelectMulti)
        clearSelection(curveSet);
    manipMode = newMode;
    if (newMode == ModeSelectMulti && curveSet.hasCurrentCurve()) {
        toggleSelection(curveSet, curveSet.current_curve);
        curveSet.setCurrentCurve(-1);
    }
    // Moves without a button reach the viewer in every mode: the scribble follows the mouse
    // with Ctrl held, and the line of the curve under the pointer is drawn in a dense drawing.
    switch (newMode) {
    case ModePan: setCursor(Qt::SizeAllCursor); break;
    case ModeBucket: setCursor(Qt::PointingHandCursor); break;
    case ModePicker: setCursor(Qt::WhatsThisCursor); break;
    default: setCursor(Qt::ArrowCursor); break;
    }
    requestRepaint();
}

void Viewer::mousePressEvent(QMouseEvent* event)
{
    // A locked or hidden current layer takes no edit: the modes that pick or draw curves refuse
    // the press.
    const bool editingMode = manipMode == ModeMovePoint || manipMode == ModeSelectCurve
                             || manipMode == ModeModifAttrib || manipMode == ModeSelectMulti
                             || manipMode == ModeDrawCatmull || manipMode == ModeBucket;
    if (editingMode && currentLayerRefusesEdits(curveSet)) {
        emit outcomeReported(refusedEditMessage(curveSet));
        return;
    }
    mouseTools->forMode(manipMode).press(*event);
}

void Viewer::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        followPointer(event->pos());
        // Of the tools, only the scribble takes moves without a button.
        if (manipMode != ModeSelectMulti)
            return;
    }
    mouseTools->forMode(manipMode).move(*event);
}

void Viewer::followPointer(const QPoint& pos)
{
    const int under = linesFollowSelection(values->display, curveSet) ? curveUnder(*this, pos) : -1;
    if (under != hovered) {
        hovered = under;
        requestRepaint();
    }
}

void Viewer::mouseReleaseEvent(QMouseEvent* event)
{
    mouseTools->forMode(manipMode).release(*event);
    // Whatever the mode, a release ends the gesture (a drag) that the mouse was making.
    doc.endGesture();
}

void Viewer::wheelEvent(QWheelEvent* event) { zooming->wheel(*event); }

void Viewer::addKeyHandler(KeyHandler handler) { keyHandlers.push_back(std::move(handler)); }

void Viewer::keyPressEvent(QKeyEvent* event)
{
    for (const KeyHandler& handler : keyHandlers)
        if (handler(*event))
            return;
    if (!handleViewerKey(*this, *event))
        QGLViewer::keyPressEvent(event);
}

bool Viewer::event(QEvent* event)
{
    bool input = false;
    switch (event->type()) {
    case QEvent::MouseMove:
        // A move without a button asks for a frame only where it changes what is drawn (the
        // curve under the pointer, the scribble).
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton
            && manipMode != ModeSelectMulti) {
            input = true;
            break;
        }
        [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        requestRepaint();
        input = true;
        break;
    default: break;
    }
    // The pointer left: no curve is under it.
    if (event->type() == QEvent::Leave && hovered >= 0) {
        hovered = -1;
        requestRepaint();
    }
    // Letting go of Ctrl ends a scribble, and a new size shows the drawing afresh: the trail goes.
    const bool controlReleased = event->type() == QEvent::KeyRelease
                                 && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control;
    if (controlReleased || event->type() == QEvent::Resize)
        mouseTools->clearOverlays();
    const bool handled = QGLViewer::event(event);
    // Selecting a curve copies its colours and blur into those of the next stroke.
    if (input)
        values->reportCurrentValues();
    return handled;
}

void Viewer::closeEvent(QCloseEvent* event)
{
    doc.finishGesture();
    if (!doc.maybeSaveChanges()) {
        event->ignore();
        return;
    }
    QGLViewer::closeEvent(event);
    event->accept();
    emit closed();
}

// ---------------------------------------------------------------- GL life cycle

void Viewer::init()
{
    QString glewProblem;
    const bool glewReady = initEditorContext(&glewProblem);
    if (!glewReady)
        std::fprintf(stderr, "%s\n", qPrintable(glewProblem));

    renderer->initialize();
    // The solver draws its images only through its rasteriser: each frame redraws only the
    // region the curves changed since the last one cover.
    renderer->rasteriser().setRegionRedraws(true);
    renderer->setCurveSet(curveSet);
    renderer->setView(view);
    // The colour strips need the colour-constraints program, so curve rendering is set up
    // before the first solve; solving first would rasterise the constraints without it.
    initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                       renderer->images().overviewFramebufferName());
    // The first picture is solved at once: the first frame shows it. A large drawing's is made
    // from the event loop, where its progress can be shown.
    picture->solveAfresh();
    if (!scheduleLargePicture())
        picture->settle();
    glReady = true;
    const QString problem = renderingProblem(*renderer);
    if (!glewReady)
        reportFailure("OpenGL", QString("OpenGL %1. %2").arg(glewProblem, problem).trimmed());
    else if (!problem.isEmpty())
        reportFailure("Shader programs", problem);
}

void Viewer::draw()
{
    if (preparing)
        return; // the frame shows no picture until the first one is made
    ++frameCount;
    // The frame's share of the solve; while the picture has not come to rest, frames go on.
    if (picture->step())
        requestRepaint();
    // The widget draws into its own framebuffer object, whose name is only valid while painting.
    const unsigned int framebuffer = defaultFramebufferObject();
    const QRect canvas = placement().canvasViewport();
    const DisplayFlags& display = values->display;

    if (showsBackgroundImage())
        drawBackgroundImage(exampleTexture, view, canvas.width(), canvas.height(), framebuffer,
                            canvas.x(), canvas.y());
    else {
        renderer->prepareDisplay(display.mode);
        renderer->display().draw(canvas.width(), canvas.height(), display.mode, framebuffer,
                                 canvas.x(), canvas.y());
    }
    // While frames are exported the renderer holds the frame, not this drawing.
    if (display.exportingFrames)
        return;

    if (display.splinesShown) // only what changed is drawn again
        drawCurvesInView(curveSet, view, overlay, overlayLayer,
                         overlayOptions(display, curveSet, hovered));
    mouseTools->forMode(manipMode).drawOverlay();
}
