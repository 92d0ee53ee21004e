#include "gl_api.h"

#include "overview_reader.h"

#include "diffused_colour.h"
#include "diffusion_solver.h"

#include <algorithm>

OverviewReader::OverviewReader(unsigned int framebuffer, int width, int height, ColourSpace space)
    : framebuffer(framebuffer), w(std::max(1, width)), h(std::max(1, height)), space(space)
{
}

OverviewReader::OverviewReader(const DiffusionSolver& solver)
    : OverviewReader(solver.images().overviewFramebufferName(), solver.images().width,
                     solver.images().height, solver.colourSpace())
{
}

std::array<float, 4> OverviewReader::readPixel(int column, int row) const
{
    std::array<float, 4> rgba = {0.5f, 0.5f, 0.5f, 1.0f};
    if (framebuffer == 0)
        return rgba; // no overview yet: the empty picture is grey
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glReadPixels(std::clamp(column, 0, w - 1), std::clamp(row, 0, h - 1), 1, 1, GL_RGBA, GL_FLOAT,
                 rgba.data());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(previous));
    makeStraight(rgba.data());
    if (space != ColourSpace::Srgb) {
        const ColourTriple srgb = toSrgb(space, {rgba[0], rgba[1], rgba[2]});
        for (int k = 0; k < 3; ++k)
            rgba[k] = float(srgb[k]);
    }
    return rgba;
}
