#include "solver_gl.h"

#include "solver_images.h"

#include <algorithm>

TextureFormat constraintFormat(ConstraintPrecision precision)
{
    switch (precision) {
    case ConstraintPrecision::Shorts: return rgba16Nearest();
    case ConstraintPrecision::HalfFloats: return halfFloatNearest();
    case ConstraintPrecision::Bytes: break;
    }
    return rgba8Nearest();
}

SolverImages::SolverImages(int width, int height, SolverStorage storage)
    : width(std::max(1, width)), height(std::max(1, height)), storage(storage)
{
}

void SolverImages::create()
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
        level.gradients.create();
        level.gradients.attachColors({&level.gradientX.texture, &level.gradientY.texture});
        level.divergence.create(w, h, halfFloatNearestGreyBorder());
        level.colorSolution.create(w, h, floatLinear());
        level.blurSolution.create(w, h, floatNearest());
        level.colorConstraints.create(w, h, rgba8Nearest());
        level.blurConstraints.create(w, h, halfFloatNearest());
        levelWidth[L + 1] = w / 2;
        levelHeight[L + 1] = h / 2;
    }

    // The colour constraints of level 0 are drawn with stencil counting of curve footprints;
    // the blur pass lays the blur map into depth (see DiffusionSolver::applyBlur).
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
}

int SolverImages::levelWidthOf(int level) const
{
    return level >= 0 && level < int(levelWidth.size()) ? levelWidth[level] : 0;
}

int SolverImages::levelHeightOf(int level) const
{
    return level >= 0 && level < int(levelHeight.size()) ? levelHeight[level] : 0;
}

const RenderTarget* SolverImages::target(SolverImage image, int level) const
{
    if (!ready() || level < 0 || level >= int(pyramid.size()))
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

const RenderTarget& SolverImages::picture() const
{
    return pictureBlurred ? blurredPicture : pyramid[0].colorSolution;
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

std::vector<float> SolverImages::readImage(SolverImage image, int level) const
{
    const RenderTarget* source = target(image, level);
    if (!source)
        return {};
    std::vector<float> pixels = readTarget(*source);
    leavePasses();
    return pixels;
}

std::vector<float> SolverImages::readOverview() const
{
    if (!ready())
        return {};
    std::vector<float> pixels = readTarget(overview);
    leavePasses();
    return pixels;
}

void SolverImages::leavePasses() const
{
    solvergl::loadIdentityMatrices();
    blurScratch.framebuffer.bind();
}
