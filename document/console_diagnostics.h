#pragma once

#include <iosfwd>

// Where the libraries' informational console lines go: the uniform locations a shader program
// looks up and the curve count of a loaded drawing. Errors are printed whatever this says.
enum class DiagnosticLines {
    Console, // the editor (the default): each line on the stream it belongs to
    Stderr,  // a command-line program asked for them (--verbose): all on stderr, stdout stays free
    Off,     // a command-line program by default: none
};

void setDiagnosticLines(DiagnosticLines where);

// The stream for an informational line that the editor prints on `editorStream`: that stream,
// std::cerr or none (null), as setDiagnosticLines decided.
std::ostream* diagnosticStream(std::ostream& editorStream);
