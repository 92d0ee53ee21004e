#pragma once

#include "canvas_placement.h"
#include "curve_pick_index.h"
#include "curve_set.h"
#include "document.h"
#include "gl_objects.h"
#include "manipulation_mode.h"
#include "overlay_curves.h"
#include "overlay_layer.h"
#include "view.h"
#include "viewer_dialogs.h"

#include <QGLViewer/qglviewer.h>
#include <QImage>

#include <functional>
#include <memory>
#include <vector>

class DiffusionSolver;
class DocumentBinding;
class PictureRefresh;
class QCloseEvent;
class QImage;
class QKeyEvent;
class QTimer;
class ViewNavigator;
class ViewerSettings;
struct MouseTools;

// The OpenGL window that shows a drawing: the GL life cycle, the view, the frames, and the
// mouse and keys handed on to the tool of the current mode and to the key handlers. The viewer
// keeps its own two-dimensional view instead of the base class's camera: canvas point p appears
// at normalised device coordinates zoom (p + pan) of the canvas square (placement()). A frame
// shows the renderer's picture (or the example bitmap), the curves and the tool's marks.
//
// The drawing, its history and its file belong to a Document shown through a DocumentBinding
// (viewer_document.h); the panel's values live in settings(), the mouse tools and context menus
// in tools() (mouse_tools.h), zooming in navigation(), the keys in viewer_keys.h.
//
// GL work outside init()/draw() runs between beginGLWork() and endGLWork(); before the first
// show there is no context: updates only change state, and init() solves. requestRepaint()
// starts the 1 ms single-shot repaint timer: every update and input event requests a frame, and
// an idle editor draws nothing.
class Viewer : public QGLViewer {
    Q_OBJECT

public:
    // Shows `document`, which must outlive the viewer; without one the viewer makes its own.
    explicit Viewer(Document* document = nullptr);
    ~Viewer() override;

    // The document shown (the drawing, its history and file) and its curve set.
    Document& document() { return doc; }
    CurveSet& curves() { return curveSet; }
    DiffusionSolver& solver() const { return *renderer; } // the renderer; never null
    ViewerSettings& settings() const { return *values; }
    MouseTools& tools() const { return *mouseTools; }
    ViewNavigator& navigation() const { return *zooming; }
    ManipulationMode mode() const { return manipMode; }

    const View& currentView() const { return view; }
    // Sets the view, the handle size that goes with its zoom (handles keep their size on
    // screen), and hands the view to the renderer; the picture is solved afresh for it.
    void setView(const View& newView);
    // The canvas square in this widget and its mapping to canvas positions, with the view.
    CanvasPlacement placement() const;

    // The curves' bodies kept for picking on the CPU (curve_pick_index.h), synced at each pick.
    CurvePickIndex& pickIndex() { return picking; }
    // The curve under the pointer while the lines follow the selection (its line is drawn
    // then); -1 for none, or when every line is drawn.
    int hoveredCurve() const { return hovered; }

    // True once init() has run: the GL context and the renderer's images exist.
    bool isGLReady() const { return glReady; }
    // Number of frames drawn by draw() since construction.
    long framesDrawn() const { return frameCount; }
    // Starts the repaint timer unless it runs already; the frame follows within about 1 ms.
    void requestRepaint();
    // true: redraw on every timer tick whatever changed (to measure a frame's cost); false
    // (default): only on request.
    void setContinuousRepaint(bool continuous);

    // Makes the context current and returns true; false (nothing current) before init(). Pairs
    // nest; call endGLWork() only after a beginGLWork() that returned true.
    bool beginGLWork();
    void endGLWork();
    // ---- the picture: the one path from a change to a new picture (picture_refresh.h)
    // Every edit of the document reaches the picture through its drawingEdited signal; the view
    // (setView) and the renderer's settings call refreshPictureAfresh. Both only mark the work
    // and request a frame: the frames re-solve, a budget of cycles each, until the picture
    // rests. settlePicture does that work at once (commands that read the picture).
    void refreshPictureAfresh();
    void settlePicture();
    bool isPictureSettling() const;
    // Drawings of at least this many curves take seconds to show first (the geometry, the
    // constraint images, the first solve): their first picture is made with its progress
    // reported.
    static constexpr int kPreparedWithProgress = 2000;
    // For a new drawing of at least kPreparedWithProgress curves: the first picture is made
    // from the event loop, with its progress reported (picturePreparing); frames drawn until
    // then (the progress dialog lets events through) show no picture and solve nothing. Returns
    // false, doing nothing, for smaller drawings.
    bool scheduleLargePicture();

    // A failure, after its console line: a message box over this window and the status text.
    void reportFailure(const QString& title, const QString& text);
    // The picture shown instead of the renderer's while settings().display.backgroundShown (the
    // example bitmap). Without a context yet the image is not kept: nothing is shown.
    void setBackgroundImage(const QImage& image);
    unsigned int exampleTextureName() const { return exampleTexture.name(); }
    // True when the frames show the background image instead of the renderer's picture.
    bool showsBackgroundImage() const;
    // The background image as set (null when none is kept); it covers the whole canvas.
    const QImage& backgroundImage() const { return exampleImage; }
    // Offered every key press before this window's own keys; a handler returning true took it.
    using KeyHandler = std::function<bool(const QKeyEvent&)>;
    void addKeyHandler(KeyHandler handler);

    // Every modal question (file names, menu choices); a null replacement restores the real ones.
    void setDialogs(std::unique_ptr<ViewerDialogs> replacement);
    ViewerDialogs& dialogs() const { return *dialogRunner; }

public Q_SLOTS:
    // Mouse mode; leaving the multi-selection mode clears the selection.
    void changeManipMode(ManipulationMode manipMode);

Q_SIGNALS:
    // What the last command came to, in a few words ("Saved drawing.xml"), for the status line.
    void outcomeReported(const QString& text);
    // The window accepted a close request (after any question about unsaved changes).
    void closed();
    // How far the first picture of a large drawing has come (`done` of `total`); done == total
    // when it is shown.
    void picturePreparing(int done, int total);

protected:
    // Mouse events go to the tool of the current mode; a release also ends the document's
    // gesture. The wheel zooms (view_navigator.h), keys go to the handlers, then viewer_keys.h.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void init() override;
    void draw() override;
    // A repaint after every input event; Ctrl let go and a new size drop the scribble trail.
    bool event(QEvent* event) override;
    // Asks about unsaved changes; a cancelled question keeps the window open.
    void closeEvent(QCloseEvent* event) override;

private:
    // The work that scheduleLargePicture schedules (nothing when the picture rests already).
    void prepareLargePicture();
    // The tools hand the events they do not take to the GL widget's own handling.
    friend class MouseTool;

    std::unique_ptr<ViewerDialogs> dialogRunner = std::make_unique<ViewerDialogs>();
    std::unique_ptr<Document> ownDocument; // when no document was given
    Document& doc;
    CurveSet& curveSet;
    std::unique_ptr<DiffusionSolver> renderer;
    std::unique_ptr<PictureRefresh> picture;
    std::unique_ptr<ViewerSettings> values;
    std::unique_ptr<MouseTools> mouseTools;
    std::unique_ptr<ViewNavigator> zooming;
    std::unique_ptr<DocumentBinding> binding;
    std::vector<KeyHandler> keyHandlers;
    Texture exampleTexture;    // the background image on the GPU, once there is a context
    QImage exampleImage;       // the same image, kept with its texture (shared, not copied)
    CurveOverlayCache overlay; // the curves' lines as the last frame drew them
    OverlayLayer overlayLayer; // the lines of the curves that did not change lately
    CurvePickIndex picking;
    // Follows the pointer without a button: the curve under it, whose line is drawn.
    void followPointer(const QPoint& pos);

    ManipulationMode manipMode = ModeCamera;
    int hovered = -1;
    QTimer* timer = nullptr;
    View view;
    bool glReady = false;
    bool preparing = false; // the first picture of a large drawing is due or being made
    int glWorkDepth = 0;    // nesting of beginGLWork / endGLWork
    long frameCount = 0;
};
