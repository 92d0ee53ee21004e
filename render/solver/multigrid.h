#pragma once

// The multigrid of the colour and blur solves. On the finest level (the picture's size) every
// free texel p (constraint alpha 0.1 or less) satisfies
//   sum over its in-canvas neighbours n of (u(n) - u(p)) = rhs(p),
// and every constrained texel keeps its constraint value. The coarser levels carry corrections:
// a level of n texels has a coarser one of n / 2 + 1, whose texel I sits on texel 2I of the
// finer one (one row and column past the finer level's edge where n is even), down to at most
// 5 x 5 texels, which is solved exactly. The coarse operators are Galerkin products
// A_c = R A P (bilinear P, full weighting R = P^T / 4), 9-point stencils rebuilt from the
// constraints on every solve; constrained texels are no unknowns on any level (a coarse texel
// is fixed exactly when the finer texel under it is). Smoothing is red-black Gauss-Seidel, one
// sweep before and one after each coarse correction.
#include "canvas_rect.h"
#include "gl_objects.h"
#include "program_catalogue.h"
#include "shader_program.h"

#include <functional>
#include <vector>

// For benchmarks: called with the name of each phase of a multigrid solve as it begins, and with
// "" when the solve ends, so that the GL time between calls can be charged to that phase. Empty
// (no call) unless set.
void setMultigridPhaseHook(std::function<void(const char* phase)> hook);

// Cycles beyond a solve's fixed ones: up to `extraCycles` more F-cycles, as long as the last
// cycle changed some value of the estimate by more than `settled`. An F-cycle reduces the error
// at least 3.7 times (measured on 1000 crossing curves, nearly unconstrained; 15 times on most
// drawings), so the error left is under 0.4 times the last cycle's change (1 / 2.7).
struct MultigridStopRule {
    int extraCycles = 0;
    float settled = 0.0f;
};

class Multigrid {
public:
    Multigrid() = default;
    ~Multigrid();
    Multigrid(const Multigrid&) = delete;
    Multigrid& operator=(const Multigrid&) = delete;

    // One problem on the finest level: the estimate (in and out), the right-hand side (null:
    // zero, a Laplace problem) and the constraint image (alpha above 0.1: fixed at its colour).
    // `channels`: what is solved (see DiffusedChannels); without the opacity, the images' alpha
    // is neither read nor solved, and the solution's alpha is 1.
    struct Problem {
        RenderTarget* solution;
        const Texture* rhs;
        const Texture* constraints;
        DiffusedChannels channels = DiffusedChannels::Colour;
    };
    // Builds the programs (those that diffuse the opacity too are built at the first problem
    // that asks for it); a program that fails is reported on stderr.
    void createPrograms();
    // True when every program built so far linked.
    bool allProgramsLinked() const;
    // Coarse levels for a finest level of width x height: `values` is the format of the
    // corrections (four or one channel, nearest), `stencils` that of the operator images.
    void createLevels(int width, int height, const TextureFormat& values,
                      const TextureFormat& stencils);
    void releaseLevels();
    // Number of levels including the finest.
    int levelCount() const { return int(levels.size()) + 1; }

    // Builds the coarse operators from problem.constraints and runs `fCycles` F-cycles, then
    // `vCycles` V-cycles, then the extra F-cycles `stop` allows, on the estimate
    // problem.solution holds. Expects the GL state the solver's passes set up (see
    // solvergl::beginPasses).
    void solve(const Problem& problem, int fCycles, int vCycles, MultigridStopRule stop = {});
    // The same solve a cycle at a time, for a picture that converges over several frames:
    // buildOperatorsFor once for each new constraint image, then each step runs `cycles` cycles
    // on the estimate problem.solution holds (packed and unpacked once): frame F-cycles (lighter
    // on the small levels, see Cycle). With `measure` (a picture at rest) step returns the
    // largest channel change of the last one (one texel read back). Without (a frame of a
    // motion) the cycles after the first skip their first sweep, and step returns -1. Same GL
    // state as solve.
    // With `changed` (a block of the finest level's pixels), the operators held are those of
    // problem.constraints before it changed only there, so only the coarse texels whose stencils
    // depend on those pixels are built again: the same operators as a whole build, for the
    // cost of the block. Without, or when no operators are held (new levels), all are built.
    void buildOperatorsFor(const Problem& problem, const PixelRect* changed = nullptr);
    float step(const Problem& problem, int cycles, bool measure);
    // A first estimate for a solve from nothing, into problem.solution: the constraint values
    // pulled down the levels as weighted means and pushed back up, interpolated bilinearly where
    // no constraint is near (pull-push). Smooth everywhere and exact on the constrained texels,
    // it starts the cycles closer to the solution than a uniform value, most of all where
    // there is no right-hand side; `emptyValue` without any constraint.
    void estimateFromConstraints(const Problem& problem, float emptyValue);

private:
    // V: each level visits the next coarser one once. F: each coarse level of more than 65
    // texels a side visits the next one twice, first by an F-cycle, then by a V-cycle (the
    // finest level visits level 1 once); the smaller ones visit it once. FrameF, a frame's
    // cycle, the same from coarse levels of more than 129 texels only.
    enum class Cycle { V, F, FrameF };

    struct Level {
        RenderTarget correction, partner, rhs;
        Texture stencilA, stencilB, stencilC; // see shaders/mg_smooth.frag
        Framebuffer stencilTarget;            // the three stencil images as one target
        int width() const { return correction.width(); }
        int height() const { return correction.height(); }
    };

    // Every level's operator, or only the block of each that depends on `changed`.
    void buildOperators(const Texture& constraints, const PixelRect* changed = nullptr);
    // One cycle on the finest level, on its packed colours; with `keep`, the estimate it starts
    // from stays in redBefore and blackBefore, for lastChange. Without `preSmooth` the cycle
    // starts at the residual (for a cycle that follows another's post-sweep).
    void finestCycle(const Problem& problem, Cycle kind, bool keep = false, bool preSmooth = true);
    // Solves levels[k]'s correction equation from zero by one cycle of `kind`, leaving it in
    // levels[k].correction.
    void coarseCycle(size_t k, Cycle kind);
    // A red-black sweep; with `keep`, the images it replaces are swapped into redBefore and
    // blackBefore instead of being overwritten (no half-sweep reads the texels it replaces, and
    // the black half-sweep reads only the new red ones), so keeping costs no copy.
    void smoothFinest(const Problem& problem, bool keep = false);
    // The half-sweep of the texels of `parity` (0 red, 1 black).
    void smoothCoarseHalf(Level& level, float parity, RenderTarget*& current, RenderTarget*& other);
    void prolongInto(const Texture& estimate, const Level& coarse, const Texture& fixedMap,
                     const RenderTarget& target);
    // The largest channel change of the finest level's estimate over the last kept cycle:
    // reduced on the GPU to one texel, which is read back.
    float lastChange();

    // One push of estimateFromConstraints into `target`: the known values of `pulled` (a pulled
    // level, how well each is known in `known`; or the constraint image, `known` null, whose
    // fixed texels are known), the rest from `coarser`, or on the coarsest level (null) from
    // the mean of the known values.
    void push(const Texture& pulled, const Texture* known, const Texture* coarser, float emptyValue,
              const RenderTarget& target);
    // Binds the nearest sampler to the units the passes read (or unbinds it with `bind` false).
    void useNearestSampler(bool bind) const;

    std::vector<Level> levels; // the coarse levels, finest first
    // Every pass reads texel centres, which nearest filtering reads exactly; the picture's own
    // images filter linearly for display, and a linear read of a float image costs a software GL
    // four. The passes therefore read through this sampler (0 where the GL has none).
    unsigned int nearestSampler = 0;
    // Some constraints' operators are in the levels' stencils (a first estimate overwrites them).
    bool operatorsHeld = false;
    int finestWidth = 0;
    int finestHeight = 0;
    // The finest level's estimate, its red (x + y even) and black texels packed two to one
    // along x (see shaders/mg_pack_finest.frag), so that a half-sweep shades only the texels it
    // updates; blackPartner takes the black texels' correction.
    RenderTarget red, black, blackPartner;
    RenderTarget redBefore, blackBefore;    // the estimate a kept cycle started from
    std::vector<RenderTarget> changeLevels; // lastChange's reduction, 4 x 4 texels to one
    ShaderProgram maxReduceProgram, galerkinProgram, galerkinMaskProgram;
    // The programs that read and write the diffused values, built for one DiffusedChannels.
    struct DiffusingPrograms {
        ShaderProgram packFinest, unpackFinest, prolongFinest, smoothFinest, residualFinest, smooth,
            smoothZero, restrictResidual, prolong, prolongSmooth, coarsest, pull, push,
            pushCoarsest, changeFinest;
        bool built = false;
    };
    // Indexed by DiffusedChannels; `diffusing` is the one of the problem at work.
    DiffusingPrograms variants[2];
    DiffusingPrograms* diffusing = &variants[0];
    // Makes `diffusing` the programs of `problem`'s channels, built when first asked for.
    void useChannelsOf(const Problem& problem);
    void buildVariant(DiffusedChannels channels);
    // Each program and what it is built as (program_catalogue.h).
    struct ProgramSlot {
        ShaderProgram Multigrid::*program;
        ProgramId id;
    };
    struct DiffusingSlot {
        ShaderProgram DiffusingPrograms::*program;
        ProgramId id;
    };
    static const std::vector<ProgramSlot>& programSlots();
    static const std::vector<DiffusingSlot>& diffusingSlots();
};
