#pragma once

#include "keyframe_sequence.h"
#include "shared_constants.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <iosfwd>

class CurveSet;

// Frames rendered between two consecutive keyframes by default: t = j / kFramesPerTransition
// for j = 0 .. kFramesPerTransition, both ends included (kDefaultFramesPerPair frames).
constexpr int kFramesPerTransition = kDefaultFramesPerPair - 1;
// Frames per pair the user may ask for: both keyframes at least, and a bound that keeps one
// export below a few hours.
constexpr int kMinFramesPerPair = 2;
constexpr int kMaxFramesPerPair = 1000;

// What the user chooses before a keyframe export: the folder that receives the frames
// (relative to the working directory, created when missing) and the frames of each pair.
struct KeyframeOptions {
    QString folder = "output";
    int framesPerPair = kFramesPerTransition + 1;
};

// The editor's export writes its frames through the document's keyframe sequence.
using FrameWriter = KeyframeFrameWriter;
// Told after each frame how many frames are done out of `total`; false stops the export there.
using FrameProgress = std::function<bool(int done, int total)>;
using KeyframeExportReport = KeyframeSequenceReport;

// Keyframe export: loads the drawings `files` in order and, for every consecutive pair, writes
// `framesPerPair` (2 or more) blended frames through `writeFrame` to prefix + N + ".png", N
// counting from 0 across pairs (the last frame of a pair and the first of the next show the
// same drawing). With fewer than two files nothing is written or printed. `progress`, when
// given, is told after every frame and may stop the export; the frames written stay.
//
// Prints "Processing frame N..." per frame on `out`. The folder of the prefix is created when
// missing; when that fails, `err` says so and nothing is rendered. Every frame that cannot be
// saved is named on `err`; "done!" ends the run on `out` only when every frame was written,
// otherwise `err` gets the count of missing frames. A stopped export prints how far it came.
KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     int framesPerPair, const FrameWriter& writeFrame,
                                     const FrameProgress& progress, std::ostream& out,
                                     std::ostream& err);
// The same with 26 frames per pair and no progress.
KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     const FrameWriter& writeFrame, std::ostream& out,
                                     std::ostream& err);
