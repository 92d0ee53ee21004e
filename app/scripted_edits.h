#pragma once

#include <QStringList>

class Document;

// Name of the environment variable through which tests script an editor started as a process:
// a list of drawing files separated by ':'.
constexpr const char* kScriptedEditsVariable = "TINTWEAVE_SCRIPTED_EDITS";

// Makes, one every `intervalMs` from the event loop's start, an edit per file of `files`: the
// drawing takes that file's curves and image size as one step "Scripted Edit", keeping its own
// file name, and the line "Scripted edit N done" (N from 1) goes to standard output, so that a
// test knows when its edit was made. A file that cannot be read is skipped.
void scheduleScriptedEdits(Document& document, const QStringList& files, int intervalMs = 300);
