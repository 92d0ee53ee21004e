#include "render_readiness.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "shader_program.h"

QString renderingProblem(const DiffusionSolver& solver)
{
    if (!solver.isReady())
        return QStringLiteral("The renderer cannot run: %1.").arg(solver.status());
    if (solver.allProgramsLinked() && colorConstraintsProgram().isLinked()
        && gradientPairProgram().isLinked())
        return QString();
    return QStringLiteral("Some shader programs could not be built from the files in %1 (the "
                          "console names them): colours are not diffused and pictures cannot "
                          "be saved.")
        .arg(shaderDirectory());
}
