#pragma once

#include "curve_set.h"
#include "drawing_change.h"
#include "gl_objects.h"
#include "manipulation_mode.h"
#include "picker.h"
#include "point.h"
#include "view_transform.h"
#include "viewer_dialogs.h"

#include <QGLViewer/qglviewer.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class DiffusionSolver;
class HelpWindow;
class QCloseEvent;
class QTimer;

// Full edge length, in canvas units, of a scribble mark of the multi-selection. Halved by
// zoomIn and doubled by zoomOut so that marks keep their size on screen. Process-wide, like the
// handle size of the curve-rendering settings.
extern double markerSize;

// The OpenGL window that shows the drawing and takes all mouse editing.
//
// The viewer keeps its own two-dimensional view instead of the base class's camera: canvas point
// (x, y) appears at normalised device coordinates (zoom (x + panX), zoom (y + panY)). Every frame
// shows the renderer's picture (or the example bitmap) and draws the curves, the scribble marks
// and the stroke being drawn on top.
//
// Every change to the saved part of the drawing (its curves and image size) goes through
// recordEdit() or an open gesture (a drag from press to release), which push one step on the
// undo history. The history's clean state is the saved state: the title shows the drawing's file
// name with a modified mark ("drawing.xml[*] - Hueflow", "Hueflow" alone for a new drawing),
// and anything that would discard unsaved changes asks first (Save / Discard / Cancel).
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
    Viewer();
    ~Viewer() override;

    // ---- read access for the panel wiring, tests and benchmarks
    CurveSet& document() { return curveSet; }
    const CurveSet& document() const { return curveSet; }
    // The renderer; never null.
    DiffusionSolver& solver() const { return *renderer; }
    double zoomFactor() const { return zoom; }
    double panOffsetX() const { return panX; }
    double panOffsetY() const { return panY; }
    bool isPanning() const { return panning; }
    ManipulationMode mode() const { return manipMode; }
    int currentDisplayMode() const { return displayMode; }
    bool areSplinesShown() const { return splinesShown; }
    bool isExampleImgShown() const { return exampleImgShown; }
    bool isExampleImgLoaded() const { return exampleImgLoaded; }
    QColor currentBucketColor() const { return bucketColor; }
    int currentAttributeIndex() const { return currentAttribute; }
    const QImage& exampleImage() const { return exampleImg; }
    const QImage& contourImage() const { return contourImg; }
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
    // The view as the renderer's drawing and picking take it.
    ViewTransform viewTransform() const { return {zoom, panX, panY}; }
    // Canvas position of widget pixel (mx, my), origin top left, with the current view; with
    // canvasRect() at (x0, y0) of side s: x = ((mx - x0) / (s/2) - 1) / zoom - panX,
    // y = (1 - (my - y0) / (s/2)) / zoom - panY.
    Point modelPosition(double mx, double my) const;
    // Widget pixel at which canvas point p appears: the inverse of modelPosition.
    QPointF widgetPosition(const Point& p) const;
    // The help window, once H has opened it; null before.
    HelpWindow* helpWindow() const { return helpPages; }

    // ---- the document's life
    // The undo history of the drawing; at most kUndoLimit steps.
    QUndoStack& undoStack() { return history; }
    // Absolute path of the drawing's file; empty for a drawing never saved or opened.
    const QString& documentPath() const { return filePath; }
    // True when the drawing differs from its file (or, for a new drawing, from empty).
    bool isModified() const { return !history.isClean(); }
    // Opens the drawing at `path` without asking about unsaved changes: the history starts
    // afresh and the file joins the recent files. A file that cannot be read leaves the drawing,
    // its history and its name unchanged (the reader prints why) and returns false. The window
    // takes the drawing's image size and the view is reset in both cases.
    bool openDrawing(const QString& path);
    // The recent files, most recent first.
    QStringList recentFileList() const;

    static constexpr int kUndoLimit = 500;

    // Starts the repaint timer unless it runs already; the frame follows within about 1 ms.
    void requestRepaint();
    // true: redraw on every timer tick (1 ms) whatever changed; false (default): only on request.
    void setContinuousRepaint(bool continuous);

public Q_SLOTS:
    // Colours and blur of the curve set (and of its current curve); quick / full update.
    void setLeftColor(QColor C);
    void setRightColor(QColor C);
    void setBucketColor(QColor C);
    void setBlur(int sigma);
    // Solver iterations (the panel sends 1..20); quick update.
    void setIter(int i);
    // Shifts the blur of the selection by shift_sigma; full update.
    void setGlobalBlur(int shift_sigma);
    // Set-wide edits of the current curve and the multi-selection.
    void smoothSplines();
    void stylizeSplines();
    // Colours of the selection sampled from the example bitmap; nothing without one.
    void sampleFromExample();
    // One snapping pass towards the contour image; nothing without an example bitmap.
    void iterSnake();
    void increaseContrast();
    void decreaseContrast();
    // Curves with a lifetime below th are neither drawn nor rasterised; full update.
    void setLifetimeThreshold(int th);
    // Colour of attribute point currentAttribute of the current curve; quick update.
    void setControlPointLeftColor(QColor C);
    void setControlPointRightColor(QColor C);
    void switchColors();
    // Clipboard (copy and copyBlur change nothing visible).
    void copySplines();
    void pasteSplines();
    void cutSplines();
    void copyBlur();
    void pasteBlur();
    // Display flags; none of them re-solves.
    void showSplines(bool show);
    void showExampleImg(bool show);
    void showAttrib(bool show);
    // Blur pass on or off; full update.
    void activateBlur(bool activate);
    // Colour sides used when a stroke becomes a curve; no re-solve.
    void activateCLeft(bool cl);
    void activateCRight(bool cr);
    // Mouse mode; leaving the multi-selection mode clears the selection (viewer_mouse.cpp).
    void changeManipMode(ManipulationMode manipMode);
    // File commands (viewer_files.cpp, viewer_document.cpp). loadXml opens a drawing chosen in
    // a dialog (asking first about unsaved changes); saveXml saves under a name chosen in a
    // dialog (".xml" added when the name has no extension).
    void loadXml();
    void saveXml();
    // Empty drawing with no file name and a fresh history, after asking about unsaved changes.
    void newDrawing();
    // Saves to the drawing's file, or asks for a name when it has none. False when nothing was
    // saved (cancelled or failed).
    bool saveDrawing();
    bool saveDrawingAs();
    // Opens a recent file after asking about unsaved changes; a file that no longer exists is
    // dropped from the list.
    void openRecent(const QString& path);
    // Undo and redo of the drawing's history; a drag in progress ends first.
    void undo();
    void redo();
    // Removes the current curve, else the multi-selected curves; full update.
    void deleteSplines();
    void savePng();
    // Pictures saved by savePng: 16 bits per channel when on, else 8 (dithered).
    void setSixteenBitPng(bool on) { pngDepth = on ? 16 : 8; }
    // File > Drawing Settings: asks for the colour space the drawing is diffused in; a change is
    // one undo step and re-solves the picture.
    void drawingSettings();
    void loadExampleImg();
    void interpolate();
    // File > Trace Bitmap... (viewer_trace.cpp): traces the example bitmap, or a bitmap asked
    // for when none is loaded, with the settings asked for, fits the colours with the renderer
    // and puts the curves into the drawing (replacing it or added, as asked) as one undo step
    // "Trace Bitmap". Progress and Cancel while it runs.
    void traceBitmap();
    // Doubles (halves) the zoom about the window centre; handleSize and markerSize follow 1/zoom.
    // Full update.
    void zoomIn();
    void zoomOut();
    // Multiplies the zoom by `factor` about widget pixel `pos`: the canvas point under it stays
    // there. Zoom stays within its bounds; handleSize and markerSize follow 1/zoom. Full update.
    void zoomAbout(double factor, const QPointF& pos);
    // The whole canvas again: zoom 1, no pan, the start-up handle and mark sizes. Full update.
    void showWholeCanvas();
    // Shows the help window (the H key), or closes it when it is open.
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
    // The recent files changed (most recent first).
    void recentFilesChanged(const QStringList& files);
    // The window accepted a close request (after any question about unsaved changes).
    void closed();

protected:
    // Mouse and keys (viewer_mouse.cpp, viewer_keys.cpp), help pages (help_texts.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
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

    // ---- helpers for the handlers
    // Makes the context current and returns true; false (nothing current) before init(). Pairs
    // may nest: only the outermost endGLWork() releases the context. Call endGLWork() only after
    // a beginGLWork() that returned true.
    bool beginGLWork();
    void endGLWork();
    // The renderer's two recomputations, with the context made current, then a repaint. Before
    // init() they do nothing (init() solves).
    void quickUpdate();
    void fullUpdate();
    // The quick update of a mouse move: at once when no solve ran since the last frame, else
    // left to the next frame, which solves once for the newest position (the picture never
    // falls behind the mouse).
    void quickUpdateForMove();
    // Sets zoom and pan and hands them to the renderer (no re-solve).
    void setView(double newZoom, double newPanX, double newPanY);
    // Emits leftColorChanged, rightColorChanged and blurChanged for the values of the curve
    // set that differ from those last reported (or last received from the panel).
    void reportCurrentValues();
    // A failure, after its console line: a message box over this window and the status text.
    void reportFailure(const QString& title, const QString& text);
    // The trace of `bitmap` with `options` into the drawing (viewer_trace.cpp); false when
    // cancelled or nothing was found (reported).
    bool traceIntoDrawing(const QImage& bitmap, const TraceOptions& options);

    // ---- the one path of drawing changes (viewer_history.cpp)
    // Runs `change` and pushes what it changed in the drawing as one step named `name` (none
    // when nothing saved changed). Inside another edit or an open gesture it only runs `change`,
    // which then belongs to that step.
    // A mergeable step joins the previous step of the same name when both changed the same
    // curves (a slider dragged over many values).
    void recordEdit(const QString& name, const std::function<void()>& change,
                    bool mergeable = false);
    // A gesture is a change spread over several events (a drag). beginGesture remembers the
    // drawing unless a gesture is open already; endGesture pushes the gesture's step.
    void beginGesture(const QString& name);
    void endGesture();
    // Ends a gesture in progress: its step is pushed and the drag or point selection stops.
    void finishGesture();
    // Asks whether to save unsaved changes. True when the caller may go on (saved, discarded or
    // nothing to lose), false when the user cancelled or the save failed.
    bool maybeSaveChanges();

public:
    // ---- seam for every modal question (file names, menu choices, slider dialogs)
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
    // Mode 2: the dialog (blur) or the panel's colour question (colours) of an attribute point.
    void editAttributePoint(const PickHit& point, const QPoint& globalPos);
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
    // ---- example bitmap (viewer_files.cpp): (re)creates exampleTexture from exampleImg.
    void uploadExampleTexture();
    // ---- document life (viewer_document.cpp)
    void pushChange(const QString& name, const DrawingSnapshot& before, bool mergeable = false);
    // After an undo or redo: the drag stops, the renderer re-solves.
    void historyMoved();
    bool writeDrawing(const QString& path);
    void setDocumentPath(const QString& path);
    void updateTitle();
    // The question of a file dialog, started in the folder last used, whose answer (when not
    // empty) becomes the folder last used.
    QString askOpenFileName(const QString& title, const QString& filter);
    QString askSaveFileName(const QString& title, const QString& filter);
    // The view and window size that go with a freshly opened or new drawing.
    void resetViewForDrawing();
    // The keyframe export proper, with its progress dialog (viewer_files.cpp).
    void exportFrames(const QStringList& files, const KeyframeOptions& options);
    // The message and status text at the end of an export; `folder` ends with a slash.
    void reportExport(const KeyframeExportReport& report, const QString& folder);

    std::unique_ptr<ViewerDialogs> dialogRunner = std::make_unique<ViewerDialogs>();

protected:
    CurveSet curveSet;
    std::unique_ptr<DiffusionSolver> renderer;
    QColor bucketColor{130, 210, 25, 255};
    QImage exampleImg;
    QImage contourImg;
    bool exampleImgLoaded = false;
    bool exampleImgShown = false;
    Texture exampleTexture; // exampleImg on the GPU, once there is a context
    bool splinesShown = true;
    int currentAttribute = 0;
    ManipulationMode manipMode = ModeCamera;
    QTimer* timer = nullptr;
    double zoom = 1.0;
    double panX = 0.0;
    double panY = 0.0;
    double panAnchorX = 0.0;
    double panAnchorY = 0.0;
    bool panning = false;
    QVector<Point> scribbleMarks;
    QVector<Point> stroke;
    int displayMode = 0;

private:
    // The values the panel shows (see reportCurrentValues).
    QColor shownLeftColor;
    QColor shownRightColor;
    int shownBlur = 0;
    // A keyframe export is running: frames show its picture without the drawing's overlays.
    bool exportingFrames = false;
    HelpWindow* helpPages = nullptr; // a child of this window, made by the first help()

    // An open gesture: its step's name and the drawing when it began.
    struct Gesture {
        QString name;
        DrawingSnapshot before;
    };
    QUndoStack history;
    std::optional<Gesture> gesture;
    int editDepth = 0; // nesting of recordEdit
    QString filePath;
    int pictureSize = 512; // side of the last picture exported by savePng, asked for each time
    int pngDepth = 8;      // bits per channel of the pictures savePng writes

    bool glReady = false;
    int glWorkDepth = 0; // nesting of beginGLWork / endGLWork
    long frameCount = 0;
    bool solvedSinceFrame = false; // a quick update ran since the last frame was drawn
    bool moveSolvePending = false; // a merged mouse move awaits its solve at the next frame
};
