// tintweave-render: renders a drawing (CurveSetXML) to a PNG exactly as the editor's PNG export
// does, without a window. Needs an X display for the GL context: run it under xvfb-run -a on a
// machine without one.
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "file_access.h"
#include "offscreen_context.h"
#include "shader_program.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kBadDrawing = 1;
constexpr int kUsage = 2;
constexpr int kNoGl = 3;
constexpr int kBadShaders = 4;
constexpr int kCannotWrite = 5;

// The editor's canvas: the export is always 512 x 512.
constexpr int kCanvasSize = 512;

const char kUsageText[] =
    "Usage: tintweave-render [--quality draft|final] [--shaders DIR] DRAWING.xml OUT.png\n"
    "Renders a Tintweave drawing to a 512 x 512 PNG picture.\n"
    "\n"
    "  --quality final  (the default) the picture the editor's PNG export writes: solved at\n"
    "                   export quality and blurred where the drawing asks for it\n"
    "  --quality draft  the picture the editor shows after an edit at its default settings:\n"
    "                   the interactive solve, without the blur pass\n"
    "  --shaders DIR    read the shader files from DIR instead of looking for them in shaders/\n"
    "                   under the working directory, then beside the program\n"
    "  --help           show this text\n"
    "\n"
    "Example: tintweave-render --quality draft drawing.xml preview.png\n"
    "\n"
    "Exit status: 0 written, 1 missing or unreadable drawing, 2 bad arguments, 3 no usable\n"
    "OpenGL, 4 missing or broken shaders, 5 the picture could not be written.\n"
    "Needs an X display for OpenGL; without one run it under xvfb-run -a.\n";

struct Arguments {
    bool draft = false;
    QString shaders;
    QString drawing;
    QString output;
};

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "tintweave-render: %s\n", message.toLocal8Bit().constData());
    return status;
}

// Returns -1 when the arguments are usable, otherwise the exit status to end with.
int parseArguments(int argc, char** argv, Arguments* args)
{
    QStringList positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsageText, stdout);
            return kOk;
        }
        if (std::strcmp(argv[i], "--quality") == 0) {
            const char* quality = i + 1 < argc ? argv[++i] : "";
            if (std::strcmp(quality, "draft") != 0 && std::strcmp(quality, "final") != 0)
                return fail(kUsage, QStringLiteral("--quality needs draft or final"));
            args->draft = std::strcmp(quality, "draft") == 0;
            continue;
        }
        if (std::strcmp(argv[i], "--shaders") == 0) {
            if (i + 1 >= argc)
                return fail(kUsage, QStringLiteral("--shaders needs a directory"));
            args->shaders = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fputs(kUsageText, stderr);
            return fail(kUsage, QStringLiteral("unknown option ") + QString::fromLocal8Bit(argv[i]));
        }
        positional << QString::fromLocal8Bit(argv[i]);
    }
    if (positional.size() != 2) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    args->drawing = positional[0];
    args->output = positional[1];
    return -1;
}

// Checks made before Qt starts (which aborts the process when it finds no display). Only a
// regular file is read as the drawing or replaced by the picture: a FIFO would block, and a
// device or a folder must not be replaced.
int checkBeforeStart(const Arguments& args)
{
    QFile drawingFile;
    QString reason;
    if (!openRegularFile(drawingFile, args.drawing, reason))
        return fail(kBadDrawing, QStringLiteral("cannot read drawing %1: %2").arg(args.drawing, reason));
    const QFileInfo output(args.output);
    if (output.exists() && !output.isFile())
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(
                                      args.output, output.isDir() ? QStringLiteral("it is a folder")
                                                                  : QStringLiteral("not a regular file")));
    const QString display = windowSystemProblem();
    if (!display.isEmpty())
        return fail(kNoGl, QStringLiteral("no usable OpenGL: %1 (run under xvfb-run -a)").arg(display));
    return -1;
}

int render(const Arguments& args)
{
    if (!args.shaders.isEmpty())
        setShaderDirectory(args.shaders);

    OffscreenContext context;
    if (!context.create())
        return fail(kNoGl, QStringLiteral("no usable OpenGL: ") + context.errorString());

    CurveSet drawing;
    if (!drawing.loadXml(args.drawing))
        return fail(kBadDrawing, QStringLiteral("cannot load drawing ") + args.drawing);

    DiffusionSolver solver(kCanvasSize, kCanvasSize, DiffusionSolver::kDefaultCycles, 1.0, 0.0, 0.0);
    if (!solver.initialize())
        return fail(kNoGl, solver.status());
    const bool curvesReady = initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                                                solver.overviewFramebufferName());
    if (!curvesReady || !solver.allProgramsLinked())
        return fail(kBadShaders, QStringLiteral("shader files missing or broken in ")
                                     + shaderDirectory());

    solver.setCurveSet(drawing);
    QString why;
    bool written;
    if (args.draft) {
        solver.fullUpdate(); // blur is off unless switched on
        written = solver.savePicture(args.output, &why);
    } else {
        written = solver.saveImage(args.output, &why);
    }
    if (!written)
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(args.output, why));
    return kOk;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments args;
    const int parsed = parseArguments(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    const int checked = checkBeforeStart(args);
    if (checked >= 0)
        return checked;
    QGuiApplication app(argc, argv);
    return render(args);
}
