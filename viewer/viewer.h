#pragma once

#include "curve_set.h"
#include "display_mode.h"
#include "document.h"
#include "gl_objects.h"
#include "manipulation_mode.h"
#include "picker.h"
#include "point.h"
#include "view.h"
#include "viewer_dialogs.h"

#include <QGLViewer/qglviewer.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DialogQuestions;
class DiffusionSolver;
class QCloseEvent;
class QKeyEvent;
class QResizeEvent;
class QTimer;

// The OpenGL window that shows the drawing and takes all mouse editing.
//
// The viewer keeps its own two-dimensional view instead of the base class's camera: canvas point
// (x, y) appears at normalised device coordinates (zoom (x + panX), zoom (y + panY)). Every frame
// shows the renderer's picture (or the example bitmap) and draws the curves, the scribble marks
// and the stroke being drawn on top.
//
// The drawing, its history and its file belong to a Document (document.h) that the viewer
// shows: every edit goes through the document's recordEdit() or an open gesture. The title
// shows the document's file name with a modified mark, and the document asks its questions
// through this window's dialogs.
//
// GL work outside init()/draw() runs between beginGLWork() and endGLWork(). Before the first
// show there is no context: the slots then only change state, and init() solves once the
// context exists.
//
// Repaints: the repaint timer (1 ms, single shot) is started by requestRepaint(); every slot,
// every input event and every renderer update requests one, so a frame follows each change and
// an idle editor draws nothing. setContinuousRepaint(true) makes the timer repeat, redrawing
// continuously (used to measure the cost of a frame).
class Viewer : public QGLViewer {
    Q_OBJECT

public:
    // Shows `document`, which must outlive the viewer; without one the viewer makes its own.
    explicit Viewer(Document* document = nullptr);
    ~Viewer() override;

    // ---- read access for the panel wiring, tests and benchmarks
    // The document shown, and its curve set.
    Document& drawing() { return doc; }
    CurveSet& document() { return curveSet; }
    const CurveSet& document() const { return curveSet; }
    // The renderer; never null.
    DiffusionSolver& solver() const { return *renderer; }
    const View& currentView() const { return view; }
    double zoomFactor() const { return view.zoom; }
    double panOffsetX() const { return view.pan.x; }
    double panOffsetY() const { return view.pan.y; }
    // Full edge length, in canvas units, of a scribble mark: 1/zoom of its size at zoom 1, so
    // that marks keep their size on screen. The handle size of the curve-rendering settings
    // follows the zoom the same way.
    double markerSize() const;
    bool isPanning() const { return panning; }
    ManipulationMode mode() const { return manipMode; }
    DisplayMode currentDisplayMode() const { return displayMode; }
    bool areSplinesShown() const { return splinesShown; }
    QColor currentBucketColor() const { return bucketColor; }
    int currentAttributeIndex() const { return currentAttribute; }
    unsigned int exampleTextureName() const { return exampleTexture.name(); }
    const QVector<Point>& strokePoints() const { return stroke; }
    const QVector<Point>& scribblePoints() const { return scribbleMarks; }
    // True once init() has run: the GL context and the renderer's images exist.
    bool isGLReady() const { return glReady; }
    // Number of frames drawn by draw() since construction.
    long framesDrawn() const { return frameCount; }

    // The square of the widget, in widget pixels (origin top left), that shows the canvas: as
    // large as the widget's shorter side and centred, so that a resize never stretches the
    // drawing (the rest of the window is a grey border).
    QRect canvasRect() const;
    // canvasRect() as the GL viewport that draws and picks the canvas: device pixels, rows
    // counted from the bottom of the widget.
    QRect canvasViewport() const;
    // Canvas position of widget pixel (mx, my), origin top left, with the current view; with
    // canvasRect() at (x0, y0) of side s: x = ((mx - x0) / (s/2) - 1) / zoom - panX,
    // y = (1 - (my - y0) / (s/2)) / zoom - panY.
    Point modelPosition(double mx, double my) const;
    // Widget pixel at which canvas point p appears: the inverse of modelPosition.
    QPointF widgetPosition(const Point& p) const;

    // Starts the repaint timer unless it runs already; the frame follows within about 1 ms.
    void requestRepaint();
    // true: redraw on every timer tick (1 ms) whatever changed; false (default): only on request.
    void setContinuousRepaint(bool continuous);

    // ---- for the commands that work on this window (edit, export, bitmap and file commands)
    // Makes the context current and returns true; false (nothing current) before init(). Pairs
    // may nest: only the outermost endGLWork() releases the context. Call endGLWork() only after
    // a beginGLWork() that returned true.
    bool beginGLWork();
    void endGLWork();
    // The renderer's two recomputations, with the context made current, then a repaint. Before
    // init() they do nothing (init() solves).
    void quickUpdate();
    void fullUpdate();
    // Hands the view to the renderer (no re-solve).
    void handViewToRenderer();
    // A failure, after its console line: a message box over this window and the status text.
    void reportFailure(const QString& title, const QString& text);
    // The picture shown instead of the renderer's while shown (the example bitmap). Without a
    // context yet the image is not kept: nothing is shown.
    void setBackgroundImage(const QImage& image);
    void showBackgroundImage(bool show);
    // While on, frames show the renderer's picture (an exported frame) without the overlays.
    void setExportingFrames(bool on) { exportingFrames = on; }
    // Offered every key press before this window's own keys; a handler returning true took it.
    using KeyHandler = std::function<bool(const QKeyEvent&)>;
    void addKeyHandler(KeyHandler handler);

public Q_SLOTS:
    // Colours and blur of the curve set (and of its current curve); quick / full update.
    void setLeftColor(QColor C);
    void setRightColor(QColor C);
    void setBucketColor(QColor C);
    void setBlur(int sigma);
    // Solver iterations (the panel sends 1..20); quick update.
    void setIter(int i);
    // Curves with a lifetime below th are neither drawn nor rasterised; full update.
    void setLifetimeThreshold(int th);
    // Colour of attribute point currentAttribute of the current curve; quick update.
    void setControlPointLeftColor(QColor C);
    void setControlPointRightColor(QColor C);
    // Display flags; none of them re-solves.
    void showSplines(bool show);
    void showAttrib(bool show);
    // Blur pass on or off; full update.
    void activateBlur(bool activate);
    // Colour sides used when a stroke becomes a curve; no re-solve.
    void activateCLeft(bool cl);
    void activateCRight(bool cr);
    // Mouse mode; leaving the multi-selection mode clears the selection (viewer_mouse.cpp).
    void changeManipMode(ManipulationMode manipMode);
    // Doubles (halves) the zoom about the window centre; handleSize and markerSize follow 1/zoom.
    // Full update.
    void zoomIn();
    void zoomOut();
    // Multiplies the zoom by `factor` about widget pixel `pos`: the canvas point under it stays
    // there. Zoom stays within its bounds; handleSize and markerSize follow 1/zoom. Full update.
    void zoomAbout(double factor, const QPointF& pos);
    // The whole canvas again: zoom 1, no pan, the start-up handle and mark sizes. Full update.
    void showWholeCanvas();
    // The H key: asks for the help window (helpRequested).
    void help() override;

Q_SIGNALS:
    void bucketColorChanged(QColor);
    void changeControlPointLeftColor(QColor);
    void changeControlPointRightColor(QColor);
    // The colours and blur the next stroke gets changed (a curve was selected, a drawing
    // opened, an edit undone): the panel shows them.
    void leftColorChanged(QColor);
    void rightColorChanged(QColor);
    void blurChanged(int);
    // What the last command came to, in a few words ("Saved drawing.xml", "Could not save
    // drawing.xml: No space left on device"); failures are also shown in a message box.
    void outcomeReported(const QString& text);
    // The window accepted a close request (after any question about unsaved changes).
    void closed();
    // The H key was pressed: the help window opens, or closes when open.
    void helpRequested();
    // A press on blur point `index` of the current curve (mode 2), and the context menu's
    // "Increase/decrease blur" of the selection (mode 3): the blur edit takes them
    // (blur_edit_commands.h).
    void blurPointPressed(int index);
    void blurShiftRequested();

protected:
    // Mouse and keys (viewer_mouse.cpp, viewer_keys.cpp), help pages (help_texts.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Letting go of Ctrl ends a scribble: its trail goes.
    void keyReleaseEvent(QKeyEvent* event) override;
    // A new size shows the drawing afresh, without a scribble trail.
    void resizeEvent(QResizeEvent* event) override;
    // One wheel notch (120 eighths of a degree) zooms by the square root of 2 about the cursor.
    void wheelEvent(QWheelEvent* event) override;
    QString helpString() const override;
    QString mouseString() const override;
    QString keyboardString() const override;

    void init() override;
    void draw() override;
    // Requests a repaint after every input event, then lets the base dispatch it.
    bool event(QEvent* event) override;
    // Asks about unsaved changes; a cancelled question keeps the window open.
    void closeEvent(QCloseEvent* event) override;

    // The quick update of a mouse move: at once when no solve ran since the last frame, else
    // left to the next frame, which solves once for the newest position (the picture never
    // falls behind the mouse).
    void quickUpdateForMove();
    // ---- helpers for the handlers
    // Sets the view, the handle size that goes with its zoom, and hands the view to the
    // renderer (no re-solve).
    void setView(const View& newView);
    // Emits leftColorChanged, rightColorChanged and blurChanged for the values of the curve
    // set that differ from those last reported (or last received from the panel).
    void reportCurrentValues();

public:
    // ---- seam for every modal question (file names, menu choices)
    // Replaces the dialogs; a null pointer restores the toolkit's real dialogs.
    void setDialogs(std::unique_ptr<ViewerDialogs> replacement);
    ViewerDialogs& dialogs() const { return *dialogRunner; }

private:
    // ---- mouse handling per mode (viewer_mouse.cpp) and context menus (viewer_menus.cpp)
    // What a press, a move and a release do in one mode.
    struct MouseHandlers {
        void (Viewer::*press)(QMouseEvent*);
        void (Viewer::*move)(QMouseEvent*);
        void (Viewer::*release)(QMouseEvent*);
    };
    // The handlers of `mode`; those of ModeCamera for a value outside the enumeration.
    static const MouseHandlers& mouseHandlers(ManipulationMode mode);
    // GL selection pick around widget pixel `pos` with the current mode and view; region is the
    // pick square's edge in widget pixels.
    PickHits pickAt(const QPoint& pos, PickPurpose purpose, int region);
    // Canvas position of the mouse in `event`.
    Point mousePosition(const QMouseEvent* event) const;
    // Opens the gesture `step` and starts dragging the current curve or the multi-selection
    // from the mouse's canvas position.
    void startDrag(const QString& step, QMouseEvent* event);
    void pointPress(QMouseEvent* event);
    void pointMove(QMouseEvent* event);
    void pointRelease(QMouseEvent* event);
    // The item a left press takes among `hits` of a press at canvas point `at`: the last one,
    // except that a control point counts only where `at` lies within its drawn disk (outline
    // included). None when no hit remains.
    std::optional<PickHit> pressedItem(const PickHits& hits, const Point& at) const;
    // Mode 2: the panel's colour question of a colour point.
    void editAttributePoint(const PickHit& point);
    // Mode 8: a colour point takes the bucket colour.
    void paintAttributePoint(const PickHit& point);
    void multiselectionPress(QMouseEvent* event);
    void multiselectionMove(QMouseEvent* event);
    void multiselectionRelease(QMouseEvent* event);
    void strokePress(QMouseEvent* event);
    void strokeMove(QMouseEvent* event);
    void strokeRelease(QMouseEvent* event);
    void panPress(QMouseEvent* event);
    void panMove(QMouseEvent* event);
    void panRelease(QMouseEvent* event);
    void pickColor(QMouseEvent* event);
    // The base viewer's own handling, and no handling at all.
    void basePress(QMouseEvent* event);
    void baseMove(QMouseEvent* event);
    void baseRelease(QMouseEvent* event);
    void ignoreMouse(QMouseEvent*) {}
    void pointContextMenu(QMouseEvent* event);
    void blurMenu(QMouseEvent* event);
    // Drops the scribble marks and repaints: the trail of a scribble that is over.
    void clearScribbleTrail();
    // ---- the document shown (viewer_document.cpp)
    // Connects the document's signals to this window.
    void attachDocument();
    // The title and modified mark of the document's.
    void updateTitle();
    // The view and window size that go with a freshly opened or new drawing.
    void resetViewForDrawing();

    std::unique_ptr<ViewerDialogs> dialogRunner = std::make_unique<ViewerDialogs>();
    std::unique_ptr<Document> ownDocument; // when no document was given
    std::unique_ptr<DialogQuestions> questions;

protected:
    Document& doc;
    CurveSet& curveSet;
    std::unique_ptr<DiffusionSolver> renderer;
    QColor bucketColor = kDefaultBucketColor;
    Texture exampleTexture; // the background image on the GPU, once there is a context
    bool backgroundShown = false;
    bool splinesShown = true;
    int currentAttribute = 0;
    ManipulationMode manipMode = ModeCamera;
    QTimer* timer = nullptr;
    View view;
    Point panAnchor; // the canvas point grabbed by a pan
    bool panning = false;
    QVector<Point> scribbleMarks;
    QVector<Point> stroke;
    DisplayMode displayMode = DisplayMode::Picture;

private:
    // The values the panel shows (see reportCurrentValues).
    QColor shownLeftColor;
    QColor shownRightColor;
    int shownBlur = 0;
    // A keyframe export is running: frames show its picture without the drawing's overlays.
    bool exportingFrames = false;

    std::vector<KeyHandler> keyHandlers;

    bool glReady = false;
    int glWorkDepth = 0; // nesting of beginGLWork / endGLWork
    long frameCount = 0;
    bool solvedSinceFrame = false; // a quick update ran since the last frame was drawn
    bool moveSolvePending = false; // a merged mouse move awaits its solve at the next frame
};
