#include "keyframe_export.h"

#include "curve_set.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
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

void printSummary(const KeyframeExportReport& report, int total, std::ostream& out,
                  std::ostream& err)
{
    if (report.cancelled)
        out << "Stopped after frame " << report.framesAttempted - 1 << " of " << total << std::endl;
    if (!report.failedFrames.isEmpty())
        err << report.failedFrames.size() << " of " << report.framesAttempted
            << " frames could not be saved\n";
    else if (!report.cancelled)
        out << "done!" << std::endl;
}

} // namespace

KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     int framesPerPair, const FrameWriter& writeFrame,
                                     const FrameProgress& progress, std::ostream& out,
                                     std::ostream& err)
{
    KeyframeExportReport report;
    if (files.size() < 2)
        return report;
    // Without the folder no frame can be written: say so rather than render them all in vain.
    if (!ensureFolderOf(prefix, err)) {
        report.folderMissing = true;
        return report;
    }

    const int steps = std::max(kMinFramesPerPair, framesPerPair) - 1;
    const int total = (steps + 1) * int(files.size() - 1);
    CurveSet start;
    CurveSet end;
    CurveSet frame;
    start.loadXml(files.front());
    int frameNumber = 0;
    for (int f = 1; f < files.size() && !report.cancelled; ++f) {
        end.loadXml(files[f]);
        for (int j = 0; j <= steps && !report.cancelled; ++j) {
            out << "Processing frame " << frameNumber << "..." << std::endl;
            interpolateSets(start, end, frame, j / double(steps));
            const QString path = prefix + QString::number(frameNumber) + ".png";
            ++report.framesAttempted;
            if (!writeFrame(frame, path)) {
                report.failedFrames.append(path);
                err << "Could not save frame " << frameNumber << " to " << path.toStdString()
                    << "\n";
            }
            ++frameNumber;
            if (progress && !progress(frameNumber, total) && frameNumber < total)
                report.cancelled = true;
        }
        start.loadXml(files[f]);
    }
    printSummary(report, total, out, err);
    return report;
}

KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     const FrameWriter& writeFrame, std::ostream& out,
                                     std::ostream& err)
{
    return exportKeyframes(files, prefix, kFramesPerTransition + 1, writeFrame, FrameProgress(),
                           out, err);
}
