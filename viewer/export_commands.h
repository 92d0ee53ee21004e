#pragma once

#include "keyframe_export.h"
#include "shared_constants.h"

#include <QObject>
#include <QStringList>

class Viewer;

// File > Save as Png, File > Export PDF... and File > Keyframing: the pictures the viewer's
// renderer makes, written to files with progress, Cancel and a report of the outcome. Each asks
// before it replaces a file.
class ExportCommands : public QObject {
    Q_OBJECT

public:
    // Works on `viewer`, which must outlive this object.
    explicit ExportCommands(Viewer& viewer);

public Q_SLOTS:
    // Asks for a file name and a picture side, then saves the picture of the drawing.
    void savePng();
    // Pictures saved by savePng: 16 bits per channel when on, else 8 (dithered).
    void setSixteenBitPng(bool on) { pngDepth = on ? 16 : 8; }
    // Asks for a file name, then writes the drawing as a vector PDF (pdf_export.h).
    void exportPdf();
    // Asks for two or more drawings and the export's options, then writes the blended frames.
    void interpolate();

private:
    // The keyframe export proper, with its progress dialog.
    void exportFrames(const QStringList& files, const KeyframeOptions& options);
    // The message and status text at the end of an export; `folder` ends with a slash.
    void reportExport(const KeyframeExportReport& report, const QString& folder);

    Viewer& viewer;
    // Side of the last picture exported by savePng, asked for each time, and its bits per channel.
    int pictureSize = kCanvasSize;
    int pngDepth = 8;
};
