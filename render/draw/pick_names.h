#pragma once

#include "curve.h" // AttributeKind, kSamplesPerSegment
#include "manipulation_mode.h"

// The selection names of GL_SELECT picking: which name drawForPicking (curve_drawing.h) loads for
// each item, and what a name read back from a hit record stands for. The numbers are the contract
// between the named drawing and the viewer's mouse handlers:
//
//   without a current curve (modes 0, 1, 2, 8)   curve i is named i
//   mode 3, Toggle and Scribble                  curve i is named i
//   mode 3, Press                                0 the curves outside the multiselection,
//                                                1 the selection box and the selected curves
//   with a current curve (modes 0, 2, 8)         0 the other curves, 1 its bounding box,
//                                                2 its body (Press only),
//                                                10000 + k its control point k (mode 0),
//                                                10000 * kind + i attribute point i (modes 2 and
//                                                8, Press; kind 1 blur, 2 left, 3 right colour),
//                                                globalID + 10 a position along it (its sample
//                                                pieces, and its attribute points for the other
//                                                purposes)
//
// A name depends on what was drawn, so decoding needs the mode, the purpose and the current
// curve. No GL here: names are plain unsigned ints.

// What a pick is for; it decides which items are named.
enum class PickPurpose : int {
    Press = 0,    // left press: the current curve's items, or the curve to make current
    Menu = 1,     // context menu: positions along the current curve
    Toggle = 2,   // Shift-click of the multiselection: curves by index
    Scribble = 3, // Ctrl-scribble of the multiselection: curves by index
};

// The viewer's mouse modes that name items are ModeMovePoint, ModeSelectCurve, ModeModifAttrib,
// ModeSelectMulti and ModeBucket; other modes name nothing.

enum class PickKind {
    Nothing,         // no item: another curve than the current one, or outside the selection
    Curve,           // a curve, by index
    Selection,       // mode 3: the selection box or one of the selected curves
    CurveBox,        // the current curve's bounding box
    CurveBody,       // the current curve's body
    ControlPoint,    // control point `index` of the current curve
    BlurPoint,       // blur point `index` of the current curve
    LeftColorPoint,  // left colour point `index`
    RightColorPoint, // right colour point `index`
    CurvePosition,   // the position globalID = `index` along the current curve
};

// One hit record, typed.
struct PickHit {
    PickKind kind = PickKind::Nothing;
    int curve = -1; // the curve the item is or belongs to; -1 for Nothing and Selection
    int index = -1; // point index, attribute index or globalID; -1 for kinds without one
};

bool operator==(const PickHit& a, const PickHit& b);
inline bool operator!=(const PickHit& a, const PickHit& b) { return !(a == b); }

// What was drawn for a pick: the mode, the purpose and the current curve (-1 for none).
struct PickContext {
    ManipulationMode mode = ModeMovePoint;
    PickPurpose purpose = PickPurpose::Press;
    int currentCurve = -1;
};

// ---- names loaded by the drawing
constexpr unsigned kPickNameNothing = 0;
constexpr unsigned kPickNameBox = 1; // the current curve's box, or mode 3's selection
constexpr unsigned kPickNameBody = 2;
constexpr unsigned kPickPointNameBase = 10000;

inline unsigned curvePickName(int curve) { return static_cast<unsigned>(curve); }
// 10000 + k.
inline unsigned controlPointPickName(int k)
{
    return kPickPointNameBase + static_cast<unsigned>(k);
}
// 10000 * kind + i with kind 1 blur, 2 left colour, 3 right colour.
unsigned attributePointPickName(AttributeKind list, int i);
// globalID + kSamplesPerSegment.
inline unsigned curvePositionPickName(int globalID)
{
    return static_cast<unsigned>(globalID + kSamplesPerSegment);
}
// Sample piece starting at parameter t of segment s: kSamplesPerSegment * (s + 1) +
// kSamplesPerSegment * t, rounded down after the sum is formed in double precision, i.e. the
// globalID of the piece's first sample plus kSamplesPerSegment.
unsigned samplePiecePickName(int segment, double t);

// The name drawForPicking loads for the item `hit` (the inverse of decodePickName).
unsigned encodePickName(const PickHit& hit);

// The item a name stands for in `context`. A name the drawing does not give in that context
// decodes as Nothing. With a current curve in mode 0 for the Menu, Toggle and Scribble purposes,
// names of 10000 and more are control points: a position along a curve of more than 998 segments
// reads as a control point there.
PickHit decodePickName(unsigned name, const PickContext& context);
