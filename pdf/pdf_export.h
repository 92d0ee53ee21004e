#pragma once

#include <QByteArray>
#include <QString>

class CurveSet;
class DiffusionSolver;

// Default tolerance of the PDF's mesh, in 1/255 levels: below what the eye tells apart at the
// default page size, with room for the readers' own rounding.
constexpr double kDefaultPdfTolerance = 1.0;
// The page's default side in points (1/72 inch): one point per pixel of the editor's canvas.
constexpr double kDefaultPdfPageSize = 512.0;

// What writePdf makes.
struct PdfOptions {
    // Side of the square page in points, 16 .. 14400 (PDF's limit).
    double pageSize = kDefaultPdfPageSize;
    // Largest difference between the mesh and the solved picture, in 1/255 levels of one
    // channel, 0.25 .. 64.
    double tolerance = kDefaultPdfTolerance;
    // The mesh follows a solve of this many times the canvas's pixels across, 1 .. 4.
    int referenceScale = 2;
    // Multigrid cycles of that solve, and whether the blur pass softens it (see PictureRequest).
    int cycles = 6;
    bool blur = true;
    // The picture's mesh as three one-channel shadings composited by a blend mode, which PDF
    // readers interpolate exactly (see shadedPdf); false: one RGB shading, which poppler fills
    // in flat pieces up to 3/256 apart, but which Inkscape 1.2 imports in its colours (it
    // imports the per-channel file as one channel: it does not composite the blend mode).
    bool perChannelShading = true;
};

// What writePdf made, for --verbose.
struct PdfReport {
    qint64 bytes = 0;
    int triangles = 0;     // in the picture's mesh and the steps' bands together
    double worstError = 0; // largest difference left between mesh and picture, 1/255 levels
    bool capped = false;   // the mesh reached its triangle limit before the tolerance
};

// The drawing as a one-page PDF drawn only with smooth shadings (see pdf_file.h): the picture
// is solved at referenceScale x the canvas size by `solver` (a started solver of the canvas
// size, whose GL context is current; it is left as renderImage leaves it), a triangle mesh is
// fitted to it within the tolerance with edges along the curves' colour steps, and thin
// clipped bands along the steps anti-alias them. The drawing's colour space is the solver's:
// the mesh follows the finished sRGB picture. Empty with the cause in *error on failure.
QByteArray renderPdf(const CurveSet& drawing, DiffusionSolver& solver, const PdfOptions& options,
                     QString* error, PdfReport* report = nullptr);

// renderPdf written to `path` atomically (see writeFileAtomically): a failure leaves an existing
// file as it was. False with the cause in *error.
bool writePdf(const CurveSet& drawing, DiffusionSolver& solver, const PdfOptions& options,
              const QString& path, QString* error, PdfReport* report = nullptr);
