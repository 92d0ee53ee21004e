#include "viewer_settings.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "viewer.h"

#include <algorithm>

bool linesFollowSelection(const DisplayFlags& display, const CurveSet& curves)
{
    return display.lines == LinesShown::Selected
           || (display.lines == LinesShown::Auto && curves.nb_curves > kDenseDrawingCurves);
}

OverlayOptions overlayOptions(const DisplayFlags& display, const CurveSet& curves, int hoveredCurve)
{
    OverlayOptions options;
    options.maxSelectedWithHandles = kMaxSelectedWithHandles;
    // The lines of the layers the mouse does not edit are faded.
    options.editable = curves.layerRange(curves.currentLayer());
    if (linesFollowSelection(display, curves)) {
        options.lines = OverlayOptions::Lines::SelectedOnly;
        options.hoveredCurve = hoveredCurve;
    }
    return options;
}

ViewerSettings::ViewerSettings(Viewer& shown) : viewer(shown)
{
    const CurveSet& curves = viewer.curves();
    shownLeftColor = curves.current_left_color;
    shownRightColor = curves.current_right_color;
    shownBlur = curves.current_blur;
}

void ViewerSettings::pickBucketColor(QColor color)
{
    bucket = color;
    emit bucketColorChanged(bucket);
}

void ViewerSettings::showBlurOfEdit()
{
    if (viewer.solver().settings().blurEnabled)
        return;
    activateBlur(true);
    emit blurActivated(true);
}

void ViewerSettings::reportCurrentValues()
{
    CurveSet& curves = viewer.curves();
    // Commands change the current curve's colours (switch, read from the bitmap, undo): the
    // values shown follow the curve.
    if (curves.hasCurrentCurve()) {
        const Curve& current = curves.curve(curves.current_curve);
        curves.current_left_color = current.defaultLeftColor();
        curves.current_right_color = current.defaultRightColor();
        curves.current_blur = current.defaultBlur();
    }
    if (curves.current_left_color != shownLeftColor) {
        shownLeftColor = curves.current_left_color;
        emit leftColorChanged(shownLeftColor);
    }
    if (curves.current_right_color != shownRightColor) {
        shownRightColor = curves.current_right_color;
        emit rightColorChanged(shownRightColor);
    }
    if (curves.current_blur != shownBlur) {
        shownBlur = curves.current_blur;
        emit blurChanged(shownBlur);
    }
}

void ViewerSettings::setLeftColor(QColor C)
{
    shownLeftColor = C;
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Left Color", [&] { curves.setLeftColor(C); });
}

void ViewerSettings::setRightColor(QColor C)
{
    shownRightColor = C;
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Right Color", [&] { curves.setRightColor(C); });
}

void ViewerSettings::setBlur(int sigma)
{
    // The panel's slider echoes the blur this viewer reported: a curve with several blur
    // values keeps them.
    shownBlur = sigma;
    CurveSet& curves = viewer.curves();
    if (sigma == curves.current_blur)
        return;
    // The blur of a curve changes: the blur pass shows it.
    if (curves.hasCurrentCurve())
        showBlurOfEdit();
    // The panel's slider sends every value it passes: one step per slider drag.
    viewer.document().recordEdit(
        "Blur", [&] { curves.setBlur(sigma); }, true);
}

void ViewerSettings::setIter(int i)
{
    viewer.solver().settings().iterations = std::clamp(i, kMinIterations, kMaxIterations);
    viewer.refreshPictureAfresh();
}

void ViewerSettings::setLifetimeThreshold(int th)
{
    ::setLifetimeThreshold(th);
    // Which curves are drawn changed: a fresh picture, solved at once.
    viewer.refreshPictureAfresh();
    viewer.settlePicture();
}

void ViewerSettings::setControlPointLeftColor(QColor C)
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Left Color Point", [&] { curves.setLeftColorOf(C, attribute); });
}

void ViewerSettings::setControlPointRightColor(QColor C)
{
    CurveSet& curves = viewer.curves();
    viewer.document().recordEdit("Right Color Point",
                                 [&] { curves.setRightColorOf(C, attribute); });
}

void ViewerSettings::showSplines(bool show)
{
    display.splinesShown = show;
    viewer.requestRepaint();
}

void ViewerSettings::setLinesShown(LinesShown lines)
{
    display.lines = lines;
    viewer.requestRepaint();
}

void ViewerSettings::showAttrib(bool show)
{
    viewer.curves().show_attributes = show;
    viewer.requestRepaint();
}

void ViewerSettings::showBackgroundImage(bool show)
{
    display.backgroundShown = show;
    viewer.requestRepaint();
}

void ViewerSettings::activateBlur(bool activate)
{
    viewer.solver().settings().blurEnabled = activate;
    viewer.refreshPictureAfresh();
}

void ViewerSettings::activateCLeft(bool cl) { viewer.curves().left_colors_active = cl; }

void ViewerSettings::activateCRight(bool cr) { viewer.curves().right_colors_active = cr; }
