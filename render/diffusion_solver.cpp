#include "solver_gl.h"

#include "diffusion_solver.h"
#include "picture_export.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// Each image program: its fragment file and the prefix its failure is reported with.
struct ProgramFiles {
    const char* fragment;
    const char* prefix;
};

} // namespace

DiffusionSolver::DiffusionSolver(int width, int height, int iterations, double zoom, double panX,
                                 double panY, Storage storage)
    : storage(storage), width(std::max(1, width)),
      height(std::max(1, height)), view{zoom, Point(panX, panY)}
{
    userSettings.iterations = iterations;
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
    levels = std::max(1, int(std::floor(std::log(double(width)) / std::log(2.0) + 0.5)) - 3);
    if (storage == Storage::Export)
        return PictureExport(*this).initializeForExport();
    createImages();
    if (!pyramid[0].colorConstraints.framebuffer.isComplete()
        || !pyramid[0].colorSolution.framebuffer.isComplete()
        || !pyramid[0].blurSolution.framebuffer.isComplete()
        || !blurScratch.framebuffer.isComplete()) {
        statusText =
            QStringLiteral("The renderer cannot run: this OpenGL cannot render into half-float or "
                           "depth-stencil images.");
        std::cerr << statusText.toLocal8Bit().constData() << std::endl;
        pyramid.clear();
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
    if (storage == Storage::Export && !(GLEW_ARB_texture_rg && GLEW_ARB_texture_swizzle))
        missing << QStringLiteral("GL_ARB_texture_rg and GL_ARB_texture_swizzle");
    if (missing.isEmpty())
        return true;
    statusText = QStringLiteral("The renderer cannot run: this OpenGL lacks ")
                 + missing.join(QStringLiteral(", ")) + QLatin1Char('.');
    return false;
}

void DiffusionSolver::createImages()
{
    levelWidth.assign(levels + 1, 0);
    levelHeight.assign(levels + 1, 0);
    levelWidth[0] = width;
    levelHeight[0] = height;
    pyramid.resize(levels);
    for (int L = 0; L < levels; ++L) {
        const int w = levelWidth[L];
        const int h = levelHeight[L];
        Level& level = pyramid[L];
        level.gradientX.create(w, h, halfFloatNearestGreyBorder());
        level.gradientY.create(w, h, halfFloatNearestGreyBorder());
        level.divergence.create(w, h, halfFloatNearestGreyBorder());
        level.colorSolution.create(w, h, floatLinear());
        level.blurSolution.create(w, h, floatNearest());
        level.colorConstraints.create(w, h, rgba8Nearest());
        level.blurConstraints.create(w, h, halfFloatNearest());
        levelWidth[L + 1] = w / 2;
        levelHeight[L + 1] = h / 2;
    }

    // The colour constraints of level 0 are drawn with stencil counting of curve footprints;
    // the blur pass lays the blur map into depth (see applyBlur).
    depthStencil.create(width, height, depthStencilNearest());
    pyramid[0].colorConstraints.framebuffer.attachDepthStencil(depthStencil);

    overview.create(width, height, floatLinear());
    overview.framebuffer.bind();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    blurScratch.create(width, height, floatLinear());
    blurScratch.framebuffer.attachDepthStencil(depthStencil);
    blurredPicture.create(width, height, floatLinear());
    blurredPicture.framebuffer.attachDepthStencil(depthStencil);

    createMultigridLevels();
}

void DiffusionSolver::createMultigridLevels()
{
    // An export solves one colour channel at a time; its operator images may be half floats
    // (a slightly rounded coarse operator only slows the cycles a little; the finest level,
    // which decides the answer, is exact).
    if (storage == Storage::Export)
        multigrid.createLevels(width, height, redFloatNearest(), halfFloatNearest());
    else
        multigrid.createLevels(width, height, floatNearest(), floatNearest());
}

void DiffusionSolver::createPrograms()
{
    struct Entry {
        ShaderProgram* program;
        ProgramFiles files;
    };
    const Entry entries[] = {
        {&divProgram, {"div.frag", "Div Shader : "}},
        {&restrictProgram, {"restrict.frag", "Restriction Shader : "}},
        {&diffusionProgram, {"anisotropic_diffusion.frag", "Diffusion Shader : "}},
        {&restrictColorProgram, {"restrict_color.frag", "Restrict Color Shader : "}},
        {&blurThresholdProgram, {"blur_threshold.frag", "Blur Threshold Shader : "}},
        {&downsampleProgram, {"downsample.frag", "Downsample Shader : "}},
    };
    const QByteArray vertex = shaderPath("img_process.vert");
    for (const Entry& entry : entries) {
        if (!entry.program->create(vertex, shaderPath(entry.files.fragment)))
            std::cerr << entry.files.prefix << entry.program->log().constData() << std::endl;
    }
    if (storage == Storage::Export
        && !composeChannelProgram.create(vertex, shaderPath("compose_channel.frag")))
        std::cerr << "Compose Channel Shader : " << composeChannelProgram.log().constData()
                  << std::endl;
    if (!pictureOutputProgram.create(shaderPath("picture_output.vert"),
                                     shaderPath("picture_output.frag")))
        std::cerr << "Picture Output Shader : " << pictureOutputProgram.log().constData()
                  << std::endl;

    // Sampler units and the sweep weight never change: set them once.
    struct SamplerUnit {
        ShaderProgram* program;
        const char* name;
        int unit;
    };
    const SamplerUnit units[] = {
        {&divProgram, "gxMap", 0},
        {&divProgram, "gyMap", 1},
        {&restrictProgram, "imgMap", 0},
        {&diffusionProgram, "imgMap", 0},
        {&diffusionProgram, "blurMap", 1},
        {&restrictColorProgram, "imgMap", 0},
        {&downsampleProgram, "imgMap", 0},
        {&composeChannelProgram, "channelMap", 0},
        {&composeChannelProgram, "referenceMap", 1},
        {&composeChannelProgram, "blurMap", 2},
    };
    for (const SamplerUnit& s : units) {
        if (!s.program->isLinked())
            continue;
        s.program->use();
        s.program->setSampler(s.name, s.unit);
    }
    ShaderProgram::release();
    multigrid.createPrograms();
}

bool DiffusionSolver::allProgramsLinked() const
{
    const ShaderProgram* programs[] = {&divProgram,           &restrictProgram,
                                       &diffusionProgram,     &restrictColorProgram,
                                       &blurThresholdProgram, &downsampleProgram};
    for (const ShaderProgram* program : programs) {
        if (!program->isLinked())
            return false;
    }
    if (!multigrid.allProgramsLinked() || !pictureOutputProgram.isLinked())
        return false;
    return storage == Storage::Interactive || composeChannelProgram.isLinked();
}

int DiffusionSolver::coarserDisplayLevel()
{
    if (displayLevel < levels - 1)
        ++displayLevel;
    return displayLevel;
}

int DiffusionSolver::finerDisplayLevel()
{
    if (displayLevel > 0)
        --displayLevel;
    return displayLevel;
}

int DiffusionSolver::levelWidthOf(int level) const
{
    return level >= 0 && level < int(levelWidth.size()) ? levelWidth[level] : 0;
}

int DiffusionSolver::levelHeightOf(int level) const
{
    return level >= 0 && level < int(levelHeight.size()) ? levelHeight[level] : 0;
}

const RenderTarget* DiffusionSolver::target(SolverImage image, int level) const
{
    if (!ready || level < 0 || level >= int(pyramid.size()))
        return nullptr;
    const Level& l = pyramid[level];
    switch (image) {
    case SolverImage::GradientX: return &l.gradientX;
    case SolverImage::GradientY: return &l.gradientY;
    case SolverImage::Divergence: return &l.divergence;
    case SolverImage::ColorSolution: return level == 0 ? &picture() : &l.colorSolution;
    case SolverImage::BlurSolution: return &l.blurSolution;
    case SolverImage::BlurConstraints: return &l.blurConstraints;
    case SolverImage::ColorConstraints: return &l.colorConstraints;
    }
    return nullptr;
}

namespace {

std::vector<float> readTarget(const RenderTarget& target)
{
    std::vector<float> pixels(size_t(target.width()) * size_t(target.height()) * 4u);
    target.framebuffer.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, target.width(), target.height(), GL_RGBA, GL_FLOAT, pixels.data());
    return pixels;
}

} // namespace

std::vector<float> DiffusionSolver::readImage(SolverImage image, int level) const
{
    const RenderTarget* source = target(image, level);
    if (!source)
        return {};
    std::vector<float> pixels = readTarget(*source);
    leavePasses();
    return pixels;
}

std::vector<float> DiffusionSolver::readOverview() const
{
    if (!ready)
        return {};
    std::vector<float> pixels = readTarget(overview);
    leavePasses();
    return pixels;
}

const RenderTarget& DiffusionSolver::picture() const
{
    return pictureBlurred ? blurredPicture : pyramid[0].colorSolution;
}

void DiffusionSolver::leavePasses() const
{
    solvergl::loadIdentityMatrices();
    blurScratch.framebuffer.bind();
}
