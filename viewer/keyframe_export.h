#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <iosfwd>

class CurveSet;

// Frames rendered between two consecutive keyframes: t = j / kFramesPerTransition for
// j = 0 .. kFramesPerTransition, both ends included (26 frames).
constexpr int kFramesPerTransition = 25;

// Renders one blended drawing and saves it as a PNG file at `path`; returns false when the file
// could not be written.
using FrameWriter = std::function<bool(const CurveSet& frame, const QString& path)>;

struct KeyframeExportReport {
    bool folderMissing = false; // the output folder could not be created: nothing was rendered
    int framesAttempted = 0;
    QStringList failedFrames;   // paths that could not be written
};

// Keyframe export: loads the drawings `files` in order and, for every consecutive pair, writes
// 26 blended frames through `writeFrame` to prefix + N + ".png", N counting from 0 across pairs
// (the last frame of a pair and the first of the next show the same drawing). With fewer than
// two files nothing is written or printed.
//
// Prints "Processing frame N..." per frame on `out`. The folder of the prefix is created when
// missing; when that fails, `err` says so and nothing is rendered. Every frame that cannot be
// saved is named on `err`; "done!" ends the run on `out` only when every frame was written,
// otherwise `err` gets the count of missing frames.
KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     const FrameWriter& writeFrame, std::ostream& out,
                                     std::ostream& err);
