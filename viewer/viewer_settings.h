#pragma once

#include "display_mode.h"
#include "overlay_curves.h"
#include "shared_constants.h"

#include <QColor>
#include <QObject>

class CurveSet;
class Viewer;

// Whose lines the frames draw while the splines are shown (the panel's choice beside Show
// Splines): every curve's; the current, selected and hovered curves' only; or (Auto) every
// curve's until the drawing holds more than kDenseDrawingCurves, then as Selected.
enum class LinesShown { Auto, All, Selected };
// Past this many curves lines drawn over the picture hide it (a traced photo has a thousand).
constexpr int kDenseDrawingCurves = 300;
// The handles of a larger selection would cover the picture: only its box is drawn.
constexpr int kMaxSelectedWithHandles = 50;

// What the frame drawing shows besides the picture.
struct DisplayFlags {
    bool splinesShown = true;
    LinesShown lines = LinesShown::Auto;
    // The example bitmap instead of the renderer's picture.
    bool backgroundShown = false;
    // A keyframe export is running: frames show its picture without the drawing's overlays.
    bool exportingFrames = false;
    // Which of the renderer's images the picture is (F1..F7).
    DisplayMode mode = DisplayMode::Picture;
};

// The overlay the frames draw with `display` over `curves`, `hoveredCurve` being the curve under
// the pointer (-1: none).
OverlayOptions overlayOptions(const DisplayFlags& display, const CurveSet& curves,
                              int hoveredCurve);
// True when `display` over `curves` draws the lines of the current, selected and hovered curves
// only.
bool linesFollowSelection(const DisplayFlags& display, const CurveSet& curves);

// The values the control panel sets and shows, held for one viewer: the colours and blur of the
// next stroke, the solver's settings, the display flags, the bucket colour and the attribute
// point being edited. The slots record their edits in the viewer's document and ask the viewer
// for the update each needs; the mouse tools and the frame drawing read the rest.
class ViewerSettings : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit ViewerSettings(Viewer& viewer);

    DisplayFlags display;

    QColor bucketColor() const { return bucket; }
    // The attribute point of the current curve that the colour-point slots edit.
    int currentAttribute() const { return attribute; }
    void setCurrentAttribute(int index) { attribute = index; }
    // Sets the bucket colour taken from the picture and tells the panel (bucketColorChanged).
    void pickBucketColor(QColor color);
    // Emits leftColorChanged, rightColorChanged and blurChanged for the values of the curve
    // set that differ from those last reported (or last received from the panel): those of the
    // current curve when there is one, else those of the next stroke.
    void reportCurrentValues();
    // A blur is being edited: turns the blur pass on when it is off, so that the edit shows,
    // and tells the panel (blurActivated). Nothing when it is on.
    void showBlurOfEdit();

public Q_SLOTS:
    // Colours and blur of the curve set (and of its current curve); quick / full update.
    void setLeftColor(QColor C);
    void setRightColor(QColor C);
    void setBucketColor(QColor C) { bucket = C; }
    void setBlur(int sigma);
    // Solver iterations (the panel sends 1..20); quick update.
    void setIter(int i);
    // Curves with a lifetime below th are neither drawn nor rasterised; full update.
    void setLifetimeThreshold(int th);
    // Colour of attribute point currentAttribute() of the current curve; quick update.
    void setControlPointLeftColor(QColor C);
    void setControlPointRightColor(QColor C);
    // Display flags; none of them re-solves.
    void showSplines(bool show);
    void setLinesShown(LinesShown lines);
    void showAttrib(bool show);
    void showBackgroundImage(bool show);
    // Blur pass on or off; full update.
    void activateBlur(bool activate);
    // Colour sides used when a stroke becomes a curve; no re-solve.
    void activateCLeft(bool cl);
    void activateCRight(bool cr);

Q_SIGNALS:
    void bucketColorChanged(QColor);
    // A press on a colour point (mode 2): the panel asks for its new colour, starting from this.
    void changeControlPointLeftColor(QColor);
    void changeControlPointRightColor(QColor);
    // A press on blur point `index` of the current curve (mode 2): the blur edit takes it
    // (blur_edit_commands.h).
    void blurPointPressed(int index);
    // The colours and blur the next stroke gets changed (a curve was selected, a drawing
    // opened, an edit undone): the panel shows them.
    void leftColorChanged(QColor);
    void rightColorChanged(QColor);
    void blurChanged(int);
    // The blur pass was turned on or off here (not by the panel): the panel shows it.
    void blurActivated(bool);

private:
    Viewer& viewer;
    QColor bucket = kDefaultBucketColor;
    int attribute = 0;
    // The values the panel shows (see reportCurrentValues).
    QColor shownLeftColor;
    QColor shownRightColor;
    int shownBlur = 0;
};
