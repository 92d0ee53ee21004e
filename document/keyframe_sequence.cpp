#include "keyframe_sequence.h"

#include "curve_set.h"
#include "keyframe_compatibility.h"
#include "curve_set_xml.h"

#include <QDir>
#include <QFileInfo>

#include <ostream>

namespace {

// Makes sure the folder that receives the frames exists; false when it cannot be created.
bool ensureFolderOf(const QString& prefix, std::ostream& err)
{
    const QString folder = QFileInfo(prefix).path();
    if (QDir().mkpath(folder))
        return true;
    err << "Cannot create the folder " << folder.toStdString()
        << " for the frames: no frame was written\n";
    return false;
}

void printSummary(const KeyframeSequenceReport& report, int total, std::ostream* progress,
                  std::ostream& err)
{
    if (report.cancelled && progress)
        *progress << "Stopped after frame " << report.framesAttempted - 1 << " of " << total
                  << std::endl;
    if (!report.failedFrames.isEmpty())
        err << report.failedFrames.size() << " of " << report.framesAttempted
            << " frames could not be saved\n";
    else if (!report.cancelled && progress)
        *progress << "done!" << std::endl;
}

} // namespace

KeyframeSequenceReport writeKeyframeSequence(const KeyframeSequence& sequence,
                                             const KeyframeFrameWriter& writeFrame,
                                             std::ostream* progress, std::ostream& err)
{
    KeyframeSequenceReport report;
    const QStringList& files = sequence.files;
    if (files.size() < 2 || sequence.framesPerPair < 2)
        return report;
    // Without the folder no frame can be written: say so rather than render them all in vain.
    if (!ensureFolderOf(sequence.prefix, err)) {
        report.folderMissing = true;
        return report;
    }
    report.mismatch = keyframeSequenceProblem(files);
    if (!report.mismatch.isEmpty()) {
        err << "No frame was written: " << report.mismatch.toStdString() << "\n";
        return report;
    }

    CurveSet start;
    CurveSet end;
    CurveSet frame;
    loadXml(start, files.front());
    const int last = sequence.framesPerPair - 1;
    const int total = sequence.totalFrames();
    const int lastWanted = sequence.lastFrame < 0 ? total - 1 : sequence.lastFrame;
    int frameNumber = 0;
    for (int f = 1; f < files.size() && !report.cancelled; ++f) {
        loadXml(end, files[f]);
        for (int j = 0; j <= last && !report.cancelled; ++j, ++frameNumber) {
            if (frameNumber < sequence.firstFrame || frameNumber > lastWanted)
                continue;
            if (progress)
                *progress << "Processing frame " << frameNumber << "..." << std::endl;
            interpolateSets(start, end, frame, j / double(last));
            const QString path = sequence.prefix + QString::number(frameNumber) + ".png";
            ++report.framesAttempted;
            if (!writeFrame(frame, path)) {
                report.failedFrames.append(path);
                err << "Could not save frame " << frameNumber << " to " << path.toStdString()
                    << "\n";
            }
            const int done = frameNumber + 1;
            if (sequence.onFrame && !sequence.onFrame(done, total) && done < total)
                report.cancelled = true;
        }
        loadXml(start, files[f]);
    }
    printSummary(report, total, progress, err);
    return report;
}
