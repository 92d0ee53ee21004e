#include "solver_gl.h"

#include "diffusion_solver.h"
#include "picture_export.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <iostream>

DiffusionSolver::DiffusionSolver(int width, int height, int iterations, double zoom, double panX,
                                 double panY, Storage storage)
    : view{zoom, Point(panX, panY)}, solverImages(width, height, storage)
{
    input.settings.iterations = iterations;
}

// Members release their textures and framebuffers; the programs live as long as the context.
DiffusionSolver::~DiffusionSolver() = default;

bool DiffusionSolver::initialize()
{
    if (initialized)
        return ready;
    initialized = true;
    if (!checkSupport()) {
        std::cerr << statusText.toLocal8Bit().constData() << std::endl;
        return false;
    }
    // 512 pixels give 6 levels (512 down to 16); a level below 16 pixels adds nothing useful.
    solverImages.levels =
        std::max(1,
                 int(std::floor(std::log(double(solverImages.width)) / std::log(2.0) + 0.5)) - 3);
    if (solverImages.storage == Storage::Export)
        return PictureExport(*this).initializeForExport();
    solverImages.create();
    createMultigridLevels();
    const SolverImages::Level& level0 = solverImages.pyramid[0];
    if (!level0.colorConstraints.framebuffer.isComplete()
        || !level0.colorSolution.framebuffer.isComplete()
        || !level0.blurSolution.framebuffer.isComplete()
        || !solverImages.blurScratch.framebuffer.isComplete()) {
        statusText =
            QStringLiteral("The renderer cannot run: this OpenGL cannot render into half-float or "
                           "depth-stencil images.");
        std::cerr << statusText.toLocal8Bit().constData() << std::endl;
        solverImages.pyramid.clear();
        return false;
    }
    createPrograms();
    ready = true;
    leavePasses();
    return true;
}

bool DiffusionSolver::checkSupport()
{
    if (glGetString(GL_VERSION) == nullptr) {
        statusText = QStringLiteral("The renderer cannot run: no current OpenGL context.");
        return false;
    }
    QStringList missing;
    if (!GLEW_VERSION_2_0)
        missing << QStringLiteral("OpenGL 2.0 (GLSL shaders)");
    if (!GLEW_EXT_framebuffer_object)
        missing << QStringLiteral("GL_EXT_framebuffer_object");
    if (!GLEW_ARB_texture_rectangle)
        missing << QStringLiteral("GL_ARB_texture_rectangle");
    if (!GLEW_ARB_texture_float)
        missing << QStringLiteral("GL_ARB_texture_float");
    if (!GLEW_EXT_packed_depth_stencil)
        missing << QStringLiteral("GL_EXT_packed_depth_stencil");
    // An export solves one colour channel at a time in one-channel images.
    if (solverImages.storage == Storage::Export
        && !(GLEW_ARB_texture_rg && GLEW_ARB_texture_swizzle))
        missing << QStringLiteral("GL_ARB_texture_rg and GL_ARB_texture_swizzle");
    if (missing.isEmpty())
        return true;
    statusText = QStringLiteral("The renderer cannot run: this OpenGL lacks ")
                 + missing.join(QStringLiteral(", ")) + QLatin1Char('.');
    return false;
}

void DiffusionSolver::createMultigridLevels()
{
    // An export solves one colour channel at a time; its operator images may be half floats
    // (a slightly rounded coarse operator only slows the cycles a little; the finest level,
    // which decides the answer, is exact).
    const int width = solverImages.width, height = solverImages.height;
    if (solverImages.storage == Storage::Export)
        multigrid.createLevels(width, height, redFloatNearest(), halfFloatNearest());
    else
        multigrid.createLevels(width, height, floatNearest(), floatNearest());
}

void DiffusionSolver::createPrograms()
{
    programs.create(solverImages.storage == Storage::Export);
    multigrid.createPrograms();
}

bool DiffusionSolver::allProgramsLinked() const
{
    return programs.allLinked(solverImages.storage == Storage::Export)
           && multigrid.allProgramsLinked();
}
