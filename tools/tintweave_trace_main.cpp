// tintweave-trace: traces a bitmap into a drawing (CurveSetXML) of curves along its edges with
// the colours of both sides and the blur of soft edges, fits the colours to the bitmap by
// rendering, and optionally writes the render. Renders without a window, as tintweave-render.
#include "tool_exit_status.h"
#include "bitmap_tracer.h"
#include "console_diagnostics.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "example_bitmap.h"
#include "file_access.h"
#include "gl_session.h"
#include "picture_file.h"
#include "shader_program.h"
#include "trace_refinement.h"
#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using namespace tool_exit;
constexpr int kBadBitmap = kBadInput;

const char kUsageText[] =
    "Usage: tintweave-trace [options] IN.png|IN.jpg OUT.xml [--render OUT.png]\n"
    "Traces a bitmap (PNG, JPEG or BMP) into a Tintweave drawing: curves along its edges with\n"
    "the colours of both sides and the blur of soft edges, the colours then fitted to the\n"
    "bitmap by rendering the drawing and comparing it with the bitmap.\n"
    "\n"
    "  --detail D          0 to 1 (default 0.5): more detail keeps shorter edges and follows\n"
    "                      them more tightly (more curves)\n"
    "  --sensitivity S     0 to 1 (default 0.5): higher traces weaker edges\n"
    "  --rounds N          colour-fitting rounds, 0 to 20 (default 2); 0 keeps the colours\n"
    "                      read beside the curves and needs no OpenGL without --render\n"
    "  --render OUT.png    also write the traced drawing's picture (512 x 512, as the\n"
    "                      editor's PNG export)\n"
    "  --shaders DIR       read the shader files from DIR instead of looking for them in\n"
    "                      shaders/ under the working directory, then beside the program\n"
    "  --quiet             no progress lines\n"
    "  --help              show this text\n"
    "\n"
    "The bitmap is read as the editor's example bitmap, but scaled smoothly: to 512 x 512, the\n"
    "aspect ratio ignored, very large bitmaps refused where they cannot be scaled while\n"
    "decoded. A flat (one-colour) bitmap gives an empty drawing, with a note on stderr.\n"
    "\n"
    "Examples:\n"
    "  tintweave-trace photo.jpg photo.xml\n"
    "  tintweave-trace --detail 0.8 --sensitivity 0.7 photo.jpg photo.xml --render traced.png\n"
    "  tintweave-trace --rounds 0 scan.png scan.xml\n"
    "\n"
    "Exit status: 0 written, 1 missing or unreadable bitmap, 2 bad arguments, 3 no usable\n"
    "OpenGL, 4 missing or broken shaders, 5 the drawing or the picture could not be written.\n"
    "Needs no display: without an X server it renders through EGL's surfaceless platform\n"
    "(Mesa); if that is missing too, run it under xvfb-run -a.\n";

struct Arguments {
    TraceSettings settings;
    int rounds = kDefaultTraceRounds;
    bool quiet = false;
    QString shaders;
    QString render;         // OUT.png, empty for none
    QStringList positional; // IN, OUT.xml

    bool needsGl() const { return rounds > 0 || !render.isEmpty(); }
};

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "tintweave-trace: %s\n", message.toLocal8Bit().constData());
    return status;
}

int usageError(const QString& message)
{
    std::fputs(kUsageText, stderr);
    return fail(kUsage, message);
}

// A number from 0 to 1 in `text`; false otherwise.
bool parseFraction(const char* text, double* value)
{
    bool ok = false;
    const double v = QByteArray(text).toDouble(&ok);
    if (!ok || !(v >= 0.0 && v <= 1.0))
        return false;
    *value = v;
    return true;
}

// Reads the option at argv[*i] (moving *i past its value); -1 when it was understood, otherwise
// the exit status to end with.
int parseOption(int argc, char** argv, int* i, Arguments* args)
{
    const char* option = argv[*i];
    const char* value = *i + 1 < argc ? argv[*i + 1] : nullptr;
    auto takesValue = [&] { ++*i; };
    if (std::strcmp(option, "--detail") == 0) {
        if (!value || !parseFraction(value, &args->settings.detail))
            return fail(kUsage, QStringLiteral("--detail needs a number from 0 to 1"));
        takesValue();
    } else if (std::strcmp(option, "--sensitivity") == 0) {
        if (!value || !parseFraction(value, &args->settings.sensitivity))
            return fail(kUsage, QStringLiteral("--sensitivity needs a number from 0 to 1"));
        takesValue();
    } else if (std::strcmp(option, "--rounds") == 0) {
        bool ok = false;
        const int n = value ? QByteArray(value).toInt(&ok) : -1;
        if (!ok || n < 0 || n > 20)
            return fail(kUsage, QStringLiteral("--rounds needs a whole number from 0 to 20"));
        args->rounds = n;
        takesValue();
    } else if (std::strcmp(option, "--render") == 0) {
        if (!value)
            return fail(kUsage, QStringLiteral("--render needs a PNG file name"));
        args->render = QString::fromLocal8Bit(value);
        takesValue();
    } else if (std::strcmp(option, "--shaders") == 0) {
        if (!value)
            return fail(kUsage, QStringLiteral("--shaders needs a directory"));
        args->shaders = QString::fromLocal8Bit(value);
        takesValue();
    } else if (std::strcmp(option, "--quiet") == 0) {
        args->quiet = true;
    } else {
        return usageError(QStringLiteral("unknown option ") + QString::fromLocal8Bit(option));
    }
    return -1;
}

// Returns -1 when the arguments are usable, otherwise the exit status to end with.
int parseArguments(int argc, char** argv, Arguments* args)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsageText, stdout);
            return kOk;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            const int status = parseOption(argc, argv, &i, args);
            if (status >= 0)
                return status;
            continue;
        }
        args->positional << QString::fromLocal8Bit(argv[i]);
    }
    if (args->positional.size() != 2) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    return -1;
}

// Why `path` cannot take an output file; empty when it can.
QString outputProblem(const QString& path)
{
    const QFileInfo output(path);
    if (!output.exists())
        return QString();
    if (output.isDir())
        return QStringLiteral("it is a folder");
    return output.isFile() ? QString() : QStringLiteral("not a regular file");
}

// Checks made before anything is traced: the outputs must be writable places.
int checkOutputs(const Arguments& args)
{
    for (const QString& output : {args.positional[1], args.render}) {
        if (output.isEmpty())
            continue;
        const QString problem = outputProblem(output);
        if (!problem.isEmpty())
            return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(output, problem));
    }
    return -1;
}

// A solver of the editor's canvas with its shaders ready; -1 on success, else the exit status.
int startSolver(DiffusionSolver& solver)
{
    if (!solver.initialize())
        return fail(kNoGl, solver.status());
    const bool curvesReady = initCurveRendering(1.0 / kCanvasSize, kCanvasSize, kCanvasSize,
                                                solver.images().overviewFramebufferName());
    if (!curvesReady || !solver.allProgramsLinked())
        return fail(kBadShaders,
                    QStringLiteral("shader files missing or broken in ") + shaderDirectory());
    return -1;
}

// Colour rounds and the optional picture; -1 on success, else the exit status.
int refineAndRender(const Arguments& args, const QImage& bitmap, CurveSet& drawing)
{
    DiffusionSolver solver(kCanvasSize, kCanvasSize, DiffusionSolver::kDefaultCycles, 1.0, 0.0,
                           0.0);
    const int ready = startSolver(solver);
    if (ready >= 0)
        return ready;
    QImage picture; // the fitting's last render is the picture asked for
    if (args.rounds > 0) {
        const std::vector<double> psnr =
            refineTracedColors(solver, drawing, bitmap, args.rounds, {}, &picture);
        for (size_t r = 0; r < psnr.size() && !args.quiet; ++r)
            std::fprintf(stderr, "colour round %zu: PSNR %.2f dB\n", r, psnr[r]);
    }
    if (args.render.isEmpty())
        return -1;
    solver.setCurveSet(drawing);
    QString why;
    if (picture.isNull())
        picture = renderTracedPicture(solver, &why);
    if (picture.isNull() || !writePngFile(picture, args.render, &why))
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(args.render, why));
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    // The shaders' uniform locations and other diagnostics would bury the progress lines.
    setDiagnosticLines(DiagnosticLines::Off);
    Arguments args;
    const int parsed = parseArguments(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    const int checked = checkOutputs(args);
    if (checked >= 0)
        return checked;
    QString reason;
    const QImage bitmap =
        readExampleBitmap(args.positional[0], kCanvasSize, reason, Qt::SmoothTransformation);
    if (bitmap.isNull())
        return fail(kBadBitmap,
                    QStringLiteral("cannot read bitmap %1: %2").arg(args.positional[0], reason));
    TraceResult traced = traceBitmap(bitmap, args.settings);
    if (!traced.note.isEmpty())
        fail(kOk, traced.note + QStringLiteral(": the drawing is empty"));
    else if (!args.quiet)
        std::fprintf(stderr, "traced %d curves\n", traced.drawing.nb_curves);
    GlSession session;
    if (args.needsGl()) {
        const QString noGl = startGlSession(argc, argv, &session);
        if (!noGl.isEmpty())
            return fail(kNoGl, noGl);
        if (!args.shaders.isEmpty())
            setShaderDirectory(args.shaders);
        const int done = refineAndRender(args, bitmap, traced.drawing);
        if (done >= 0)
            return done;
    }
    QString cause;
    if (!saveXml(traced.drawing, args.positional[1], &cause))
        return fail(kCannotWrite,
                    QStringLiteral("cannot write %1: %2").arg(args.positional[1], cause));
    return kOk;
}
