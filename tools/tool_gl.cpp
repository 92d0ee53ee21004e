#include "tool_gl.h"

#include "curve_rendering.h"
#include "diffusion_solver.h"
#include "shader_program.h"
#include "tool_command_line.h"
#include "tool_exit_status.h"

#include <cstdio>

namespace {

bool qtDiagnosticsShown = false;

void printQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (qtDiagnosticsShown || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

void routeQtMessages(bool shown)
{
    qtDiagnosticsShown = shown;
    qInstallMessageHandler(printQtMessage);
}

int startToolGl(int& argc, char** argv, GlSession* session, const char* program)
{
    const QString noGl = startGlSession(argc, argv, session);
    return noGl.isEmpty() ? -1 : reportFailure(program, tool_exit::kNoGl, noGl);
}

int startToolSolver(DiffusionSolver& solver, const char* program)
{
    if (!solver.initialize())
        return reportFailure(program, tool_exit::kNoGl, solver.status());
    const bool curvesReady = initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                                                solver.images().overviewFramebufferName());
    if (!curvesReady || !solver.allProgramsLinked())
        return reportFailure(program, tool_exit::kBadShaders,
                             QStringLiteral("shader files missing or broken in ")
                                 + shaderDirectory());
    return -1;
}
