// The solver's images hold colours of the drawing's colour space. Here they leave it: the
// picture converted back to sRGB, clipped to the gamut and dithered for the window and the
// exports (picture_output.frag), and the constraint images given the precision that space
// needs.
#include "solver_gl.h"

#include "curve_set.h"
#include "diffusion_solver.h"

#include <QImage>

#include <utility>

namespace {

TextureFormat rgba16Nearest()
{
    return {GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, GL_NEAREST, GL_CLAMP_TO_EDGE};
}

float spaceCode(ColourSpace space)
{
    switch (space) {
    case ColourSpace::Linear: return 1.0f;
    case ColourSpace::Oklab: return 2.0f;
    case ColourSpace::Srgb: break;
    }
    return 0.0f;
}

} // namespace

ColourSpace DiffusionSolver::colourSpace() const
{
    return curveSet ? curveSet->colour_space : ColourSpace::Srgb;
}

void DiffusionSolver::matchConstraintPrecision()
{
    const bool precise = colourSpace() != ColourSpace::Srgb;
    if (storage == Storage::Export || precise == preciseConstraints)
        return; // an export makes its constraint image with the precision it needs
    preciseConstraints = precise;
    for (int L = 0; L < levels; ++L)
        pyramid[L].colorConstraints.create(levelWidth[L], levelHeight[L],
                                           precise ? halfFloatNearest() : rgba8Nearest());
    pyramid[0].colorConstraints.framebuffer.attachDepthStencil(depthStencil);
    leavePasses();
}

// Makes pictureOutputProgram current for 8-bit output; the caller draws and releases it.
void DiffusionSolver::usePictureOutputProgram(bool dither) const
{
    pictureOutputProgram.use();
    pictureOutputProgram.setFloat("colourSpace", spaceCode(colourSpace()));
    pictureOutputProgram.setFloat("levels", 255.0f);
    pictureOutputProgram.setFloat("dither", dither ? 1.0f : 0.0f);
}

QImage DiffusionSolver::encodePicture(const RenderTarget& source,
                                      const PictureEncoding& encoding) const
{
    const bool deep = encoding.depth > 8;
    const int w = source.width(), h = source.height();
    QImage image(w, h, deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    // sRGB values undithered are read as they are, the GL rounding them.
    const RenderTarget* read = &source;
    RenderTarget converted;
    if (colourSpace() != ColourSpace::Srgb || encoding.dither) {
        converted.create(w, h, deep ? rgba16Nearest() : rgba8Nearest());
        solvergl::beginPasses();
        converted.bindAsTarget();
        source.texture.bind(0);
        usePictureOutputProgram(encoding.dither);
        pictureOutputProgram.setFloat("levels", deep ? 65535.0f : 255.0f);
        solvergl::drawTexturedQuad(w, h);
        ShaderProgram::release();
        read = &converted;
    }
    read->framebuffer.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, deep ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE, image.bits());
    leavePasses();
    return std::move(image).mirrored(false, true);
}
