#include "blur_edit.h"

#include "document.h"
#include "curve_set_edits.h"

int BlurEdit::beginPoint(int index)
{
    const int current = doc.curves().blurValue(index);
    if (current < 0)
        return -1;
    open(Target::Point, current);
    point = index;
    return current;
}

bool BlurEdit::beginShift()
{
    const CurveSet& set = doc.curves();
    if (set.selection.isEmpty() && !set.hasCurrentCurve())
        return false;
    open(Target::Shift, 0);
    return true;
}

void BlurEdit::open(Target kind, int initial)
{
    target = kind;
    value = startValue = initial;
    curvesEdited = 0;
    gestureOpened = false;
}

bool BlurEdit::forgetIfClosed(bool drawingMoved)
{
    const bool closed = gestureOpened ? !doc.hasGesture() : drawingMoved;
    if (!isOpen() || !closed)
        return false;
    target = Target::None;
    return true;
}

void BlurEdit::preview(int newValue)
{
    if (!isOpen())
        return;
    if (!gestureOpened) {
        // The gesture opens with the first value shown, not with the press that began the
        // edit, whose release ends the mouse's gestures.
        if (doc.isBusy())
            return;
        doc.beginGesture(target == Target::Point ? "Blur Point" : "Shift Blur");
        gestureOpened = true;
    } else if (!doc.hasGesture()) {
        return; // ended meanwhile: see forgetIfClosed
    }
    value = newValue;
    doc.revertGesture();
    doc.recordEdit(QString(), [&] {
        if (target == Target::Point)
            doc.curves().setBlurOf(value, point);
        else
            curvesEdited = setGlobalBlur(doc.curves(), value);
    });
}

QString BlurEdit::commit()
{
    if (!isOpen())
        return QString();
    const Target ended = target;
    target = Target::None;
    if (gestureOpened)
        doc.endGesture();
    if (value == startValue)
        return QString("Blur unchanged");
    if (ended == Target::Point)
        return QString("Blur point set to %1").arg(value);
    return QString("Blur of %1 curve%2 shifted by %3")
        .arg(curvesEdited)
        .arg(curvesEdited == 1 ? "" : "s")
        .arg(value);
}

QString BlurEdit::cancel()
{
    if (!isOpen())
        return QString();
    target = Target::None;
    if (gestureOpened)
        doc.cancelGesture();
    return QString("Blur edit cancelled");
}
