#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class CurveSet;
class QIODevice;

// The CurveSetXML text of a drawing: image pixels (attribute "x" the row from the top, "y" the
// column), colours as 0..255 channels with "B" carrying red and "R" blue, plus "A", the opacity,
// on colour points that are not opaque; reals to six significant digits, one space of
// indentation per level. A drawing of more than one layer, or of one layer that is hidden,
// locked, translucent or renamed, holds its curves in "layer" elements under "curve_set", bottom
// first ("name", "nb_curves", "visible", "opacity", and "locked" when set); any other drawing is
// written as files were before layers, its curves right under "curve_set".
QByteArray writeCurveSetXml(const CurveSet& set);

// Parses a CurveSetXML document from `input` into `into`, which should be a fresh set carrying
// the current colours and blur that new curves take as defaults. Curves right under "curve_set"
// form one layer; "layer" elements give one layer each (at most kMaxLayers, names of at most
// kMaxLayerNameLength characters); the top layer becomes current. Returns false with a one-line
// `reason` when the input is not a well-formed curve_set, lacks a usable image size, holds a
// non-finite or out-of-range number, an unusable layer attribute or curves beside layers; `into`
// is then in an unspecified state and must be dropped.
// `progress`, when given, hears now and then how far the reading is: characters read of the
// document's total, as curves are read.
using ReadProgress = std::function<void(qint64 done, qint64 total)>;
bool readCurveSetXml(QIODevice& input, CurveSet& into, QString& reason,
                     const ReadProgress& progress = {});

// Writes the drawing as a CurveSetXML document through a temporary file renamed on success.
// False on any error; the previous file is then untouched. The cause, also printed on stderr,
// goes to `cause` when given.
bool saveXml(const CurveSet& set, const QString& path, QString* cause = nullptr);

// Replaces the drawing with the file's. False, with a one-line message on stderr, when the file
// is missing, unreadable, malformed or holds unusable numbers; the set is then unchanged. The
// cause of a failure goes to `cause` when given. A loaded drawing prints its curve count on
// stdout (a diagnostic line, see console_diagnostics.h).
bool loadXml(CurveSet& set, const QString& path, QString* cause = nullptr,
             const ReadProgress& progress = {});
