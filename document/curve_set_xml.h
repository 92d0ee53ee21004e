#pragma once

#include <QByteArray>
#include <QString>

class CurveSet;
class QIODevice;

// The CurveSetXML text of a drawing: image pixels (attribute "x" the row from the top, "y" the
// column), colours as 0..255 channels with "B" carrying red and "R" blue, reals to six
// significant digits, one space of indentation per level.
QByteArray writeCurveSetXml(const CurveSet& set);

// Parses a CurveSetXML document from `input` into `into`, which should be a fresh set carrying
// the current colours and blur that new curves take as defaults. Returns false with a one-line
// `reason` when the input is not a well-formed curve_set, lacks a usable image size or holds a
// non-finite or out-of-range number; `into` is then in an unspecified state and must be dropped.
bool readCurveSetXml(QIODevice& input, CurveSet& into, QString& reason);
