// One cycle on the finest level: a red-black sweep (two passes), the residual restricted to
// level 1 (one pass), level 1's correction solved (recursively, down to the exact solve of the
// coarsest level) and added back through bilinear interpolation, a red-black sweep. Every pass
// but the restriction writes a whole image, so each level ping-pongs between its image and a
// partner; the pointers follow the content.
#include "multigrid.h"

#include "coarsest_level.h"
#include "image_pass.h"
#include "program_catalogue.h"
#include "scissor_box.h"
#include "solver_gl.h"

#include <algorithm>
#include <utility>

namespace {

// An F-cycle visits the next coarser level twice only from coarse levels wider or taller than
// kOnceVisitingSize texels. Visiting from the smaller ones twice as well changed the tests'
// largest errors by less than 0.05/255, but cost 36 of the 103 passes of an F-cycle at 512, all
// of them on images of 65 x 65 texels or less, where a pass costs the GL's set-up more than its
// shading.
constexpr int kOnceVisitingSize = 65;
// A frame's F-cycle (see Multigrid::step) visits twice only from levels wider than 129 texels:
// 54 passes instead of 73 at 512, and the frames' tests hold their bounds with it.
constexpr int kFrameOnceVisitingSize = 129;
constexpr unsigned kPassUnits = 6; // the most texture units a pass reads

// The texels of a coarse level of width x height whose operator depends on the finer texels of
// `fine`: coarse texel J reads the finer 5 x 5 block around 2J (mg_galerkin.frag).
PixelRect coarseBlockOf(const PixelRect& fine, int width, int height)
{
    if (fine.isEmpty())
        return {};
    // From the first J with 2J + 2 >= fine.x to the last with 2J - 2 <= the last fine texel.
    const auto first = [](int i) { return std::max(0, (i - 1) / 2); };
    const auto end = [](int i, int size) { return std::min(size, (i + 1) / 2 + 1); };
    const int x0 = first(fine.x), y0 = first(fine.y);
    const int x1 = end(fine.x + fine.width, width), y1 = end(fine.y + fine.height, height);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

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
    for (const ProgramSlot& slot : programSlots())
        createProgram(this->*slot.program, slot.id);
    buildVariant(DiffusedChannels::Colour);
}

void Multigrid::buildVariant(DiffusedChannels channels)
{
    DiffusingPrograms& variant = variants[int(channels)];
    for (const DiffusingSlot& slot : diffusingSlots())
        createProgram(variant.*slot.program, slot.id, channels);
    variant.built = true;
}

void Multigrid::useChannelsOf(const Problem& problem)
{
    if (!variants[int(problem.channels)].built)
        buildVariant(problem.channels);
    diffusing = &variants[int(problem.channels)];
}

bool Multigrid::allProgramsLinked() const
{
    for (const ProgramSlot& slot : programSlots()) {
        if (!(this->*slot.program).isLinked())
            return false;
    }
    for (const DiffusingPrograms& variant : variants) {
        for (const DiffusingSlot& slot : diffusingSlots()) {
            if (variant.built && !(variant.*slot.program).isLinked())
                return false;
        }
    }
    return true;
}

const std::vector<Multigrid::ProgramSlot>& Multigrid::programSlots()
{
    static const std::vector<ProgramSlot> slots = {
        {&Multigrid::galerkinProgram, ProgramId::MgGalerkin},
        {&Multigrid::galerkinMaskProgram, ProgramId::MgGalerkinMask},
        {&Multigrid::maxReduceProgram, ProgramId::MgMaxReduce},
    };
    return slots;
}

const std::vector<Multigrid::DiffusingSlot>& Multigrid::diffusingSlots()
{
    static const std::vector<DiffusingSlot> slots = {
        {&DiffusingPrograms::packFinest, ProgramId::MgPackFinest},
        {&DiffusingPrograms::unpackFinest, ProgramId::MgUnpackFinest},
        {&DiffusingPrograms::smoothFinest, ProgramId::MgSmoothFinest},
        {&DiffusingPrograms::residualFinest, ProgramId::MgResidualFinest},
        {&DiffusingPrograms::prolongFinest, ProgramId::MgProlongFinest},
        {&DiffusingPrograms::smooth, ProgramId::MgSmooth},
        {&DiffusingPrograms::smoothZero, ProgramId::MgSmoothZero},
        {&DiffusingPrograms::restrictResidual, ProgramId::MgRestrictResidual},
        {&DiffusingPrograms::prolong, ProgramId::MgProlong},
        {&DiffusingPrograms::prolongSmooth, ProgramId::MgProlongSmooth},
        {&DiffusingPrograms::coarsest, ProgramId::MgCoarsest},
        {&DiffusingPrograms::pull, ProgramId::MgPull},
        {&DiffusingPrograms::push, ProgramId::MgPush},
        {&DiffusingPrograms::pushCoarsest, ProgramId::MgPushCoarsest},
        {&DiffusingPrograms::changeFinest, ProgramId::MgChangeFinest},
    };
    return slots;
}

void Multigrid::createLevels(int width, int height, const TextureFormat& values,
                             const TextureFormat& stencils)
{
    levels.clear();
    operatorsHeld = false;
    finestWidth = width;
    finestHeight = height;
    for (RenderTarget* colour : {&red, &black, &blackPartner, &redBefore, &blackBefore})
        colour->create((width + 1) / 2, height, values);
    changeLevels.clear();
    for (int w = (width + 1) / 2, h = height; w > 1 || h > 1;) {
        w = (w + 3) / 4;
        h = (h + 3) / 4;
        changeLevels.emplace_back();
        changeLevels.back().create(w, h, values);
    }
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
        level.stencilTarget.attachColors({&level.stencilA, &level.stencilB, &level.stencilC});
        levels.push_back(std::move(level));
    }
}

void Multigrid::releaseLevels()
{
    levels.clear();
    operatorsHeld = false;
    changeLevels.clear();
    for (RenderTarget* colour : {&red, &black, &blackPartner, &redBefore, &blackBefore})
        *colour = RenderTarget();
}

void Multigrid::solve(const Problem& problem, int fCycles, int vCycles, MultigridStopRule stop)
{
    useChannelsOf(problem);
    useNearestSampler(true);
    beginPhase("operators");
    buildOperators(*problem.constraints);
    beginPhase("level 0 packing");
    // The first red half-sweep replaces every red texel: only the black ones are read.
    runImagePass({diffusing->packFinest,
                  {&problem.solution->texture, problem.constraints},
                  {{"parity", 1.0f}}},
                 black);
    const int fixedCycles = fCycles + vCycles;
    for (int c = 0; c < fixedCycles; ++c)
        finestCycle(problem, c < fCycles ? Cycle::F : Cycle::V,
                    stop.extraCycles > 0 && c + 1 == fixedCycles);
    for (int extra = 0; extra < stop.extraCycles && lastChange() > stop.settled; ++extra)
        finestCycle(problem, Cycle::F, true);
    beginPhase("level 0 packing");
    runImagePass({diffusing->unpackFinest, {&red.texture, &black.texture}, {}}, *problem.solution);
    useNearestSampler(false);
    beginPhase("");
}

void Multigrid::buildOperatorsFor(const Problem& problem, const PixelRect* changed)
{
    useNearestSampler(true);
    beginPhase("operators");
    buildOperators(*problem.constraints, operatorsHeld ? changed : nullptr);
    useNearestSampler(false);
    beginPhase("");
}

float Multigrid::step(const Problem& problem, int cycles, bool measure)
{
    useChannelsOf(problem);
    useNearestSampler(true);
    beginPhase("level 0 packing");
    runImagePass({diffusing->packFinest,
                  {&problem.solution->texture, problem.constraints},
                  {{"parity", 1.0f}}},
                 black);
    for (int c = 0; c < cycles; ++c) {
        // In motion a cycle that follows another needs no sweep before it: the other's last
        // sweep just smoothed the error.
        const bool following = !measure && c > 0;
        finestCycle(problem, Cycle::FrameF, measure && c + 1 == cycles, !following);
    }
    const float change = measure ? lastChange() : -1.0f;
    beginPhase("level 0 packing");
    runImagePass({diffusing->unpackFinest, {&red.texture, &black.texture}, {}}, *problem.solution);
    useNearestSampler(false);
    beginPhase("");
    return change;
}

void Multigrid::estimateFromConstraints(const Problem& problem, float emptyValue)
{
    useChannelsOf(problem);
    useNearestSampler(true);
    beginPhase("first estimate");
    operatorsHeld = false; // the pull below writes into the stencil images
    // Pull: each level's known values into its stencilA and how well each is known into its
    // stencilB (which the operators overwrite).
    const Texture* finer = problem.constraints;
    const Texture* finerKnown = problem.constraints; // unread: the finest level's is its mask
    int fineWidth = finestWidth;
    int fineHeight = finestHeight;
    for (Level& level : levels) {
        runImagePass({diffusing->pull,
                      {finer, finerKnown},
                      {{"fromMask", finer == problem.constraints ? 1.0f : 0.0f},
                       {"fineWidth", float(fineWidth)},
                       {"fineHeight", float(fineHeight)}}},
                     level.stencilTarget, level.width(), level.height());
        finer = &level.stencilA;
        finerKnown = &level.stencilB;
        fineWidth = level.width();
        fineHeight = level.height();
    }
    // Push: from the coarsest level up, into each level's correction and last the estimate.
    const Texture* coarser = nullptr;
    for (size_t k = levels.size(); k-- > 0;) {
        push(levels[k].stencilA, &levels[k].stencilB, coarser, emptyValue, levels[k].correction);
        coarser = &levels[k].correction.texture;
    }
    push(*problem.constraints, nullptr, coarser, emptyValue, *problem.solution);
    useNearestSampler(false);
    beginPhase("");
}

void Multigrid::push(const Texture& pulled, const Texture* known, const Texture* coarser,
                     float emptyValue, const RenderTarget& target)
{
    const float mask = known ? 0.0f : 1.0f;
    const Texture* knownMap = known ? known : &pulled; // the finest level's is its mask
    if (coarser) {
        runImagePass({diffusing->push, {&pulled, knownMap, coarser}, {{"fromMask", mask}}}, target);
        return;
    }
    runImagePass({diffusing->pushCoarsest,
                  {&pulled, knownMap},
                  {{"fromMask", mask},
                   {"emptyValue", emptyValue},
                   {"width", float(target.width())},
                   {"height", float(target.height())}}},
                 target);
}

float Multigrid::lastChange()
{
    if (changeLevels.empty())
        return 0.0f;
    beginPhase("stop rule");
    runImagePass({diffusing->changeFinest,
                  {&red.texture, &black.texture, &redBefore.texture, &blackBefore.texture},
                  {}},
                 changeLevels.front());
    for (size_t k = 1; k < changeLevels.size(); ++k)
        runImagePass({maxReduceProgram, {&changeLevels[k - 1].texture}, {}}, changeLevels[k]);
    float change = 0.0f;
    changeLevels.back().framebuffer.bind();
    glReadPixels(0, 0, 1, 1, GL_RED, GL_FLOAT, &change);
    return change;
}

void Multigrid::useNearestSampler(bool bind) const
{
    if (nearestSampler == 0)
        return;
    for (GLuint unit = 0; unit < kPassUnits; ++unit)
        glBindSampler(unit, bind ? nearestSampler : 0);
}

void Multigrid::buildOperators(const Texture& constraints, const PixelRect* changed)
{
    operatorsHeld = true;
    int fineWidth = finestWidth;
    int fineHeight = finestHeight;
    PixelRect block = changed ? *changed : PixelRect();
    for (size_t k = 0; k < levels.size(); ++k) {
        Level& level = levels[k];
        if (changed) {
            block = coarseBlockOf(block, level.width(), level.height());
            if (block.isEmpty())
                return;
        }
        const ScissorBox scissor(changed ? &block : nullptr);
        const bool fromMask = k == 0;
        std::vector<const Texture*> inputs{&constraints};
        if (!fromMask)
            inputs = {&levels[k - 1].stencilA, &levels[k - 1].stencilB, &levels[k - 1].stencilC};
        runImagePass({fromMask ? galerkinMaskProgram : galerkinProgram,
                      inputs,
                      {{"fineWidth", float(fineWidth)}, {"fineHeight", float(fineHeight)}}},
                     level.stencilTarget, level.width(), level.height());
        fineWidth = level.width();
        fineHeight = level.height();
    }
}

void Multigrid::finestCycle(const Problem& problem, Cycle kind, bool keep, bool preSmooth)
{
    beginPhase("level 0 smoothing");
    if (preSmooth)
        smoothFinest(problem, keep);
    if (!levels.empty()) {
        beginPhase("level 0 residual and restriction");
        const Texture& rhs = problem.rhs ? *problem.rhs : *problem.constraints;
        runImagePass({diffusing->residualFinest,
                      {&red.texture, &black.texture, &rhs, problem.constraints,
                       &levels[0].stencilC},
                      {{"rhsWeight", problem.rhs ? 1.0f : 0.0f},
                       {"width", float(finestWidth)},
                       {"height", float(finestHeight)}}},
                     levels[0].rhs);
        beginPhase("coarse levels");
        coarseCycle(0, kind);
        beginPhase("level 0 prolongation");
        runImagePass({diffusing->prolongFinest,
                      {&black.texture, &levels[0].correction.texture, problem.constraints},
                      {}},
                     blackPartner);
        std::swap(black, blackPartner);
    }
    beginPhase("level 0 smoothing");
    smoothFinest(problem);
}

void Multigrid::coarseCycle(size_t k, Cycle kind)
{
    Level& level = levels[k];
    if (k + 1 == levels.size()) {
        runImagePass({diffusing->coarsest,
                      {&level.rhs.texture, &level.stencilA, &level.stencilB, &level.stencilC},
                      {{"width", float(level.width())}, {"height", float(level.height())}}},
                     level.correction);
        return;
    }
    runImagePass({diffusing->smoothZero,
                  {&level.rhs.texture, &level.stencilA, &level.stencilC},
                  {}},
                 level.correction);
    RenderTarget* current = &level.correction;
    RenderTarget* other = &level.partner;
    Level& coarser = levels[k + 1];
    const Cycle visits[2] = {kind, Cycle::V};
    const int onceVisitingSize = kind == Cycle::FrameF ? kFrameOnceVisitingSize : kOnceVisitingSize;
    const bool twice =
        kind != Cycle::V && std::max(level.width(), level.height()) > onceVisitingSize;
    const int count = twice ? 2 : 1;
    for (int v = 0; v < count; ++v) {
        runImagePass({diffusing->restrictResidual,
                      {&current->texture, &level.rhs.texture, &level.stencilA, &level.stencilB,
                       &level.stencilC, &coarser.stencilC},
                      {{"fineWidth", float(level.width())}, {"fineHeight", float(level.height())}}},
                     coarser.rhs);
        coarseCycle(k + 1, visits[v]);
        if (v + 1 < count) {
            prolongInto(current->texture, coarser, level.stencilC, *other);
        } else {
            // The correction and the red half of the post-sweep in one pass.
            runImagePass({diffusing->prolongSmooth,
                          {&current->texture, &coarser.correction.texture, &level.rhs.texture,
                           &level.stencilA, &level.stencilB, &level.stencilC},
                          {}},
                         *other);
        }
        std::swap(current, other);
    }
    smoothCoarseHalf(level, 1.0f, current, other);
    if (current != &level.correction)
        std::swap(level.correction, level.partner); // the names follow the content
}

void Multigrid::smoothFinest(const Problem& problem, bool keep)
{
    const Texture& rhs = problem.rhs ? *problem.rhs : *problem.constraints;
    for (float parity : {0.0f, 1.0f}) {
        if (keep)
            std::swap(parity == 0.0f ? red : black, parity == 0.0f ? redBefore : blackBefore);
        runImagePass({diffusing->smoothFinest,
                      {parity == 0.0f ? &black.texture : &red.texture, &rhs, problem.constraints},
                      {{"parity", parity},
                       {"rhsWeight", problem.rhs ? 1.0f : 0.0f},
                       {"width", float(finestWidth)},
                       {"height", float(finestHeight)}}},
                     parity == 0.0f ? red : black);
    }
}

void Multigrid::smoothCoarseHalf(Level& level, float parity, RenderTarget*& current,
                                 RenderTarget*& other)
{
    runImagePass({diffusing->smooth,
                  {&current->texture, &level.rhs.texture, &level.stencilA, &level.stencilB,
                   &level.stencilC},
                  {{"parity", parity}}},
                 *other);
    std::swap(current, other);
}

void Multigrid::prolongInto(const Texture& estimate, const Level& coarse, const Texture& fixedMap,
                            const RenderTarget& target)
{
    runImagePass({diffusing->prolong, {&estimate, &coarse.correction.texture, &fixedMap}, {}},
                 target);
}
