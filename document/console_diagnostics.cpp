#include "console_diagnostics.h"

#include <iostream>

namespace {
DiagnosticLines destination = DiagnosticLines::Console;
} // namespace

void setDiagnosticLines(DiagnosticLines where) { destination = where; }

std::ostream* diagnosticStream(std::ostream& editorStream)
{
    switch (destination) {
    case DiagnosticLines::Console: return &editorStream;
    case DiagnosticLines::Stderr: return &std::cerr;
    case DiagnosticLines::Off: break;
    }
    return nullptr;
}
