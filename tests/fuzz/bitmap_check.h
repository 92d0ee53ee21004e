#pragma once

#include <QByteArray>
#include <string>

// Runs the example bitmap's decoding path (readExampleBitmap, as the editor's background asks
// for it and as the tracer does) on `bytes` stored as a file, and the contour image on what it
// decodes. Checks that a refusal gives a reason and no image, that an accepted bitmap comes back
// at exactly the size asked for whatever its own, and that its contour image has that size too.
// Returns the first violation found, empty when there is none. `decoded` receives whether the
// bitmap was accepted.
std::string checkExampleBitmap(const QByteArray& bytes, bool* decoded = nullptr);
