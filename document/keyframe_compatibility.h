#pragma once

#include <QString>
#include <QStringList>

class CurveSet;

// Keyframes are successive edits of one drawing: they are blended layer by layer, curve by curve
// (curve i with curve i) and point by point, so they must hold the same number of layers, the
// same number of curves in each layer and, curve by curve, the same numbers of control points,
// left colours, right colours and blur points. Otherwise blended frames would lose curves or
// points, move curves between layers, or jump from one pair to the next.

// The first structural difference between two keyframes in words, naming them by
// `firstName` and `secondName`, checked in this order: "a.xml has 2 layers and b.xml 1",
// "a.xml has 3 curves and b.xml 2", "layer 1 (counted from 0) has 2 curves in a.xml and 3 in
// b.xml", "curve 4 (counted from 0) has 7 control points in a.xml and 10 in b.xml"; empty when
// they can be blended.
QString keyframeMismatch(const CurveSet& first, const QString& firstName, const CurveSet& second,
                         const QString& secondName);

// Loads every keyframe of `files` and compares each with the next. The first problem in words:
// "cannot load b.xml: <cause>" or "keyframes do not match: <mismatch>"; empty when the whole
// sequence can be blended.
QString keyframeSequenceProblem(const QStringList& files);
