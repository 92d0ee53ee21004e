// One cycle on the finest level: a red-black sweep (two passes), the residual restricted to
// level 1 (one pass), level 1's correction solved (recursively, down to the exact solve of the
// coarsest level) and added back through bilinear interpolation, a red-black sweep. Every pass
// but the restriction writes a whole image, so each level ping-pongs between its image and a
// partner; the pointers follow the content.
#include "multigrid.h"

#include "image_pass.h"
#include "solver_gl.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace {

constexpr int kCoarsestSize = 5; // the exact solve's side (mg_coarsest.frag)

std::function<void(const char*)>& phaseHook()
{
    static std::function<void(const char*)> hook;
    return hook;
}

void beginPhase(const char* name)
{
    if (phaseHook())
        phaseHook()(name);
}

} // namespace

void setMultigridPhaseHook(std::function<void(const char*)> hook) { phaseHook() = std::move(hook); }

Multigrid::~Multigrid()
{
    if (nearestSampler != 0)
        glDeleteSamplers(1, &nearestSampler);
}

void Multigrid::createPrograms()
{
    if (GLEW_ARB_sampler_objects && nearestSampler == 0) {
        glGenSamplers(1, &nearestSampler);
        glSamplerParameteri(nearestSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glSamplerParameteri(nearestSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glSamplerParameteri(nearestSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(nearestSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    struct Entry {
        ShaderProgram* program;
        const char* fragment;
        std::vector<const char*> samplers; // by unit
    };
    const Entry entries[] = {
        {&smoothFinestProgram, "mg_smooth_finest.frag", {"imgMap", "divMap", "fixedMap"}},
        {&residualFinestProgram,
         "mg_residual_finest.frag",
         {"imgMap", "divMap", "fixedMap", "coarseStencilC"}},
        {&smoothProgram,
         "mg_smooth.frag",
         {"imgMap", "rhsMap", "stencilA", "stencilB", "stencilC"}},
        {&residualProgram,
         "mg_residual.frag",
         {"imgMap", "rhsMap", "stencilA", "stencilB", "stencilC"}},
        {&restrictProgram, "mg_restrict.frag", {"imgMap", "coarseStencilC"}},
        {&prolongProgram, "mg_prolong.frag", {"imgMap", "correctionMap", "fixedMap"}},
        {&galerkinProgram, "mg_galerkin.frag", {"stencilA", "stencilB", "stencilC"}},
        {&coarsestProgram, "mg_coarsest.frag", {"rhsMap", "stencilA", "stencilB", "stencilC"}},
    };
    const QByteArray vertex = shaderPath("img_process.vert");
    for (const Entry& entry : entries) {
        if (!entry.program->create(vertex, shaderPath(entry.fragment))) {
            std::cerr << "Multigrid Shader " << entry.fragment << " : "
                      << entry.program->log().constData() << std::endl;
            continue;
        }
        entry.program->use();
        for (size_t unit = 0; unit < entry.samplers.size(); ++unit)
            entry.program->setSampler(entry.samplers[unit], int(unit));
    }
    ShaderProgram::release();
}

bool Multigrid::allProgramsLinked() const
{
    for (const ShaderProgram* program :
         {&smoothFinestProgram, &residualFinestProgram, &smoothProgram, &residualProgram,
          &restrictProgram, &prolongProgram, &galerkinProgram, &coarsestProgram}) {
        if (!program->isLinked())
            return false;
    }
    return true;
}

void Multigrid::createLevels(int width, int height, const TextureFormat& values,
                             const TextureFormat& stencils)
{
    levels.clear();
    finestWidth = width;
    finestHeight = height;
    int w = width;
    int h = height;
    while (std::max(w, h) > kCoarsestSize) {
        w = w / 2 + 1;
        h = h / 2 + 1;
        Level level;
        level.correction.create(w, h, values);
        level.partner.create(w, h, values);
        level.rhs.create(w, h, values);
        level.stencilA.create(w, h, stencils);
        level.stencilB.create(w, h, stencils);
        level.stencilC.create(w, h, stencils);
        level.stencilTarget.create();
        level.stencilTarget.attachColor(level.stencilA);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                  GL_TEXTURE_RECTANGLE_ARB, level.stencilB.name(), 0);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT2_EXT,
                                  GL_TEXTURE_RECTANGLE_ARB, level.stencilC.name(), 0);
        const GLenum buffers[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                   GL_COLOR_ATTACHMENT2_EXT};
        glDrawBuffers(3, buffers);
        levels.push_back(std::move(level));
    }
}

void Multigrid::solve(const Problem& problem, int fCycles, int vCycles)
{
    useNearestSampler(true);
    beginPhase("operators");
    buildOperators(*problem.constraints);
    RenderTarget* current = problem.solution;
    RenderTarget* other = problem.partner;
    for (int c = 0; c < fCycles + vCycles; ++c)
        finestCycle(problem, current, other, c < fCycles ? Cycle::F : Cycle::V);
    if (current != problem.solution) {
        // An odd count of cycles: copy the estimate home (a half-sweep of neither parity copies).
        beginPhase("final copy");
        runImagePass({smoothFinestProgram,
                      {&current->texture, &current->texture, problem.constraints},
                      {{"parity", 2.0f}, {"rhsWeight", 0.0f}}},
                     *problem.solution);
    }
    useNearestSampler(false);
    beginPhase("");
}

void Multigrid::useNearestSampler(bool bind) const
{
    if (nearestSampler == 0)
        return;
    for (GLuint unit = 0; unit < 5; ++unit)
        glBindSampler(unit, bind ? nearestSampler : 0);
}

void Multigrid::buildOperators(const Texture& constraints)
{
    int fineWidth = finestWidth;
    int fineHeight = finestHeight;
    for (size_t k = 0; k < levels.size(); ++k) {
        Level& level = levels[k];
        const bool fromMask = k == 0;
        std::vector<const Texture*> inputs{&constraints, nullptr, nullptr};
        if (!fromMask)
            inputs = {&levels[k - 1].stencilA, &levels[k - 1].stencilB, &levels[k - 1].stencilC};
        runImagePass({galerkinProgram,
                      inputs,
                      {{"fromMask", fromMask ? 1.0f : 0.0f},
                       {"fineWidth", float(fineWidth)},
                       {"fineHeight", float(fineHeight)}}},
                     level.stencilTarget, level.width(), level.height());
        fineWidth = level.width();
        fineHeight = level.height();
    }
}

void Multigrid::finestCycle(const Problem& problem, RenderTarget*& current, RenderTarget*& other,
                            Cycle kind)
{
    beginPhase("level 0 smoothing");
    smoothFinest(problem, current, other);
    if (!levels.empty()) {
        beginPhase("level 0 residual and restriction");
        const Texture& rhs = problem.rhs ? *problem.rhs : *problem.constraints;
        runImagePass({residualFinestProgram,
                      {&current->texture, &rhs, problem.constraints, &levels[0].stencilC},
                      {{"rhsWeight", problem.rhs ? 1.0f : 0.0f},
                       {"width", float(finestWidth)},
                       {"height", float(finestHeight)}}},
                     levels[0].rhs);
        beginPhase("coarse levels");
        coarseCycle(0, kind);
        beginPhase("level 0 prolongation");
        prolongInto(current->texture, levels[0], *problem.constraints, 1.0f, *other);
        std::swap(current, other);
    }
    beginPhase("level 0 smoothing");
    smoothFinest(problem, current, other);
}

void Multigrid::coarseCycle(size_t k, Cycle kind)
{
    Level& level = levels[k];
    if (k + 1 == levels.size()) {
        runImagePass({coarsestProgram,
                      {&level.rhs.texture, &level.stencilA, &level.stencilB, &level.stencilC},
                      {{"width", float(level.width())}, {"height", float(level.height())}}},
                     level.correction);
        return;
    }
    RenderTarget* current = &level.correction;
    RenderTarget* other = &level.partner;
    smoothCoarse(level, current, other, true);
    Level& coarser = levels[k + 1];
    const Cycle visits[2] = {kind, Cycle::V};
    const int count = kind == Cycle::F ? 2 : 1;
    for (int v = 0; v < count; ++v) {
        runImagePass({residualProgram,
                      {&current->texture, &level.rhs.texture, &level.stencilA, &level.stencilB,
                       &level.stencilC},
                      {}},
                     *other);
        restrictInto(other->texture, level.width(), level.height(), coarser);
        coarseCycle(k + 1, visits[v]);
        prolongInto(current->texture, coarser, level.stencilC, 0.0f, *other);
        std::swap(current, other);
    }
    smoothCoarse(level, current, other, false);
    if (current != &level.correction)
        std::swap(level.correction, level.partner); // the names follow the content
}

void Multigrid::smoothFinest(const Problem& problem, RenderTarget*& current, RenderTarget*& other)
{
    const Texture& rhs = problem.rhs ? *problem.rhs : *problem.constraints;
    for (float parity : {0.0f, 1.0f}) {
        runImagePass({smoothFinestProgram,
                      {&current->texture, &rhs, problem.constraints},
                      {{"parity", parity},
                       {"rhsWeight", problem.rhs ? 1.0f : 0.0f},
                       {"width", float(finestWidth)},
                       {"height", float(finestHeight)}}},
                     *other);
        std::swap(current, other);
    }
}

void Multigrid::smoothCoarse(Level& level, RenderTarget*& current, RenderTarget*& other,
                             bool fromZero)
{
    for (float parity : {0.0f, 1.0f}) {
        runImagePass({smoothProgram,
                      {&current->texture, &level.rhs.texture, &level.stencilA, &level.stencilB,
                       &level.stencilC},
                      {{"parity", parity}, {"fromZero", fromZero && parity == 0.0f ? 1.0f : 0.0f}}},
                     *other);
        std::swap(current, other);
    }
}

void Multigrid::restrictInto(const Texture& residual, int fineWidth, int fineHeight, Level& coarse)
{
    runImagePass({restrictProgram,
                  {&residual, &coarse.stencilC},
                  {{"fineWidth", float(fineWidth)}, {"fineHeight", float(fineHeight)}}},
                 coarse.rhs);
}

void Multigrid::prolongInto(const Texture& estimate, const Level& coarse, const Texture& fixedMap,
                            float fixedValueWeight, const RenderTarget& target)
{
    runImagePass({prolongProgram,
                  {&estimate, &coarse.correction.texture, &fixedMap},
                  {{"fixedValueWeight", fixedValueWeight}}},
                 target);
}
