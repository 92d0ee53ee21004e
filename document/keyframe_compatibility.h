#pragma once

#include <QString>
#include <QStringList>

class CurveSet;

// Keyframes are successive edits of one drawing: they are blended curve by curve (curve i with
// curve i) and point by point, so they must hold the same number of curves and, curve by curve,
// the same numbers of control points, left colours, right colours and blur points. Otherwise
// blended frames would lose curves or points, or jump from one pair to the next.

// The first structural difference between two keyframes in words, naming them by
// `firstName` and `secondName`: "a.xml has 3 curves and b.xml 2", "curve 4 (counted from 0) has
// 7 control points in a.xml and 10 in b.xml"; empty when they can be blended.
QString keyframeMismatch(const CurveSet& first, const QString& firstName, const CurveSet& second,
                         const QString& secondName);

// Loads every keyframe of `files` and compares each with the next. The first problem in words:
// "cannot load b.xml: <cause>" or "keyframes do not match: <mismatch>"; empty when the whole
// sequence can be blended.
QString keyframeSequenceProblem(const QStringList& files);
