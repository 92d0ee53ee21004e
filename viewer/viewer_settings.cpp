#include "viewer_settings.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "viewer.h"

#include <algorithm>

ViewerSettings::ViewerSettings(Viewer& shown) : viewer(shown)
{
    const CurveSet& curves = viewer.document();
    shownLeftColor = curves.current_left_color;
    shownRightColor = curves.current_right_color;
    shownBlur = curves.current_blur;
}

void ViewerSettings::pickBucketColor(QColor color)
{
    bucket = color;
    emit bucketColorChanged(bucket);
}

void ViewerSettings::reportCurrentValues()
{
    const CurveSet& curves = viewer.document();
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
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Left Color", [&] { curves.setLeftColor(C); });
    viewer.quickUpdate();
}

void ViewerSettings::setRightColor(QColor C)
{
    shownRightColor = C;
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Right Color", [&] { curves.setRightColor(C); });
    viewer.quickUpdate();
}

void ViewerSettings::setBlur(int sigma)
{
    // The panel's slider echoes the blur this viewer reported: a curve with several blur
    // values keeps them.
    shownBlur = sigma;
    CurveSet& curves = viewer.document();
    if (sigma == curves.current_blur)
        return;
    // The panel's slider sends every value it passes: one step per slider drag.
    viewer.drawing().recordEdit(
        "Blur", [&] { curves.setBlur(sigma); }, true);
    viewer.fullUpdate();
}

void ViewerSettings::setIter(int i)
{
    viewer.solver().settings().iterations = std::clamp(i, kMinIterations, kMaxIterations);
    viewer.quickUpdate();
}

void ViewerSettings::setLifetimeThreshold(int th)
{
    ::setLifetimeThreshold(th);
    viewer.fullUpdate();
}

void ViewerSettings::setControlPointLeftColor(QColor C)
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Left Color Point", [&] { curves.setLeftColorOf(C, attribute); });
    viewer.quickUpdate();
}

void ViewerSettings::setControlPointRightColor(QColor C)
{
    CurveSet& curves = viewer.document();
    viewer.drawing().recordEdit("Right Color Point", [&] { curves.setRightColorOf(C, attribute); });
    viewer.quickUpdate();
}

void ViewerSettings::showSplines(bool show)
{
    display.splinesShown = show;
    viewer.requestRepaint();
}

void ViewerSettings::showAttrib(bool show)
{
    viewer.document().show_attributes = show;
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
    viewer.fullUpdate();
}

void ViewerSettings::activateCLeft(bool cl) { viewer.document().left_colors_active = cl; }

void ViewerSettings::activateCRight(bool cr) { viewer.document().right_colors_active = cr; }
