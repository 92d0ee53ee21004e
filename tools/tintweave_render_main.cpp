// tintweave-render: renders a drawing (CurveSetXML) exactly as the editor's exports do, at any
// size, to the picture format its output's name asks for (PNG, a vector PDF, or a raster
// format Qt writes), or a keyframe animation as the editor's keyframe export does, without a
// window. With an X display it renders through Qt's offscreen GL context; without one through
// EGL's surfaceless platform.
#include "curve_set.h"
#include "curve_set_xml.h"
#include "diffusion_solver.h"
#include "file_access.h"
#include "keyframe_compatibility.h"
#include "keyframe_sequence.h"
#include "pdf_export.h"
#include "picture_file.h"
#include "picture_format.h"
#include "console_diagnostics.h"
#include "shader_program.h"
#include "tool_command_line.h"
#include "tool_exit_status.h"
#include "tool_gl.h"
#include "tool_io.h"

#include <QDir>
#include <QFile>
#include <QColor>
#include <QImage>
#include <QTemporaryFile>

#include <climits>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>

namespace {

using namespace tool_exit;
constexpr int kBadDrawing = kBadInput;

// Bytes read at most from a drawing on stdin: one more than the reader accepts, so that a
// larger drawing is refused by the reader with its usual message.
constexpr qint64 kMaxStdinDrawing = (qint64(64) << 20) + 1;

const char kUsageText[] =
    "Usage: tintweave-render [options] DRAWING.xml OUT.png|OUT.pdf|OUT.jpg|...\n"
    "       tintweave-render [options] --animate OUT_DIR KEY1.xml KEY2.xml [KEY3.xml ...]\n"
    "                        [--frames-per-pair N] [--frames FIRST-LAST]\n"
    "Renders a Tintweave drawing to a square picture, or a keyframe animation to PNG\n"
    "frames, as the editor's exports do. The picture's format is the one its extension\n"
    "names: .png, .pdf (vectors: smooth shadings that stay sharp at any zoom), or any format\n"
    "Qt writes here (.jpg, .bmp, .tif, .webp, ...). A drawing named - is read from stdin, a\n"
    "picture named - is written to stdout (as PNG unless --format says otherwise).\n"
    "\n"
    "  --size N            side of the picture in pixels, 16 to 8192 (default 512, the\n"
    "                      editor's canvas); every size shows the same picture, sharper or\n"
    "                      coarser: curves keep their width and the blur its look. For a\n"
    "                      PDF, the side of the page in points (default 512)\n"
    "  --format NAME       write NAME (png, pdf, jpg, ...) whatever the extension\n"
    "  --tolerance L       PDF only: largest difference between the PDF's colours and the\n"
    "                      solved picture, in 1/255 levels, 0.25 to 64 (default 1); higher\n"
    "                      gives smaller files\n"
    "  --quality final     (the default) the picture the editor's PNG export writes: solved at\n"
    "                      export quality and blurred where the drawing asks for it\n"
    "  --quality draft     the picture the editor shows after an edit at its default settings:\n"
    "                      the interactive solve, without the blur pass\n"
    "  --no-blur           leave the blur pass out of the final picture\n"
    "  --depth 8|16        bits per channel of the PNG (default 8)\n"
    "  --background COLOUR lay the picture over COLOUR (a name such as white, or #rrggbb):\n"
    "                      the picture comes out opaque, for formats and viewers without\n"
    "                      alpha; without it a PNG keeps the drawing's transparency in alpha\n"
    "  --no-dither         round the picture's values instead of dithering them (8-bit\n"
    "                      pictures are dithered by default, so that slow gradients show no\n"
    "                      bands); for pixel-exact comparisons\n"
    "  --colour-space srgb|linear|oklab\n"
    "                      diffuse the colours in this space instead of the drawing's own\n"
    "  --shaders DIR       read the shader files from DIR instead of looking for them in\n"
    "                      shaders/ under the working directory, then beside the program\n"
    "  --quiet             no progress lines: only errors\n"
    "  --verbose           also print the shader directory, the shaders' uniform locations,\n"
    "                      the curve count of each drawing read and a PDF's size and\n"
    "                      triangle count, on stderr\n"
    "  --animate OUT_DIR KEY1.xml KEY2.xml [KEY3.xml ...]\n"
    "                      write the frames blended between consecutive keyframes, as the\n"
    "                      editor's keyframe export does, to OUT_DIR/interpol0.png,\n"
    "                      interpol1.png, ... (OUT_DIR is created when missing), with a\n"
    "                      progress line per frame on stderr\n"
    "  --frames-per-pair N frames from one keyframe to the next, both included (default 26,\n"
    "                      at least 2): K keyframes give (K - 1) x N frames\n"
    "  --frames FIRST-LAST with --animate: write only frames FIRST to LAST (counted from 0),\n"
    "                      each the same file a whole run writes, to share an animation out\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Examples:\n"
    "  tintweave-render drawing.xml picture.png\n"
    "  tintweave-render --size 2048 drawing.xml poster.png\n"
    "  tintweave-render --verbose drawing.xml vectors.pdf\n"
    "  tintweave-render --format jpg - - < drawing.xml > picture.jpg\n"
    "  tintweave-render --quality draft drawing.xml preview.png\n"
    "  tintweave-render --no-blur --size 1024 drawing.xml sharp.png\n"
    "  tintweave-render --background white layered.xml flat.jpg\n"
    "  tintweave-render --quiet --shaders /opt/tintweave/shaders drawing.xml picture.png\n"
    "  tintweave-render --size 1024 --animate frames key1.xml key2.xml key3.xml "
    "--frames-per-pair 10\n"
    "  tintweave-render --animate frames a.xml b.xml --frames 0-12\n"
    "  tintweave-render --size 256 - - < drawing.xml > picture.png\n"
    "\n"
    "Exit status: 0 written (every frame of an animation), 1 missing or unreadable drawing,\n"
    "or keyframes that do not match (other curves or points),\n"
    "2 bad arguments (an unknown picture format too), 3 no usable OpenGL, 4 missing or\n"
    "broken shaders, 5 the picture (or a frame) could not be made or written.\n"
    "Needs no display: without an X server it renders through EGL's surfaceless platform\n"
    "(Mesa); if that is missing too, run it under xvfb-run -a.\n";

struct Arguments {
    bool draft = false;
    bool blur = true;
    bool quiet = false;
    bool verbose = false;
    bool animate = false;
    int size = kCanvasSize;
    int framesPerPair = kDefaultFramesPerPair;
    bool framesPerPairGiven = false;
    int firstFrame = 0;
    int lastFrame = -1; // -1: to the last frame
    bool framesGiven = false;
    PictureEncoding encoding;
    bool colourSpaceGiven = false;
    ColourSpace colourSpace = ColourSpace::Srgb;
    QString shaders;
    QString format; // the picture's format (picture-format.h); empty with --animate
    std::optional<double> tolerance;
    QStringList positional; // DRAWING.xml OUT, or OUT_DIR KEY1.xml KEY2.xml ...

    QStringList drawings() const { return animate ? positional.mid(1) : positional.mid(0, 1); }
};

const char kProgram[] = "tintweave-render";

void addOptions(ToolCommandLine& line)
{
    line.addValue(QStringLiteral("quality"), QStringLiteral("--quality needs draft or final"));
    line.addValue(QStringLiteral("shaders"), QStringLiteral("--shaders needs a directory"));
    line.addValue(QStringLiteral("size"),
                  QStringLiteral("--size needs a whole number of pixels from %1 to %2")
                      .arg(DiffusionSolver::kMinPictureSize)
                      .arg(DiffusionSolver::kMaxPictureSize));
    line.addValue(QStringLiteral("frames-per-pair"),
                  QStringLiteral("--frames-per-pair needs a whole number of at least 2"));
    line.addValue(QStringLiteral("frames"),
                  QStringLiteral("--frames needs FIRST-LAST, two frame numbers counted from 0 "
                                 "with FIRST <= LAST"));
    line.addValue(QStringLiteral("depth"), QStringLiteral("--depth needs 8 or 16"));
    line.addValue(QStringLiteral("background"),
                  QStringLiteral("--background needs an opaque colour: a name such as white, or "
                                 "#rrggbb"));
    line.addValue(QStringLiteral("colour-space"),
                  QStringLiteral("--colour-space needs srgb, linear or oklab"));
    line.addValue(QStringLiteral("format"),
                  QStringLiteral("--format needs one of ") + knownFormats().join(", "));
    line.addValue(QStringLiteral("tolerance"),
                  QStringLiteral("--tolerance needs a number of levels from 0.25 to 64"));
    for (const char* flag : {"no-dither", "no-blur", "quiet", "verbose", "animate"})
        line.addFlag(QString::fromLatin1(flag));
}

// A whole number from `low` to `high` in `text`; false otherwise.
bool parseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        return false;
    *value = n;
    return true;
}

// FIRST-LAST (or a single frame N) into *first and *last; false when it is not a range of
// frame numbers.
bool parseFrameRange(const QString& text, int* first, int* last)
{
    const QStringList parts = text.split('-');
    if (parts.size() > 2 || !parseNumber(parts.front(), 0, INT_MAX, first))
        return false;
    *last = *first;
    return parts.size() == 1 || parseNumber(parts.back(), *first, INT_MAX, last);
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
    if (given("quality")) {
        if (value("quality") != "draft" && value("quality") != "final")
            return bad("quality");
        args->draft = value("quality") == "draft";
    }
    if (given("shaders"))
        args->shaders = value("shaders");
    if (given("size")
        && !parseNumber(value("size"), DiffusionSolver::kMinPictureSize,
                        DiffusionSolver::kMaxPictureSize, &args->size))
        return bad("size");
    args->framesPerPairGiven = given("frames-per-pair");
    if (args->framesPerPairGiven
        && !parseNumber(value("frames-per-pair"), 2, 100000, &args->framesPerPair))
        return bad("frames-per-pair");
    args->framesGiven = given("frames");
    if (args->framesGiven && !parseFrameRange(value("frames"), &args->firstFrame, &args->lastFrame))
        return bad("frames");
    if (given("depth")) {
        if (value("depth") != "8" && value("depth") != "16")
            return bad("depth");
        args->encoding.depth = value("depth").toInt();
    }
    if (given("background")) {
        const QColor background(value("background"));
        if (!background.isValid() || background.alpha() != 255)
            return bad("background");
        args->encoding.flatten = true;
        args->encoding.background = background;
    }
    args->colourSpaceGiven = given("colour-space");
    if (args->colourSpaceGiven && !colourSpaceFromName(value("colour-space"), &args->colourSpace))
        return bad("colour-space");
    if (given("format")) {
        args->format = formatNamed(value("format"));
        if (args->format.isEmpty())
            return bad("format");
    }
    if (given("tolerance")) {
        bool ok = false;
        const double tolerance = value("tolerance").toDouble(&ok);
        if (!ok || !(tolerance >= 0.25 && tolerance <= 64.0))
            return bad("tolerance");
        args->tolerance = tolerance;
    }
    args->encoding.dither = !given("no-dither");
    args->blur = !given("no-blur");
    args->quiet = given("quiet");
    args->verbose = given("verbose");
    args->animate = given("animate");
    args->positional = line.positional();
    return true;
}

// The picture's format: --format, else PNG on stdout, else the output's extension; empty when
// none names a known one.
QString pictureFormat(const Arguments& args)
{
    if (!args.format.isEmpty())
        return args.format;
    const QString& output = args.positional.back();
    return output == kStandardStream ? pngFormat() : formatOfPath(output);
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
    if (args->framesPerPairGiven && !args->animate)
        return line.usageError(QStringLiteral("--frames-per-pair goes with --animate"));
    if (args->framesGiven && !args->animate)
        return line.usageError(QStringLiteral("--frames goes with --animate"));
    if (args->animate && args->positional.size() < 3)
        return line.usageError(
            QStringLiteral("--animate needs a folder and at least two drawings"));
    if (args->animate && args->positional.front() == kStandardStream)
        return line.usageError(
            QStringLiteral("--animate writes its frames into a folder, not to -"));
    if (!args->animate && args->positional.size() != 2)
        return line.usageError(QStringLiteral("needs a drawing and the picture to write"));
    const int total = args->framesPerPair * int(args->positional.size() - 2);
    if (args->framesGiven && args->lastFrame >= total)
        return line.usageError(QStringLiteral("--frames %1-%2 asks for frames beyond the last, %3")
                                   .arg(args->firstFrame)
                                   .arg(args->lastFrame)
                                   .arg(total - 1));
    if (args->animate) {
        if (!args->format.isEmpty())
            return line.usageError(QStringLiteral("--format goes with a picture: frames are PNG"));
        args->format = pngFormat();
    } else {
        args->format = pictureFormat(*args);
        if (args->format.isEmpty())
            return line.usageError(
                QStringLiteral("cannot tell the format of %1 from its extension: name it .%2 "
                               "or give --format")
                    .arg(args->positional.back(), knownFormats().join(", .")));
    }
    if (args->tolerance && args->format != pdfFormat())
        return line.usageError(QStringLiteral("--tolerance goes with PDF output"));
    return -1;
}

int fail(int status, const QString& message) { return reportFailure(kProgram, status, message); }

// Replaces every drawing named "-" by a temporary copy of stdin (read once, whatever the number
// of "-"), so that it is read as any other drawing file. -1 when done, else the exit status.
int takeDrawingFromStdin(Arguments* args, QTemporaryFile* copy)
{
    const int first = args->animate ? 1 : 0;
    const int last = args->animate ? int(args->positional.size()) - 1 : 0;
    for (int i = first; i <= last; ++i) {
        if (args->positional[i] != kStandardStream)
            continue;
        if (!copyStandardInput(copy, kMaxStdinDrawing))
            return fail(kBadDrawing, QStringLiteral("cannot read the drawing from stdin"));
        args->positional[i] = copy->fileName();
    }
    return -1;
}

// Checks made before the GL starts. Only regular files are read as drawings or replaced by the
// picture: a FIFO would block, and a device or a folder must not be replaced.
int checkFiles(const Arguments& args)
{
    for (const QString& drawing : args.drawings()) {
        QFile drawingFile;
        QString reason;
        if (!openRegularFile(drawingFile, drawing, reason))
            return fail(kBadDrawing,
                        QStringLiteral("cannot read drawing %1: %2").arg(drawing, reason));
    }
    // Keyframes that cannot be blended are refused before anything is rendered.
    if (args.animate) {
        const QString problem = keyframeSequenceProblem(args.drawings());
        if (!problem.isEmpty())
            return fail(kBadDrawing, problem);
    }
    const QString output = args.animate ? args.positional.front() : args.positional.back();
    if (output == kStandardStream)
        return -1;
    const QString problem = outputProblem(output, args.animate);
    if (!problem.isEmpty())
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(output, problem));
    return -1;
}

class Renderer {
public:
    explicit Renderer(const Arguments& args)
        : solver(kCanvasSize, kCanvasSize, kDefaultIterations, 1.0, 0.0, 0.0), format(args.format),
          verbose(args.verbose)
    {
        request.size = args.size;
        request.cycles = args.draft ? DiffusionSolver::kBaseCycles + DiffusionSolver::kSettleCycles
                                    : DiffusionSolver::kExportCycles;
        request.blur = !args.draft && args.blur;
        request.encoding = args.encoding;
        pdf.pageSize = args.size;
        pdf.cycles = request.cycles;
        pdf.blur = request.blur;
        if (args.tolerance)
            pdf.tolerance = *args.tolerance;
        if (args.colourSpaceGiven)
            colourSpace = args.colourSpace;
    }

    DiffusionSolver& diffusionSolver() { return solver; }

    // Renders `drawing` and writes it to `path`; false with the cause in *why.
    bool write(const CurveSet& drawing, const QString& path, QString* why)
    {
        CurveSet copy; // the drawing in the space the command line asks for
        if (colourSpace) {
            copy = drawing;
            copy.colour_space = *colourSpace;
        }
        const QByteArray bytes = encode(colourSpace ? copy : drawing, path, why);
        if (bytes.isEmpty())
            return false;
        if (path == kStandardStream)
            return writeStandardOutput(bytes, why);
        return writeFileAtomically(bytes, path, why);
    }

private:
    QByteArray encode(const CurveSet& drawing, const QString& path, QString* why)
    {
        if (format == pdfFormat()) {
            PdfReport report;
            const QByteArray bytes = renderPdf(drawing, solver, pdf, why, &report);
            if (verbose && !bytes.isEmpty())
                std::fprintf(stderr, "tintweave-render: %s: %lld bytes, %d triangles\n",
                             path.toLocal8Bit().constData(), static_cast<long long>(report.bytes),
                             report.triangles);
            return bytes;
        }
        solver.setCurveSet(drawing);
        const QImage image = solver.renderImage(request, why);
        if (image.isNull())
            return QByteArray();
        const QByteArray bytes = encodePicture(image, format);
        if (bytes.isEmpty())
            *why = QStringLiteral("the picture could not be encoded as %1").arg(format.toUpper());
        return bytes;
    }

    DiffusionSolver solver;
    QString format;
    bool verbose;
    PictureRequest request;
    PdfOptions pdf;
    std::optional<ColourSpace> colourSpace;
};

int renderPicture(Renderer& renderer, const Arguments& args)
{
    const QString& drawingPath = args.positional[0];
    const QString& output = args.positional[1];
    CurveSet drawing;
    if (!loadXml(drawing, drawingPath))
        return fail(kBadDrawing, QStringLiteral("cannot load drawing ") + drawingPath);
    QString why;
    if (!renderer.write(drawing, output, &why))
        return fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(output, why));
    return kOk;
}

int renderAnimation(Renderer& renderer, const Arguments& args)
{
    KeyframeSequence sequence;
    sequence.files = args.drawings();
    sequence.prefix = QDir(args.positional[0]).filePath(QString::fromLatin1(kFrameBaseName));
    sequence.framesPerPair = args.framesPerPair;
    sequence.firstFrame = args.firstFrame;
    sequence.lastFrame = args.lastFrame;
    auto writeFrame = [&renderer](const CurveSet& frame, const QString& path) {
        QString why;
        const bool written = renderer.write(frame, path, &why);
        if (!written)
            fail(kCannotWrite, QStringLiteral("cannot write %1: %2").arg(path, why));
        return written;
    };
    const KeyframeSequenceReport report =
        writeKeyframeSequence(sequence, writeFrame, args.quiet ? nullptr : &std::cerr, std::cerr);
    if (!report.mismatch.isEmpty())
        return kBadDrawing;
    const bool complete = !report.folderMissing && report.failedFrames.isEmpty();
    return complete ? kOk : kCannotWrite;
}

} // namespace

int main(int argc, char** argv)
{
    // A write past the file-size limit fails with EFBIG (reported as a failed write, the old file
    // kept) instead of ending the program by SIGXFSZ, whoever writes (Mesa's shader cache too).
    std::signal(SIGXFSZ, SIG_IGN);
    // Nothing on stdout unless asked: it may carry the picture.
    setDiagnosticLines(DiagnosticLines::Off);
    Arguments args;
    const int parsed = parseArguments(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    if (args.verbose)
        setDiagnosticLines(DiagnosticLines::Stderr);
    routeQtMessages(args.verbose);
    QTemporaryFile stdinCopy;
    const int taken = takeDrawingFromStdin(&args, &stdinCopy);
    if (taken >= 0)
        return taken;
    const int checked = checkFiles(args);
    if (checked >= 0)
        return checked;
    GlSession session;
    const int glStarted = startToolGl(argc, argv, &session, kProgram);
    if (glStarted >= 0)
        return glStarted;
    if (!args.shaders.isEmpty())
        setShaderDirectory(args.shaders);
    if (args.verbose)
        std::fprintf(stderr, "tintweave-render: shaders from %s\n",
                     QDir(shaderDirectory()).absolutePath().toLocal8Bit().constData());
    Renderer renderer(args);
    const int ready = startToolSolver(renderer.diffusionSolver(), kProgram);
    if (ready >= 0)
        return ready;
    return args.animate ? renderAnimation(renderer, args) : renderPicture(renderer, args);
}
