#pragma once

#include <QString>

class Document;

// An edit of blur values that stays open while the user tries values on the panel's Blur
// slider: one blur point of the current curve, or a shift of the blur of the selection (and of
// the current curve). From the first value shown it is a gesture of the document: each value is
// applied to the drawing as it was when the edit began, so that trying values never
// accumulates; commit() leaves one undo step (none when nothing changed), cancel() puts the
// drawing back.
class BlurEdit {
public:
    explicit BlurEdit(Document& document) : doc(document) {}

    // Opens an edit of blur point `index` of the current curve and returns its value; -1, and
    // nothing opens, when there is no such point.
    int beginPoint(int index);
    // Opens a shift of the selection's blur from 0; false, and nothing opens, when nothing is
    // selected or current.
    bool beginShift();
    // True while an edit is open.
    bool isOpen() const { return target != Target::None; }
    // True, and the edit is dropped, when it no longer stands: the document ended its gesture
    // (an undo, another drawing), or, with `drawingMoved`, the drawing changed under an edit
    // that has shown no value yet.
    bool forgetIfClosed(bool drawingMoved = false);
    // Shows `value`: the point's blur, or the shift of every edited curve. Nothing while the
    // document is busy with another edit.
    void preview(int value);
    // End the edit and return what it came to, in a few words ("Blur point set to 5").
    QString commit();
    QString cancel();

private:
    enum class Target { None, Point, Shift };
    void open(Target kind, int initial);

    Document& doc;
    Target target = Target::None;
    int point = -1;
    int value = 0;
    int startValue = 0;
    int curvesEdited = 0;
    bool gestureOpened = false;
};
