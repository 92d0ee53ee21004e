// The multigrid V-cycles of both solves. Level 0 holds the estimate of the picture (or of the
// blur map); every coarser level holds a correction to the level above it, solved from the
// restricted residual with zero correction on every texel that has a constrained finer child,
// so that no correction reaches across a curve. One cycle on level 0: kPreSweeps damped Jacobi
// sweeps, the residual restricted by full weighting to level 1, level 1's correction solved by
// an F-cycle (down to a level of at most kCoarsestSize texels, relaxed kCoarsestSweeps times),
// added back through bilinear interpolation, then kFinestPostSweeps sweeps.
#include "solver_gl.h"

#include "diffusion_solver.h"

#include <utility>

namespace {

// The image pass of the multigrid programs: inputs on units 0-2, the program's own uniforms
// set by `uniforms` while it is in use.
template <typename SetUniforms>
void multigridPass(ShaderProgram& program, const RenderTarget& target, const Texture& unit0,
                   const Texture& unit1, const Texture* unit2, SetUniforms uniforms)
{
    if (!program.isLinked())
        return; // reported at initialisation
    target.bindAsTarget();
    if (unit2)
        unit2->bind(2);
    unit1.bind(1);
    unit0.bind(0);
    program.use();
    uniforms(program);
    solvergl::drawFullScreenQuad();
    ShaderProgram::release();
}

// Samples `texture` through the linear filter while it lives, then restores its own filter.
class LinearFilterScope {
public:
    explicit LinearFilterScope(const Texture& texture) : texture(texture)
    {
        bindOnUnit0();
        glGetTexParameteriv(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, &filter);
        setFilter(GL_LINEAR);
    }
    ~LinearFilterScope()
    {
        bindOnUnit0();
        setFilter(filter);
    }
    LinearFilterScope(const LinearFilterScope&) = delete;
    LinearFilterScope& operator=(const LinearFilterScope&) = delete;

private:
    void bindOnUnit0() const { texture.bind(0); }
    static void setFilter(GLint value)
    {
        glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, value);
        glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, value);
    }
    const Texture& texture;
    GLint filter = GL_NEAREST;
};

void setFineSize(ShaderProgram& program, const Texture& fine)
{
    program.setFloat("fineWidth", float(fine.width()));
    program.setFloat("fineHeight", float(fine.height()));
}

} // namespace

void DiffusionSolver::solveProblem(const Problem& problem, int cycles, bool fresh, float clearValue)
{
    beginPasses();
    if (fresh) {
        problem.solution->bindAsTarget();
        glClearColor(clearValue, clearValue, clearValue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    buildFixedTexels(*problem.constraints);
    for (int c = 0; c < cycles; ++c)
        vCycle(problem);
    displayPyramidStale = true;
    leavePasses();
}

void DiffusionSolver::vCycle(const Problem& problem)
{
    ShaderProgram& sweep = problem.rhs ? jacobiPoissonProgram : jacobiLaplaceProgram;
    RenderTarget* current = problem.solution;
    RenderTarget* other = problem.partner;
    const Texture& fixed = *problem.constraints;
    smooth(sweep, current, other, problem.rhs, fixed, kPreSweeps);
    if (!corrections.empty()) {
        // The partner holds nothing needed until the correction is added: it takes the residual.
        restrictResidual(*current, problem.rhs, fixed, *other, corrections[0].rhs);
        solveCorrection(0, Cycle::F);
        addCorrection(current, other, corrections[0].correction.texture, fixed);
    }
    smooth(sweep, current, other, problem.rhs, fixed, kFinestPostSweeps);
    if (current != problem.solution) // an odd number of passes: one more sweep lands it home
        smooth(sweep, current, other, problem.rhs, fixed, 1);
}

// Solves level k + 1's correction equation (corrections[k]) from zero with one cycle of the
// given kind and leaves it in corrections[k].correction. An F-cycle visits the next coarser level
// twice, first with an F-cycle, then with a V-cycle: each coarse correction is then solved far
// better than by a V-cycle alone, whose error would compound over the levels (measured: 0.7 per
// cycle for V against 0.35 for F), at a small cost, the coarse levels being small.
void DiffusionSolver::solveCorrection(size_t k, Cycle cycle)
{
    CorrectionLevel& level = corrections[k];
    RenderTarget* current = &level.correction;
    RenderTarget* other = &level.partner;
    const Texture& fixed = level.fixedTexels.texture;
    const Texture* rhs = &level.rhs.texture;
    const bool coarsest = k + 1 == corrections.size();
    // The correction starts from zero: the first sweep takes it as zero, not read.
    smooth(jacobiPoissonProgram, current, other, rhs, fixed, 1, true);
    if (coarsest) {
        smooth(jacobiPoissonProgram, current, other, rhs, fixed, kCoarsestSweeps - 1);
    } else {
        smooth(jacobiPoissonProgram, current, other, rhs, fixed, kPreSweeps - 1);
        const Cycle visits[2] = {cycle, Cycle::V};
        const int count = cycle == Cycle::F ? 2 : 1;
        for (int v = 0; v < count; ++v) {
            restrictResidual(*current, rhs, fixed, *other, corrections[k + 1].rhs);
            solveCorrection(k + 1, visits[v]);
            addCorrection(current, other, corrections[k + 1].correction.texture, fixed);
        }
        smooth(jacobiPoissonProgram, current, other, rhs, fixed, kPostSweeps);
    }
    if (current != &level.correction)
        std::swap(level.correction, level.partner); // the names follow the content
}

// corrections[k].fixedTexels for every k, from the level-0 constraint image.
void DiffusionSolver::buildFixedTexels(const Texture& constraints)
{
    const Texture* finer = &constraints;
    for (CorrectionLevel& level : corrections) {
        multigridPass(restrictFixedProgram, level.fixedTexels, *finer, *finer, nullptr,
                      [finer](ShaderProgram& p) { setFineSize(p, *finer); });
        finer = &level.fixedTexels.texture;
    }
}

void DiffusionSolver::smooth(ShaderProgram& program, RenderTarget*& current, RenderTarget*& partner,
                             const Texture* rhs, const Texture& fixedTexels, int sweeps,
                             bool fromZero)
{
    const bool poisson = &program == &jacobiPoissonProgram;
    for (int i = 0; i < sweeps; ++i) {
        multigridPass(program, *partner, current->texture, rhs ? *rhs : current->texture,
                      &fixedTexels, [&](ShaderProgram& p) {
                          if (poisson)
                              p.setFloat("estimateWeight", fromZero ? 0.0f : 1.0f);
                      });
        std::swap(current, partner);
    }
}

// The residual of `estimate` (zero on fixed texels) into `residualImage`, then restricted by
// full weighting into the next coarser level's right-hand side. Small levels do both in one
// pass: there a pass costs far more than the sixteen residuals each coarse texel computes.
void DiffusionSolver::restrictResidual(const RenderTarget& estimate, const Texture* rhs,
                                       const Texture& fixedTexels,
                                       const RenderTarget& residualImage,
                                       const RenderTarget& coarseRhs)
{
    if (rhs && coarseRhs.width() <= kFusedRestrictionSize
        && coarseRhs.height() <= kFusedRestrictionSize) {
        multigridPass(restrictResidualProgram, coarseRhs, estimate.texture, *rhs, &fixedTexels,
                      [&](ShaderProgram& p) { setFineSize(p, estimate.texture); });
        return;
    }
    multigridPass(residualProgram, residualImage, estimate.texture, rhs ? *rhs : estimate.texture,
                  &fixedTexels,
                  [rhs](ShaderProgram& p) { p.setFloat("rhsWeight", rhs ? 1.0f : 0.0f); });
    // The restriction reads through the linear filter; the image may be nearest-filtered for
    // the sweeps that use it otherwise.
    const LinearFilterScope linear(residualImage.texture);
    multigridPass(restrictFullProgram, coarseRhs, residualImage.texture, residualImage.texture,
                  nullptr, [](ShaderProgram&) {});
}

void DiffusionSolver::addCorrection(RenderTarget*& current, RenderTarget*& partner,
                                    const Texture& correction, const Texture& fixedTexels)
{
    multigridPass(prolongCorrectProgram, *partner, current->texture, correction, &fixedTexels,
                  [](ShaderProgram&) {});
    std::swap(current, partner);
}
