#include "keyframe_export.h"

#include <algorithm>
#include <ostream>

KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     int framesPerPair, const FrameWriter& writeFrame,
                                     const FrameProgress& progress, std::ostream& out,
                                     std::ostream& err)
{
    KeyframeSequence sequence;
    sequence.files = files;
    sequence.prefix = prefix;
    sequence.framesPerPair = std::max(kMinFramesPerPair, framesPerPair);
    sequence.onFrame = progress;
    return writeKeyframeSequence(sequence, writeFrame, &out, err);
}

KeyframeExportReport exportKeyframes(const QStringList& files, const QString& prefix,
                                     const FrameWriter& writeFrame, std::ostream& out,
                                     std::ostream& err)
{
    return exportKeyframes(files, prefix, kFramesPerTransition + 1, writeFrame, FrameProgress(),
                           out, err);
}
