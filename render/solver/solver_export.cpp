// Pictures at any size. The interactive solver keeps every image of its 512-pixel pyramid; a
// picture of N x N pixels is made by a second solver of Export storage, which holds only its
// programs between exports and, during one, makes each full-size image only for the phase that
// needs it:
//   1. the colour constraints (with a depth-stencil image only while they are drawn), and one
//      gradient image at a time, until the divergence is made (see rasteriseForExport);
//   2. the three colour channels, and the opacity where some colour is translucent, one after
//      another, each solved in one-channel 32-bit float image (the estimate) and written into
//      its channel of the picture;
//   3. the picture read back once every other image is released.
// That is at most 26 bytes a pixel live at full size (while solving: the picture and the
// constraints 4 each, 8 in half floats or 16 bits, the estimate 4, the divergence 8 and the
// finest level's packed estimate and correction 6), plus about 12 for the coarse levels (36
// bytes a texel over a third as many texels). (Mesa's llvmpipe keeps the memory of released
// images in the process: there the export at 4096 was measured to need about 53 bytes a pixel
// above the process's own.)
//
// The curves' strips keep their width in canvas units (the rasterisation's pixel size stays
// the 512 canvas's), so the picture at N is the 512 one, sharper; only at small sizes are they
// widened to cover their jumps' divergence (see StripWidthAtLeast). The blur pass smooths by
// pixel steps, so at N it would need (N / 512)^2 times the passes of the 512 picture for the
// same look: instead, wherever the 512 picture is blurred, the picture at N takes the blurred
// 512 picture read at the same canvas point. Blurred regions hold no detail a finer grid could
// add, and the cost stays the solve's, linear in the pixel count. A layered drawing's layers are
// solved one after another and composited; each with blur takes it from its own blurred
// picture at 512, as the editor blurs each layer alone.
#include "solver_gl.h"

#include "blur_pass.h"
#include "curve_drawing.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "diffusion_solver.h"
#include "image_pass.h"
#include "picture_export.h"
#include "picture_file.h"
#include "shader_constants.h"

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <utility>

#include <malloc.h>

namespace {

// Makes the red channel of `texture` read its `channel` (0 red, 1 green, 2 blue, 3 alpha), so
// that the one-channel solve reads one diffused channel of the constraint and divergence images.
void readChannelAsRed(const Texture& texture, int channel)
{
    texture.bind(0);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_SWIZZLE_R,
                    channel < 3 ? GLint(GL_RED + channel) : GLint(GL_ALPHA));
}

// Leaves no image bound to a texture unit or as render target, so that images released next
// are not held by the GL's state and their memory goes back at once.
void unbindImages()
{
    for (int unit = 2; unit >= 0; --unit) {
        glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    }
    bindFramebuffer(0);
}

// Releases `target` with nothing holding its image.
void release(RenderTarget& target)
{
    unbindImages();
    target = RenderTarget();
    glFinish();
}

// True when no GL error is pending (an image that could not be allocated raises one).
bool noGlError()
{
    bool clean = true;
    while (glGetError() != GL_NO_ERROR)
        clean = false;
    return clean;
}

// The divergence of a curve's jump lies on the pixels of its gradient line and their four
// neighbours, up to 1.5 pixels from the curve; the colour strips must constrain all of them, or
// the free pixels take part of the jump and every region beyond them is lifted or lowered by it
// (at 256 pixels, strips of the 512 canvas's width are 1.25 pixels a side: a disc of
// 230,200,40 came out 237,215,35). While it lives, the strips are at least kMinStripPixels
// pixels of a picture of `size` on each side of their curve: the rasterisation's pixel size is
// raised for the sizes below about 400, and put back afterwards.
class StripWidthAtLeast {
public:
    static constexpr double kMinStripPixels = 2.0;
    explicit StripWidthAtLeast(int size) : kept(curveRenderingSettings().pixelSize)
    {
        const double canvasPixel = 2.0 / size;
        const double halfWidthPixels = colorStripHalfWidth() / canvasPixel;
        if (halfWidthPixels < kMinStripPixels)
            curveRenderingSettings().pixelSize = kept * kMinStripPixels / halfWidthPixels;
    }
    ~StripWidthAtLeast() { curveRenderingSettings().pixelSize = kept; }
    StripWidthAtLeast(const StripWidthAtLeast&) = delete;
    StripWidthAtLeast& operator=(const StripWidthAtLeast&) = delete;

private:
    const double kept;
};

// Phases of a picture at another size: the blur reference, the rasterisation, three channels
// (the opacity, where solved, is part of the last).
constexpr int kExportPhases = 5;

// False when `progress` asks to stop after phase `done`.
bool goOn(const PictureProgress& progress, int done)
{
    return !progress || progress(done, kExportPhases);
}

} // namespace

bool PictureExport::initializeForExport()
{
    // A software GL keeps its images in memory from malloc. By default glibc raises its mmap
    // threshold to the size of each large block freed, so that the next blocks of that size
    // come from the heap and their pages stay resident once released: an export would then
    // peak at the sum of its phases rather than at the largest. A fixed threshold keeps every
    // image of a megabyte or more in its own mapping, returned to the system when released.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE_ARB, &largest);
    if (largest < DiffusionSolver::kMaxPictureSize) {
        s.statusText = QStringLiteral("The renderer cannot run: this OpenGL makes images of at "
                                      "most %1 pixels.")
                           .arg(largest);
        std::fprintf(stderr, "%s\n", s.statusText.toLocal8Bit().constData());
        return false;
    }
    SolverImages& images = s.solverImages;
    images.pyramid.resize(1);
    images.levelWidth = {images.width, 0};
    images.levelHeight = {images.height, 0};
    s.createPrograms();
    s.ready = true;
    s.leavePasses();
    return true;
}

QImage DiffusionSolver::renderImage(const PictureRequest& request, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return QImage();
    };
    if (!ready)
        return fail(QStringLiteral("the renderer has no usable OpenGL"));
    if (solverImages.storage == Storage::Export)
        return fail(QStringLiteral("an export solver renders only for its interactive solver"));
    if (request.size < kMinPictureSize || request.size > kMaxPictureSize)
        return fail(QStringLiteral("the picture size must be %1 to %2 pixels, not %3")
                        .arg(kMinPictureSize)
                        .arg(kMaxPictureSize)
                        .arg(request.size));
    QImage image;
    if (request.size == solverImages.width && request.size == solverImages.height) {
        PictureExport(*this).renderWholeCanvas(request.cycles, request.blur);
        image = PictureExport(*this).readPictureImage(request.encoding);
    } else {
        image = PictureExport(*this).renderAtOtherSize(request, error);
    }
    PictureExport(*this).restoreViewAfterExport();
    return image;
}

QImage PictureExport::renderAtOtherSize(const PictureRequest& request, QString* error)
{
    // The blurred regions come from this solver's own picture at export quality (a layered
    // drawing's from each layer's own blurred picture: see renderLayeredExport).
    BlurReference reference;
    DiffusionSolver* layersReference = nullptr;
    if (request.blur && s.input.layered()) {
        bool anyBlur = false;
        for (int k = 0; k < s.input.curves->layerCount(); ++k)
            anyBlur =
                anyBlur || (s.input.curves->layers[k].visible && blurPassChanges(s.layerBlur(k)));
        if (anyBlur) {
            s.solveLayersForExport(DiffusionSolver::kExportCycles, -1);
            s.colorView = {true, View()};
            layersReference = &s;
        }
    } else if (request.blur && largestBlur(s.input.curves) > 0.0f) {
        renderWholeCanvas(DiffusionSolver::kExportCycles, true);
        const SolverImages& images = s.solverImages;
        if (images.pictureBlurred)
            reference = {&images.blurredPicture.texture, &images.pyramid[0].blurSolution.texture};
    }
    if (!goOn(request.progress, 1)) {
        if (error)
            *error = QStringLiteral("cancelled");
        return QImage();
    }
    if (!s.exporter || s.exporter->solverImages.width != request.size) {
        // One export solver per picture size: its multigrid levels follow from that size.
        s.exporter = std::make_unique<DiffusionSolver>(request.size, request.size, 0, 1.0, 0.0, 0.0,
                                                       DiffusionSolver::Storage::Export);
        s.exporter->initialize();
    }
    QString problem;
    if (!s.exporter->isReady())
        problem = s.exporter->status();
    else if (!s.exporter->allProgramsLinked())
        problem = QStringLiteral("some shader programs could not be built");
    QImage image;
    if (problem.isEmpty()) {
        s.exporter->input.curves = s.input.curves;
        s.exporter->input.settings.exportEncoding = request.encoding;
        s.exporter->solverImages.constraintPrecision = s.input.constraintPrecision();
        PictureExport exporter(*s.exporter);
        if (s.input.layered())
            image = exporter.renderLayeredExport(request.cycles, request.progress, layersReference);
        else
            image = exporter.renderExport(request.cycles, reference, request.progress);
        if (image.isNull() && s.exporter->exportCancelled)
            problem = QStringLiteral("cancelled");
        else if (image.isNull())
            problem = QStringLiteral("not enough memory for a picture of %1 x %1 pixels")
                          .arg(request.size);
    }
    if (error && !problem.isEmpty())
        *error = problem;
    return image;
}

QImage PictureExport::renderExport(int cycles, const BlurReference& reference,
                                   const PictureProgress& progress)
{
    RenderTarget picture;
    bool made = solveExportPicture(cycles, reference, progress, picture);
    QImage image;
    if (made)
        image = s.solverDisplay.encodePicture(picture, s.input.settings.exportEncoding);
    release(picture);
    made = noGlError() && made;
    s.leavePasses();
    if (!made)
        return QImage();
    return image;
}

PictureExport::BlurReference PictureExport::layerBlurReference(int layer)
{
    if (!s.input.curves->layers[layer].visible || !blurPassChanges(s.layerBlur(layer)))
        return {};
    // Its pictures are the whole canvas's (solveLayersForExport): so are its blur map and
    // blurred picture.
    const View kept = s.view;
    s.view = View();
    s.blurLayer(layer, DiffusionSolver::kBlurMapCycles + 1);
    s.view = kept;
    return {&s.layerPictures[layer].blurred.texture,
            &s.solverImages.pyramid[0].blurSolution.texture};
}

QImage PictureExport::renderLayeredExport(int cycles, const PictureProgress& progress,
                                          DiffusionSolver* reference)
{
    const CurveSet& drawing = *s.input.curves;
    const int width = s.solverImages.width, height = s.solverImages.height;
    RenderTarget composites[2]; // the layers so far, and the next pass's target
    const RenderTarget* composite = nullptr;
    bool made = true;
    for (int layer = 0; made && layer < drawing.layerCount(); ++layer) {
        const Layer& settings = drawing.layers[layer];
        const CurveRange run = drawing.layerRange(layer);
        if (!settings.visible || run.size() == 0)
            continue;
        // The layer alone, as a drawing of one layer.
        CurveSet alone;
        alone.curves = drawing.curves.mid(run.first, run.size());
        alone.nb_curves = run.size();
        alone.layers.front().curveCount = run.size();
        alone.colour_space = drawing.colour_space;
        alone.image_width = drawing.image_width;
        alone.image_height = drawing.image_height;
        s.input.curves = &alone;
        const BlurReference blur =
            reference ? PictureExport(*reference).layerBlurReference(layer) : BlurReference();
        RenderTarget picture;
        made = solveExportPicture(cycles, blur, progress, picture);
        s.input.curves = &drawing;
        RenderTarget& target = composites[composite == &composites[0] ? 1 : 0];
        if (made) {
            target.create(width, height, floatNearest());
            solvergl::beginPasses();
            runImagePass({s.programs.layerOverProgram,
                          {&picture.texture, composite ? &composite->texture : &picture.texture},
                          {{"opacity", float(settings.opacity)},
                           {"hasBelow", composite ? 1.0f : 0.0f}}},
                         target);
            composite = &target;
        }
        release(picture);
    }
    QImage image;
    if (made && !composite) { // nothing shown: a clear picture
        composites[0].create(width, height, floatNearest());
        solvergl::beginPasses();
        composites[0].bindAsTarget();
        glClearColor(0.0f, 0.0f, 0.0f, float(kOpacityFloor));
        glClear(GL_COLOR_BUFFER_BIT);
        composite = &composites[0];
    }
    if (made)
        image = s.solverDisplay.encodePicture(*composite, s.input.settings.exportEncoding);
    for (RenderTarget& c : composites)
        release(c);
    made = noGlError() && made;
    s.leavePasses();
    return made ? image : QImage();
}

bool PictureExport::solveExportPicture(int cycles, const BlurReference& reference,
                                       const PictureProgress& progress, RenderTarget& picture)
{
    s.exportCancelled = false;
    noGlError();
    rasteriseForExport();
    s.exportCancelled = !goOn(progress, 2);
    s.createMultigridLevels();
    picture.create(s.solverImages.width, s.solverImages.height, exportPictureFormat());
    RenderTarget solution;
    solution.create(s.solverImages.width, s.solverImages.height, redFloatNearest());
    bool made =
        noGlError() && picture.framebuffer.isComplete() && solution.framebuffer.isComplete();
    // An opaque drawing's opacity is 1 everywhere: the colour passes write it.
    const int channels = s.input.translucent() ? 4 : 3;
    for (int channel = 0; made && !s.exportCancelled && channel < channels; ++channel) {
        solveChannel(channel, solution, cycles);
        composeChannel(channel, solution, reference, picture);
        if (channel < 3)
            s.exportCancelled = !goOn(progress, 3 + channel);
    }
    made = made && !s.exportCancelled;
    release(solution);
    releaseExportImages();
    return made;
}

// The solved picture's format: half floats in another colour space than sRGB (whose values
// leave 0..1); in sRGB 16 bits where it is dithered, deep or translucent, which hold every 8-bit
// colour exactly (k / 255 is k * 257 / 65535), so that a flat colour dithers to itself, and the
// premultiplied colours to 1/65535; else 8 bits.
TextureFormat PictureExport::exportPictureFormat() const
{
    const PictureEncoding& encoding = s.input.settings.exportEncoding;
    const ConstraintPrecision precision = s.solverImages.constraintPrecision;
    if (precision == ConstraintPrecision::HalfFloats)
        return halfFloatNearest();
    const bool deep =
        encoding.dither || encoding.depth > 8 || precision == ConstraintPrecision::Shorts;
    return deep ? rgba16Nearest() : rgba8Nearest();
}

// The problem at full size: the colour constraints (an alpha of at least the opacity floor marks
// a constrained texel) in the format the editor's take, so that every constraint colour is exactly the one the editor
// solves with (8 bits hold an sRGB colour exactly; half floats would round 230/255 to 0.9019),
// and the divergence in a half-float image.
void PictureExport::rasteriseForExport()
{
    SolverImages& images = s.solverImages;
    SolverImages::Level& level0 = images.pyramid[0];
    level0.colorConstraints.create(images.width, images.height,
                                   constraintFormat(images.constraintPrecision));
    images.depthStencil.create(images.width, images.height, depthStencilNearest());
    level0.colorConstraints.framebuffer.attachDepthStencil(images.depthStencil);
    {
        const StripWidthAtLeast strips(images.width);
        s.problemRasteriser.buildColorConstraints(View(), false);
    }
    level0.colorConstraints.framebuffer.bind();
    images.depthStencil = Texture(); // deleted while its framebuffer is bound: detached and freed
    unbindImages();
    glFinish();

    level0.divergence.create(images.width, images.height, halfFloatNearestGreyBorder());
    buildExportDivergence(level0.divergence);
}

// The divergence through one gradient image: the x gradient's half of it, then the y
// gradient's half added by blending. The missing gradient is read from a one-texel grey image
// (0.5: no jump) whose edge repeats everywhere.
void PictureExport::buildExportDivergence(const RenderTarget& divergence)
{
    RenderTarget gradient, flat;
    gradient.create(s.solverImages.width, s.solverImages.height, halfFloatNearestGreyBorder());
    flat.create(1, 1, halfFloatNearest());
    solvergl::beginPasses();
    flat.bindAsTarget();
    glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto drawGradient = [&](void (*draw)(const CurveSet&)) {
        solvergl::beginPasses();
        gradient.bindAsTarget();
        glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (s.input.curves) {
            solvergl::loadCanvasModelView(View());
            draw(*s.input.curves);
        }
        solvergl::loadIdentityMatrices();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    };
    drawGradient(drawGradientsX);
    runImagePass({s.programs.divProgram, {&gradient.texture, &flat.texture}, {}}, divergence);
    drawGradient(drawGradientsY);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    runImagePass({s.programs.divProgram, {&flat.texture, &gradient.texture}, {}}, divergence);
    glDisable(GL_BLEND);
    s.leavePasses();
    release(gradient);
    release(flat);
}

void PictureExport::solveSettling(const Multigrid::Problem& problem, int cycles, float emptyValue)
{
    const int fixedCycles = std::min(cycles, DiffusionSolver::kBaseCycles);
    s.solveProblem(problem, fixedCycles, true, emptyValue,
                   {cycles - fixedCycles, DiffusionSolver::kSettledChange});
}

void PictureExport::solveChannel(int channel, RenderTarget& solution, int cycles)
{
    const SolverImages::Level& level0 = s.solverImages.pyramid[0];
    readChannelAsRed(level0.divergence.texture, channel);
    readChannelAsRed(level0.colorConstraints.texture, channel);
    // Without any constraint the picture is opaque grey, as the colour solve's estimate gives.
    solveSettling({&solution, &level0.divergence.texture, &level0.colorConstraints.texture}, cycles,
                  channel < 3 ? 0.5f : 1.0f);
}

// Writes one channel of the picture: the solved channel, or, where the reference is blurred,
// the reference's channel at the same canvas point (compose_channel.frag).
void PictureExport::composeChannel(int channel, const RenderTarget& solution,
                                   const BlurReference& reference, const RenderTarget& picture)
{
    ShaderProgram& composeChannelProgram = s.programs.composeChannelProgram;
    if (!composeChannelProgram.isLinked())
        return;
    const bool blurred = reference.picture && reference.blurMap;
    const Texture& referencePicture = blurred ? *reference.picture : solution.texture;
    const Texture& referenceBlur = blurred ? *reference.blurMap : solution.texture;
    const std::vector<float> levels = blurPassLevels();
    // A pixel of the reference is blurred when its blur map lies above the last level.
    const float threshold = blurred && !levels.empty() ? levels.back() : 2.0f;

    solvergl::beginPasses();
    picture.bindAsTarget();
    glColorMask(channel == 0, channel == 1, channel == 2, channel == 0 || channel == 3);
    referenceBlur.bind(2);
    referencePicture.bind(1);
    solution.texture.bind(0);
    composeChannelProgram.use();
    composeChannelProgram.setFloat("channel", float(channel));
    composeChannelProgram.setFloat("referenceScale",
                                   float(referencePicture.width()) / float(s.solverImages.width));
    composeChannelProgram.setFloat("blurThreshold", threshold);
    solvergl::drawFullScreenQuad();
    ShaderProgram::release();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    s.leavePasses();
}

void PictureExport::releaseExportImages()
{
    unbindImages();
    s.solverImages.pyramid.clear();
    s.solverImages.pyramid.resize(1);
    s.multigrid.releaseLevels();
    s.solverImages.depthStencil = Texture();
}

void PictureExport::renderWholeCanvas(int cycles, bool blur)
{
    const int blurMapCycles =
        DiffusionSolver::kBlurMapCycles + 1 + std::max(0, cycles - DiffusionSolver::kExportCycles);
    if (s.input.layered()) {
        s.solveLayersForExport(cycles, blur ? blurMapCycles : -1); // each layer blurred alone
        s.colorView = {true, View()};
        return;
    }
    SolverRasteriser& rasteriser = s.problemRasteriser;
    rasteriser.buildBlurConstraints(View());
    rasteriser.buildDivergencePyramid(View());
    rasteriser.buildColorConstraints(View(), false);
    solveSettling(s.colorProblem(s.solverImages.pyramid[0].colorSolution), cycles);
    s.colorView = {true, View()};
    s.solverImages.pictureBlurred = false;
    if (!blur)
        return;
    s.solveBlurMap(blurMapCycles);
    s.applyBlur(true);
}

QImage PictureExport::readPictureImage(const PictureEncoding& encoding) const
{
    return s.solverDisplay.encodePicture(s.solverImages.picture(), encoding);
}

// The export's solution is the whole canvas's: for that view the images already describe it,
// only the blur follows the user's switch; any other view is solved again.
void PictureExport::restoreViewAfterExport()
{
    if (s.isWholeCanvasView() && s.input.layered()) {
        s.copyIntoOverview();
        // The layers' blurred pictures made by the export are kept: only composited.
        s.applyBlur(s.input.settings.blurEnabled);
    } else if (s.isWholeCanvasView()) {
        s.copyIntoOverview();
        s.solverImages.pictureBlurred =
            s.solverImages.pictureBlurred && s.input.settings.blurEnabled;
    } else {
        s.fullUpdate();
    }
}

bool DiffusionSolver::saveImage(const QString& path, int size, QString* error,
                                const PictureProgress& progress)
{
    if (!ready)
        return savePicture(path, error); // reports why nothing can be rendered
    PictureRequest request;
    request.size = size;
    request.cycles = kExportCycles;
    request.progress = progress;
    request.encoding = input.settings.exportEncoding;
    const QImage image = renderImage(request, error);
    return !image.isNull() && writePngFile(image, path, error);
}
