// The solver's PNG exports: the picture as it stands, and the picture solved afresh at export
// quality.
#include "diffusion_solver.h"
#include "picture_export.h"
#include "picture_file.h"

#include <QImage>

bool DiffusionSolver::savePicture(const QString& path, QString* error)
{
    if (!ready) {
        if (error)
            *error = QStringLiteral("the renderer has no usable OpenGL");
        return false;
    }
    return writePngFile(solverDisplay.encodePicture(solverImages.picture(),
                                                    input.settings.exportEncoding),
                        path, error);
}

bool DiffusionSolver::saveImage(const QString& path, QString* error)
{
    if (!ready)
        return savePicture(path, error); // reports why nothing can be rendered
    renderFinalPicture();
    const bool saved = savePicture(path, error);

    PictureExport(*this).restoreViewAfterExport();
    return saved;
}
