#pragma once

#include <QByteArray>
#include <string>

// Runs the CurveSetXML reader on `input`. When it accepts the document, checks that the drawing
// is sound (finite geometry, counts equal to array sizes, whole segments, sorted positions,
// channels and blur in range, layers within bounds covering the curves), walks every curve as the renderer does, and checks that writing
// the drawing and reading it back gives the same structure. Returns the first violation found,
// empty when there is none. `accepted` receives the reader's verdict.
std::string checkXmlReader(const QByteArray& input, bool* accepted = nullptr);
