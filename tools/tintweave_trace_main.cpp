// tintweave-trace: traces a bitmap into a drawing (CurveSetXML) of curves along its edges with
// the colours of both sides and the blur of soft edges, fits the colours to the bitmap by
// rendering, and optionally writes the render. Renders without a window, as tintweave-render,
// and answers on its command line as tintweave-render does.
#include "bitmap_tracer.h"
#include "console_diagnostics.h"
#include "curve_set.h"
#include "curve_set_xml.h"
#include "diffusion_solver.h"
#include "example_bitmap.h"
#include "picture_file.h"
#include "shader_program.h"
#include "tool_command_line.h"
#include "tool_exit_status.h"
#include "tool_gl.h"
#include "tool_io.h"
#include "trace_refinement.h"

#include <QDir>
#include <QImage>
#include <QTemporaryFile>

#include <cstdio>

namespace {

using namespace tool_exit;
constexpr int kBadBitmap = kBadInput;
const char kProgram[] = "tintweave-trace";
// Bytes read at most from a bitmap on stdin.
constexpr qint64 kMaxStdinBitmap = qint64(256) << 20;

const char kUsageText[] =
    "Usage: tintweave-trace [options] IN.png|IN.jpg OUT.xml [--render OUT.png]\n"
    "Traces a bitmap (PNG, JPEG or BMP) into a Tintweave drawing: curves along its edges with\n"
    "the colours of both sides and the blur of soft edges, the colours then fitted to the\n"
    "bitmap by rendering the drawing and comparing it with the bitmap. A bitmap named - is\n"
    "read from stdin, a drawing or picture named - is written to stdout.\n"
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
    "  --verbose           also print the shader directory and the shaders' uniform\n"
    "                      locations, on stderr\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "The bitmap is read as the editor's example bitmap, but scaled smoothly: to 512 x 512, the\n"
    "aspect ratio ignored, very large bitmaps refused where they cannot be scaled while\n"
    "decoded. A flat (one-colour) bitmap gives an empty drawing, with a note on stderr.\n"
    "\n"
    "Examples:\n"
    "  tintweave-trace photo.jpg photo.xml\n"
    "  tintweave-trace --detail 0.8 --sensitivity 0.7 photo.jpg photo.xml --render traced.png\n"
    "  tintweave-trace --rounds 0 scan.png scan.xml\n"
    "  tintweave-trace - - < photo.png > photo.xml\n"
    "\n"
    "Exit status: 0 written, 1 missing or unreadable bitmap, 2 bad arguments, 3 no usable\n"
    "OpenGL, 4 missing or broken shaders, 5 the drawing or the picture could not be written.\n"
    "Needs no display: without an X server it renders through EGL's surfaceless platform\n"
    "(Mesa); if that is missing too, run it under xvfb-run -a.\n";

struct Arguments {
    TraceSettings settings;
    int rounds = kDefaultTraceRounds;
    bool quiet = false;
    bool verbose = false;
    QString shaders;
    QString render;         // OUT.png, empty for none
    QStringList positional; // IN, OUT.xml

    bool needsGl() const { return rounds > 0 || !render.isEmpty(); }
};

int fail(int status, const QString& message) { return reportFailure(kProgram, status, message); }

void addOptions(ToolCommandLine& line)
{
    line.setHelpHintOnValues(false);
    line.addValue(QStringLiteral("detail"), QStringLiteral("--detail needs a number from 0 to 1"));
    line.addValue(QStringLiteral("sensitivity"),
                  QStringLiteral("--sensitivity needs a number from 0 to 1"));
    line.addValue(QStringLiteral("rounds"),
                  QStringLiteral("--rounds needs a whole number from 0 to 20"));
    line.addValue(QStringLiteral("render"), QStringLiteral("--render needs a PNG file name"));
    line.addValue(QStringLiteral("shaders"), QStringLiteral("--shaders needs a directory"));
    line.addFlag(QStringLiteral("quiet"));
    line.addFlag(QStringLiteral("verbose"));
}

// A number from 0 to 1 in `text`; false otherwise.
bool parseFraction(const QString& text, double* value)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v >= 0.0 && v <= 1.0))
        return false;
    *value = v;
    return true;
}

// Reads the options' values into *args; false when one is bad (its line printed).
bool readValues(const ToolCommandLine& line, Arguments* args)
{
    auto given = [&](const char* name) { return line.isSet(QString::fromLatin1(name)); };
    auto value = [&](const char* name) { return line.value(QString::fromLatin1(name)); };
    auto bad = [&](const char* name) {
        line.badValue(QString::fromLatin1(name));
        return false;
    };
    if (given("detail") && !parseFraction(value("detail"), &args->settings.detail))
        return bad("detail");
    if (given("sensitivity") && !parseFraction(value("sensitivity"), &args->settings.sensitivity))
        return bad("sensitivity");
    if (given("rounds")) {
        bool ok = false;
        const int n = value("rounds").toInt(&ok);
        if (!ok || n < 0 || n > 20)
            return bad("rounds");
        args->rounds = n;
    }
    if (given("render"))
        args->render = value("render");
    if (given("shaders"))
        args->shaders = value("shaders");
    args->quiet = given("quiet");
    args->verbose = given("verbose");
    args->positional = line.positional();
    return true;
}

// Returns -1 when the arguments are usable, otherwise the exit status to end with.
int parseArguments(int argc, char** argv, Arguments* args)
{
    ToolCommandLine line(kProgram, kUsageText, TINTWEAVE_VERSION);
    addOptions(line);
    const int parsed = line.parse(argc, argv);
    if (parsed >= 0)
        return parsed;
    if (!readValues(line, args))
        return kUsage;
    if (args->positional.size() != 2)
        return line.usageError(QStringLiteral("needs a bitmap and the drawing to write"));
    if (args->positional[1] == kStandardStream && args->render == kStandardStream)
        return line.usageError(
            QStringLiteral("the drawing and the picture cannot both go to stdout"));
    return -1;
}

// Checks made before anything is traced: the outputs must be writable places.
int checkOutputs(const Arguments& args)
{
    for (const QString& output : {args.positional[1], args.render}) {
        if (output.isEmpty() || output == kStandardStream)
            continue;
        const QString problem = outputProblem(output);
        if (!problem.isEmpty())
            return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(output, problem));
    }
    return -1;
}

// The bitmap, from its file or from stdin; a null image after its failure is printed.
QImage readBitmap(const QString& path)
{
    QTemporaryFile copy;
    QString file = path;
    if (path == kStandardStream) {
        if (!copyStandardInput(&copy, kMaxStdinBitmap)) {
            fail(kBadBitmap, QStringLiteral("cannot read the bitmap from stdin"));
            return QImage();
        }
        file = copy.fileName();
    }
    QString reason;
    const QImage bitmap = readExampleBitmap(file, kCanvasSize, reason, Qt::SmoothTransformation);
    if (bitmap.isNull())
        fail(kBadBitmap, QStringLiteral("cannot read bitmap %1: %2").arg(path, reason));
    return bitmap;
}

// Writes `bytes` (a drawing or a picture) to `path` or stdout; -1 when written, else the exit
// status after the cause is printed.
int writeOutput(const QByteArray& bytes, const QString& path, QString why)
{
    const bool written = path == kStandardStream ? writeStandardOutput(bytes, &why)
                                                 : writeFileAtomically(bytes, path, &why);
    return written ? -1 : fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(path, why));
}

// Colour rounds and the optional picture; -1 on success, else the exit status.
int refineAndRender(const Arguments& args, const QImage& bitmap, CurveSet& drawing)
{
    DiffusionSolver solver(kCanvasSize, kCanvasSize, kDefaultIterations, 1.0, 0.0, 0.0);
    const int ready = startToolSolver(solver, kProgram);
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
    const QByteArray png = picture.isNull() ? QByteArray() : encodePng(picture);
    if (png.isEmpty() && why.isEmpty())
        why = QStringLiteral("the picture could not be encoded as PNG");
    if (png.isEmpty())
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(args.render, why));
    return writeOutput(png, args.render, QString());
}

} // namespace

int main(int argc, char** argv)
{
    // Nothing on stdout unless asked: it may carry the drawing or the picture.
    setDiagnosticLines(DiagnosticLines::Off);
    Arguments args;
    const int parsed = parseArguments(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    if (args.verbose)
        setDiagnosticLines(DiagnosticLines::Stderr);
    routeQtMessages(args.verbose);
    const int checked = checkOutputs(args);
    if (checked >= 0)
        return checked;
    const QImage bitmap = readBitmap(args.positional[0]);
    if (bitmap.isNull())
        return kBadBitmap;
    TraceResult traced = traceBitmap(bitmap, args.settings);
    if (!traced.note.isEmpty())
        fail(kOk, traced.note + QStringLiteral(": the drawing is empty"));
    else if (!args.quiet)
        std::fprintf(stderr, "traced %d curves\n", traced.drawing.nb_curves);
    GlSession session;
    if (args.needsGl()) {
        const int glStarted = startToolGl(argc, argv, &session, kProgram);
        if (glStarted >= 0)
            return glStarted;
        if (!args.shaders.isEmpty())
            setShaderDirectory(args.shaders);
        if (args.verbose)
            std::fprintf(stderr, "tintweave-trace: shaders from %s\n",
                         QDir(shaderDirectory()).absolutePath().toLocal8Bit().constData());
        const int done = refineAndRender(args, bitmap, traced.drawing);
        if (done >= 0)
            return done;
    }
    const QString& output = args.positional[1];
    if (output != kStandardStream) {
        QString cause;
        if (!saveXml(traced.drawing, output, &cause))
            return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(output, cause));
        return kOk;
    }
    const int written = writeOutput(writeCurveSetXml(traced.drawing), output, QString());
    return written >= 0 ? written : kOk;
}
