// tintweave-render: renders a drawing (CurveSetXML) to a PNG exactly as the editor's PNG export
// does, at any size, or a keyframe animation as the editor's keyframe export does, without a
// window. With an X display it renders through Qt's offscreen GL context; without one through
// EGL's surfaceless platform.
#include "tool_exit_status.h"
#include "curve_rendering.h"
#include "console_diagnostics.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "file_access.h"
#include "keyframe_compatibility.h"
#include "keyframe_sequence.h"
#include "gl_session.h"
#include "picture_file.h"
#include "shader_program.h"
#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

namespace {

using namespace tool_exit;
constexpr int kBadDrawing = kBadInput;

// Bytes read at most from a drawing on stdin: one more than the reader accepts, so that a
// larger drawing is refused by the reader with its usual message.
constexpr qint64 kMaxStdinDrawing = (qint64(64) << 20) + 1;

// "-" as a drawing reads it from stdin, as the picture writes the PNG to stdout.
const QString kStandardStream = QStringLiteral("-");

const char kUsageText[] =
    "Usage: tintweave-render [options] DRAWING.xml OUT.png\n"
    "       tintweave-render [options] --animate OUT_DIR KEY1.xml KEY2.xml [KEY3.xml ...]\n"
    "                        [--frames-per-pair N] [--frames FIRST-LAST]\n"
    "Renders a Tintweave drawing to a square PNG picture, or a keyframe animation to PNG\n"
    "frames, as the editor's exports do. A drawing named - is read from stdin, a picture\n"
    "named - is written to stdout.\n"
    "\n"
    "  --size N            side of the picture in pixels, 16 to 8192 (default 512, the\n"
    "                      editor's canvas); every size shows the same picture, sharper or\n"
    "                      coarser: curves keep their width and the blur its look\n"
    "  --quality final     (the default) the picture the editor's PNG export writes: solved at\n"
    "                      export quality and blurred where the drawing asks for it\n"
    "  --quality draft     the picture the editor shows after an edit at its default settings:\n"
    "                      the interactive solve, without the blur pass\n"
    "  --no-blur           leave the blur pass out of the final picture\n"
    "  --depth 8|16        bits per channel of the PNG (default 8)\n"
    "  --no-dither         round the picture's values instead of dithering them (8-bit\n"
    "                      pictures are dithered by default, so that slow gradients show no\n"
    "                      bands); for pixel-exact comparisons\n"
    "  --colour-space srgb|linear|oklab\n"
    "                      diffuse the colours in this space instead of the drawing's own\n"
    "  --shaders DIR       read the shader files from DIR instead of looking for them in\n"
    "                      shaders/ under the working directory, then beside the program\n"
    "  --quiet             no progress lines: only errors\n"
    "  --verbose           also print the shader directory, the shaders' uniform locations\n"
    "                      and the curve count of each drawing read, on stderr\n"
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
    "  tintweave-render --quality draft drawing.xml preview.png\n"
    "  tintweave-render --no-blur --size 1024 drawing.xml sharp.png\n"
    "  tintweave-render --quiet --shaders /opt/tintweave/shaders drawing.xml picture.png\n"
    "  tintweave-render --size 1024 --animate frames key1.xml key2.xml key3.xml "
    "--frames-per-pair 10\n"
    "  tintweave-render --animate frames a.xml b.xml --frames 0-12\n"
    "  tintweave-render --size 256 - - < drawing.xml > picture.png\n"
    "\n"
    "Exit status: 0 written (every frame of an animation), 1 missing or unreadable drawing,\n"
    "or keyframes that do not match (other curves or points),\n"
    "2 bad arguments, 3 no usable OpenGL, 4 missing or broken shaders, 5 the picture (or a\n"
    "frame) could not be made or written.\n"
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
    QStringList positional; // DRAWING.xml OUT.png, or OUT_DIR KEY1.xml KEY2.xml ...

    QStringList drawings() const { return animate ? positional.mid(1) : positional.mid(0, 1); }
};

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "tintweave-render: %s\n", message.toLocal8Bit().constData());
    return status;
}

// A wrong command line: one line, no usage text.
int usageError(const QString& message)
{
    return fail(kUsage, message + QStringLiteral(" (see --help)"));
}

// A whole number from `low` to `high` in `text`; false otherwise.
bool parseNumber(const char* text, int low, int high, int* value)
{
    bool ok = false;
    const int n = QByteArray(text).toInt(&ok);
    if (!ok || n < low || n > high)
        return false;
    *value = n;
    return true;
}

// FIRST-LAST (or a single frame N) into *first and *last; false when it is not a range of
// frame numbers.
bool parseFrameRange(const char* text, int* first, int* last)
{
    const QList<QByteArray> parts = QByteArray(text).split('-');
    if (parts.size() > 2 || !parseNumber(parts.front().constData(), 0, INT_MAX, first))
        return false;
    *last = *first;
    return parts.size() == 1 || (parseNumber(parts.back().constData(), *first, INT_MAX, last));
}

// Reads the option at argv[*i] (moving *i past its value); -1 when it was understood, otherwise
// the exit status to end with.
int parseOption(int argc, char** argv, int* i, Arguments* args)
{
    const char* option = argv[*i];
    const char* value = *i + 1 < argc ? argv[*i + 1] : nullptr;
    auto takesValue = [&] { ++*i; };
    if (std::strcmp(option, "--quality") == 0) {
        if (!value || (std::strcmp(value, "draft") != 0 && std::strcmp(value, "final") != 0))
            return usageError(QStringLiteral("--quality needs draft or final"));
        args->draft = std::strcmp(value, "draft") == 0;
        takesValue();
    } else if (std::strcmp(option, "--shaders") == 0) {
        if (!value)
            return usageError(QStringLiteral("--shaders needs a directory"));
        args->shaders = QString::fromLocal8Bit(value);
        takesValue();
    } else if (std::strcmp(option, "--size") == 0) {
        if (!value
            || !parseNumber(value, DiffusionSolver::kMinPictureSize,
                            DiffusionSolver::kMaxPictureSize, &args->size))
            return usageError(QStringLiteral("--size needs a whole number of pixels from %1 to %2")
                                  .arg(DiffusionSolver::kMinPictureSize)
                                  .arg(DiffusionSolver::kMaxPictureSize));
        takesValue();
    } else if (std::strcmp(option, "--frames-per-pair") == 0) {
        if (!value || !parseNumber(value, 2, 100000, &args->framesPerPair))
            return usageError(
                QStringLiteral("--frames-per-pair needs a whole number of at least 2"));
        args->framesPerPairGiven = true;
        takesValue();
    } else if (std::strcmp(option, "--frames") == 0) {
        if (!value || !parseFrameRange(value, &args->firstFrame, &args->lastFrame))
            return usageError(QStringLiteral("--frames needs FIRST-LAST, two frame numbers "
                                             "counted from 0 with FIRST <= LAST"));
        args->framesGiven = true;
        takesValue();
    } else if (std::strcmp(option, "--depth") == 0) {
        if (!value || (std::strcmp(value, "8") != 0 && std::strcmp(value, "16") != 0))
            return usageError(QStringLiteral("--depth needs 8 or 16"));
        args->encoding.depth = std::atoi(value);
        takesValue();
    } else if (std::strcmp(option, "--no-dither") == 0) {
        args->encoding.dither = false;
    } else if (std::strcmp(option, "--colour-space") == 0) {
        if (!value || !colourSpaceFromName(QString::fromLocal8Bit(value), &args->colourSpace))
            return usageError(QStringLiteral("--colour-space needs srgb, linear or oklab"));
        args->colourSpaceGiven = true;
        takesValue();
    } else if (std::strcmp(option, "--no-blur") == 0) {
        args->blur = false;
    } else if (std::strcmp(option, "--quiet") == 0) {
        args->quiet = true;
    } else if (std::strcmp(option, "--verbose") == 0) {
        args->verbose = true;
    } else if (std::strcmp(option, "--animate") == 0) {
        args->animate = true;
    } else {
        return usageError(
            QStringLiteral("unknown option '%1'").arg(QString::fromLocal8Bit(option)));
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
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tintweave-render %s\n", TINTWEAVE_VERSION);
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
    if (args->framesPerPairGiven && !args->animate)
        return usageError(QStringLiteral("--frames-per-pair goes with --animate"));
    if (args->framesGiven && !args->animate)
        return usageError(QStringLiteral("--frames goes with --animate"));
    if (args->animate && args->positional.size() < 3)
        return usageError(QStringLiteral("--animate needs a folder and at least two drawings"));
    if (args->animate && args->positional.front() == kStandardStream)
        return usageError(QStringLiteral("--animate writes its frames into a folder, not to -"));
    if (!args->animate && args->positional.size() != 2)
        return usageError(QStringLiteral("needs a drawing and the picture to write"));
    const int total = args->framesPerPair * int(args->positional.size() - 2);
    if (args->framesGiven && args->lastFrame >= total)
        return usageError(QStringLiteral("--frames %1-%2 asks for frames beyond the last, %3")
                              .arg(args->firstFrame)
                              .arg(args->lastFrame)
                              .arg(total - 1));
    return -1;
}

// Why `path` cannot take the picture or the frames (a folder for --animate); empty when it can.
QString outputProblem(const QString& path, bool folder)
{
    const QFileInfo output(path);
    if (!output.exists())
        return QString();
    if (folder)
        return output.isDir() ? QString() : QStringLiteral("not a folder");
    if (output.isDir())
        return QStringLiteral("it is a folder");
    return output.isFile() ? QString() : QStringLiteral("not a regular file");
}

// Replaces every drawing named "-" by a temporary copy of stdin (read once, whatever the number
// of "-"), so that it is read as any other drawing file. -1 when done, else the exit status.
int takeDrawingFromStdin(Arguments* args, QTemporaryFile* copy)
{
    const int first = args->animate ? 1 : 0;
    const int last = args->animate ? int(args->positional.size()) - 1 : 0;
    for (int i = first; i <= last; ++i) {
        if (args->positional[i] != kStandardStream)
            continue;
        if (!copy->isOpen()) {
            QFile input;
            if (!input.open(stdin, QIODevice::ReadOnly) || !copy->open()
                || copy->write(input.read(kMaxStdinDrawing)) < 0 || !copy->flush())
                return fail(kBadDrawing, QStringLiteral("cannot read the drawing from stdin"));
        }
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

// Writes `image` as PNG to stdout; false with the cause in *why.
bool writePngToStdout(const QImage& image, QString* why)
{
    const QByteArray png = encodePng(image);
    if (png.isEmpty()) {
        *why = QStringLiteral("the picture could not be encoded as PNG");
        return false;
    }
    if (std::fwrite(png.constData(), 1, size_t(png.size()), stdout) != size_t(png.size())
        || std::fflush(stdout) != 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

// Qt's own debug lines and warnings (such as an unset XDG_RUNTIME_DIR) are diagnostics too:
// printed only with --verbose. Its critical and fatal messages are errors and always printed.
bool qtDiagnosticsShown = false;

void printQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (qtDiagnosticsShown || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

class Renderer {
public:
    explicit Renderer(const Arguments& args)
        : solver(kCanvasSize, kCanvasSize, DiffusionSolver::kDefaultCycles, 1.0, 0.0, 0.0)
    {
        request.size = args.size;
        request.cycles = args.draft ? DiffusionSolver::kBaseCycles + DiffusionSolver::kSettleCycles
                                    : DiffusionSolver::kExportCycles;
        request.blur = !args.draft && args.blur;
        request.encoding = args.encoding;
        if (args.colourSpaceGiven)
            colourSpace = args.colourSpace;
    }

    // -1 when the solver and its shaders are ready, else the exit status.
    int start()
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

    // Renders `drawing` and writes it to `path`; false with the cause in *why.
    bool write(const CurveSet& drawing, const QString& path, QString* why)
    {
        CurveSet copy; // the drawing in the space the command line asks for
        if (colourSpace) {
            copy = drawing;
            copy.colour_space = *colourSpace;
        }
        solver.setCurveSet(colourSpace ? copy : drawing);
        const QImage image = solver.renderImage(request, why);
        if (image.isNull())
            return false;
        return path == kStandardStream ? writePngToStdout(image, why)
                                       : writePngFile(image, path, why);
    }

private:
    DiffusionSolver solver;
    PictureRequest request;
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
    // Nothing on stdout unless asked: it may carry the picture.
    setDiagnosticLines(DiagnosticLines::Off);
    Arguments args;
    const int parsed = parseArguments(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    if (args.verbose)
        setDiagnosticLines(DiagnosticLines::Stderr);
    qtDiagnosticsShown = args.verbose;
    qInstallMessageHandler(printQtMessage);
    QTemporaryFile stdinCopy;
    const int taken = takeDrawingFromStdin(&args, &stdinCopy);
    if (taken >= 0)
        return taken;
    const int checked = checkFiles(args);
    if (checked >= 0)
        return checked;
    GlSession session;
    const QString noGl = startGlSession(argc, argv, &session);
    if (!noGl.isEmpty())
        return fail(kNoGl, noGl);
    if (!args.shaders.isEmpty())
        setShaderDirectory(args.shaders);
    if (args.verbose)
        std::fprintf(stderr, "tintweave-render: shaders from %s\n",
                     QDir(shaderDirectory()).absolutePath().toLocal8Bit().constData());
    Renderer renderer(args);
    const int ready = renderer.start();
    if (ready >= 0)
        return ready;
    return args.animate ? renderAnimation(renderer, args) : renderPicture(renderer, args);
}
