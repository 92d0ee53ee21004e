#include "pdf_export.h"

#include "adaptive_mesh.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "pdf_file.h"
#include "picture_file.h"
#include "step_ramps.h"

#include <QImage>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

QString problemWith(const PdfOptions& o)
{
    if (!(o.pageSize >= 16.0 && o.pageSize <= 14400.0))
        return QStringLiteral("the page size must be 16 to 14400 points");
    if (!(o.tolerance >= 0.25 && o.tolerance <= 64.0))
        return QStringLiteral("the tolerance must be 0.25 to 64 levels");
    if (o.referenceScale < 1 || o.referenceScale > 4)
        return QStringLiteral("the reference scale must be 1 to 4");
    return QString();
}

} // namespace

QByteArray renderPdf(const CurveSet& drawing, DiffusionSolver& solver, const PdfOptions& options,
                     QString* error, PdfReport* report)
{
    const QString problem = problemWith(options);
    if (!problem.isEmpty()) {
        fail(error, problem);
        return QByteArray();
    }
    PictureRequest request;
    request.size = kCanvasSize * options.referenceScale;
    request.cycles = options.cycles;
    request.blur = options.blur;
    request.encoding = {16, false}; // the mesh is measured against fractions of a level
    solver.setCurveSet(drawing);
    const ReferencePicture picture(solver.renderImage(request, error));
    if (picture.isNull())
        return QByteArray();

    const std::vector<StepLine> lines =
        curveStepLines(drawing, options.blur, colorStripHalfWidth());
    MeshSettings settings;
    settings.tolerance = options.tolerance;
    MeshStatistics statistics;
    std::vector<ShadedLayer> layers(1);
    layers[0].mesh = buildAdaptiveMesh(picture, lines, settings, &statistics);
    // The ramps go over the picture's mesh as an RGB mesh, which poppler fills with its ordinary
    // anti-aliased fills, on the same pixel grid as the renderer's edges (it puts parametrised
    // triangles half a device pixel off).
    layers[0].perChannel = options.perChannelShading;
    layers.push_back({stepRamps(lines, picture), {}});

    const QByteArray pdf = shadedPdf(layers, options.pageSize, error);
    if (report && !pdf.isEmpty()) {
        report->bytes = pdf.size();
        report->triangles = 0;
        for (const ShadedLayer& layer : layers)
            report->triangles += int(layer.mesh.size());
        report->worstError = statistics.worstError;
        report->capped = statistics.capped;
    }
    return pdf;
}

bool writePdf(const CurveSet& drawing, DiffusionSolver& solver, const PdfOptions& options,
              const QString& path, QString* error, PdfReport* report)
{
    const QByteArray pdf = renderPdf(drawing, solver, options, error, report);
    return !pdf.isEmpty() && writeFileAtomically(pdf, path, error);
}
