#pragma once

#include "shared_constants.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <iosfwd>

class CurveSet;

// Frames of one pair of consecutive keyframes in the editor's animation export: t = j / 25 for
// j = 0 .. 25, both keyframes included.

// An animation to write: the keyframe drawings in order, the path prefix of the frames (frame N
// goes to prefix + N + ".png", e.g. "output/interpol" gives "output/interpol0.png") and the
// frames per consecutive pair, both keyframes included (at least 2).
// `onFrame`, when set, is told after each frame how many are done out of `total`; false stops
// the animation there, and the frames written stay.
// `firstFrame` .. `lastFrame` (-1: the last frame) limits the run to those frames, numbered as
// in the whole animation; each is the same picture the whole run writes, so an animation can
// be shared out among processes.
struct KeyframeSequence {
    QStringList files;
    QString prefix;
    int framesPerPair = kDefaultFramesPerPair;
    std::function<bool(int done, int total)> onFrame;
    int firstFrame = 0;
    int lastFrame = -1;

    // Frames of the whole animation: framesPerPair for each consecutive pair of files.
    int totalFrames() const { return files.size() < 2 ? 0 : framesPerPair * int(files.size() - 1); }
};

// Renders one blended drawing and saves it as a PNG file at `path`; false when the file could
// not be written.
using KeyframeFrameWriter = std::function<bool(const CurveSet& frame, const QString& path)>;

struct KeyframeSequenceReport {
    bool folderMissing = false; // the frames' folder could not be created: nothing was rendered
    QString mismatch; // why the keyframes cannot be blended (keyframe_compatibility.h): nothing
                      // was rendered
    bool cancelled = false; // onFrame stopped the animation before its last frame
    int framesAttempted = 0;
    QStringList failedFrames; // paths that could not be written
    int framesWritten() const { return framesAttempted - int(failedFrames.size()); }
};

// Writes the animation: the first drawing is loaded as the start A; for each further drawing B,
// in order, frames j = 0 .. framesPerPair - 1 show interpolateSets(A, B, j / (framesPerPair -
// 1)), numbered on from 0 across pairs (the last frame of a pair and the first of the next show
// the same drawing), and B then starts the next pair. With fewer than two files, or fewer than
// 2 frames per pair, nothing is written or printed.
//
// Prints "Processing frame N..." before each frame and "done!" at the end on `progress` (when
// given). The folder of the prefix is created when missing; when that fails, `err` says so and
// nothing is rendered. Keyframes that cannot be blended (unreadable, or not the same curves and
// points) are refused before any frame: `err` names the first mismatch and nothing is rendered. Every frame that cannot be saved is named on `err`; "done!" is printed
// only when every frame was written, otherwise `err` gets the count of missing frames; a stopped
// animation prints "Stopped after frame N of M" on `progress` instead of "done!".
KeyframeSequenceReport writeKeyframeSequence(const KeyframeSequence& sequence,
                                             const KeyframeFrameWriter& writeFrame,
                                             std::ostream* progress, std::ostream& err);
