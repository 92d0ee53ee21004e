#pragma once

#include <QString>

#include <functional>

// Runs `work` and returns what it wrote on std::cerr, which still reaches the console as
// well. The model reports why a file could not be read or written there; the viewer shows
// the same words on screen.
QString runCapturingErrors(const std::function<void()>& work);

// The cause in a console report such as `[!]> Cannot save "a.xml": No space left on device`:
// the text after the file name of its last line, else that line without its "[!]> " mark.
// `fallback` when nothing was printed.
QString causeOf(const QString& printed, const QString& fallback);
