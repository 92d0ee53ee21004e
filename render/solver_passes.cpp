// The passes of the multigrid solver: rasterising the curves into gradient and constraint
// images, building their pyramids, and the coarse-to-fine colour and blur cascades.
#include "solver_gl.h"

#include "curve_drawing.h"
#include "diffusion_solver.h"

#include <algorithm>

void DiffusionSolver::drawGradients()
{
    if (!ready)
        return;
    beginPasses();
    auto drawInto = [this](const RenderTarget& target, void (*draw)(const CurveSet&)) {
        target.bindAsTarget();
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f); // 0.5 encodes a zero gradient
        glClear(GL_COLOR_BUFFER_BIT);
        if (curveSet) {
            setCanvasModelView();
            draw(*curveSet);
        }
    };
    drawInto(pyramid[0].gradientX, drawGradientsX);
    drawInto(pyramid[0].gradientY, drawGradientsY);
    leavePasses();
}

// Only level 0 carries the colour jumps. On a coarser level a curve's two constraint strips are
// narrower than a texel, and the divergence of its restricted jump lands beside them on free
// texels as a spurious source (a straight ramp between two curves came out 0.26 off). The
// coarser levels therefore relax with their constraints alone (their divergence images stay
// zero, set at initialisation); they only provide the starting guess of the next finer level,
// and level 0 solves the full problem.
void DiffusionSolver::buildDivergencePyramid()
{
    if (!ready)
        return;
    drawGradients();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    imagePass(divProgram, pyramid[0].divergence, pyramid[0].gradientX.texture,
              &pyramid[0].gradientY.texture);
    leavePasses();
}

void DiffusionSolver::buildColorConstraints(bool border)
{
    if (!ready)
        return;
    beginPasses();
    pyramid[0].colorConstraints.bindAsTarget();
    setCanvasModelView();
    if (curveSet) {
        drawColorConstraints(*curveSet); // clears colour and stencil itself
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (border)
        drawBorderRing();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    solvergl::loadIdentityMatrices();
    for (int L = 1; L < levels; ++L)
        imagePass(restrictColorProgram, pyramid[L].colorConstraints,
                  pyramid[L - 1].colorConstraints.texture);
    leavePasses();
}

// A ring of constraints one level-0 pixel wide along the edges of the visible window, carrying
// the colours of the full-canvas solution (colorSolution[0], solved at zoom 1 just before), so
// that a zoomed-in solve agrees with the whole picture at the window's edges. Drawn with the
// canvas model-view set.
void DiffusionSolver::drawBorderRing()
{
    const double x0 = -1.0 / zoom - panX;
    const double x1 = 1.0 / zoom - panX;
    const double y0 = -1.0 / zoom - panY;
    const double y1 = 1.0 / zoom - panY;
    const double px = 2.0 / (width * zoom);  // one window pixel in canvas units
    const double py = 2.0 / (height * zoom);
    // Canvas point -> texel of the full-canvas solution.
    auto tx = [this](double x) { return (x + 1.0) * 0.5 * width; };
    auto ty = [this](double y) { return (y + 1.0) * 0.5 * height; };
    auto quad = [&](double left, double bottom, double right, double top) {
        glTexCoord2d(tx(left), ty(bottom));
        glVertex2d(left, bottom);
        glTexCoord2d(tx(right), ty(bottom));
        glVertex2d(right, bottom);
        glTexCoord2d(tx(right), ty(top));
        glVertex2d(right, top);
        glTexCoord2d(tx(left), ty(top));
        glVertex2d(left, top);
    };

    glDisable(GL_STENCIL_TEST);
    pyramid[0].colorSolution.texture.bind(0);
    solvergl::enableRectTexturing();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    quad(x0, y0, x0 + px, y1);      // left
    quad(x1 - px, y0, x1, y1);      // right
    quad(x0, y0, x1, y0 + py);      // bottom
    quad(x0, y1 - py, x1, y1);      // top
    glEnd();
    solvergl::disableRectTexturing();
}

void DiffusionSolver::buildBlurConstraints()
{
    if (!ready)
        return;
    beginPasses();
    pyramid[0].blurConstraints.bindAsTarget();
    if (curveSet) {
        setCanvasModelView();
        drawBlurStrips(*curveSet); // clears to (0, 0, 0, 0) first: alpha 1 marks a constraint
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    solvergl::loadIdentityMatrices();
    for (int L = 1; L < levels; ++L)
        imagePass(restrictColorProgram, pyramid[L].blurConstraints,
                  pyramid[L - 1].blurConstraints.texture);
    leavePasses();
}

// Draws the constrained texels of `constraints` (alpha above 0.1) over the bound target of the
// same size; free texels leave the target alone.
void DiffusionSolver::overlayConstraints(const Texture& constraints, bool markStencil)
{
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    if (markStencil) {
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_ALWAYS, 1, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    }
    constraints.bind(0);
    solvergl::enableRectTexturing();
    solvergl::drawTexturedQuad(constraints.width(), constraints.height());
    solvergl::disableRectTexturing();
    if (markStencil)
        glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
}

// Coarse to fine: the coarsest level starts from a uniform clear and gets iterations * levels
// sweep pairs; each finer level i starts from the coarser result (its first sweep reads it at
// scale 0.5) and gets iterations * (i + 1) pairs. `poisson` adds the level's divergence as the
// right-hand side.
//
// Constraints hold after every sweep. Rather than drawing them again after each sweep, they are
// drawn once per level into both ping-pong images while the level's stencil marks them, and the
// sweeps then write only unmarked texels: the same images, without one pass in two.
void DiffusionSolver::cascade(RenderTarget Level::*solution, RenderTarget Level::*constraints,
                              ShaderProgram& program, bool poisson, float clearGrey)
{
    beginPasses();
    auto startLevel = [&](int i) {
        Level& level = pyramid[i];
        level.scratch.bindAsTarget();
        overlayConstraints((level.*constraints).texture, true);
        (level.*solution).framebuffer.bind();
        overlayConstraints((level.*constraints).texture);
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_EQUAL, 0, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    };
    auto sweep = [&](int i, const Texture& source, float scale) {
        Level& level = pyramid[i];
        const Texture* rhs = poisson ? &level.divergence.texture : nullptr;
        imagePass(program, level.scratch, source, rhs, {"scale", scale});
        imagePass(program, level.*solution, level.scratch.texture, rhs, {"scale", 1.0f});
    };

    const int n = levels;
    const int top = n - 1;
    const int multiplier = std::max(1, iterations); // fewer would leave finer levels unsolved
    (pyramid[top].*solution).bindAsTarget();
    glClearColor(clearGrey, clearGrey, clearGrey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    startLevel(top);
    for (int k = 0; k < multiplier * n; ++k)
        sweep(top, (pyramid[top].*solution).texture, 1.0f);
    glDisable(GL_STENCIL_TEST);

    for (int i = n - 2; i >= 0; --i) {
        startLevel(i);
        for (int k = 0; k < multiplier * (i + 1); ++k) {
            if (k == 0)
                sweep(i, (pyramid[i + 1].*solution).texture, 0.5f);
            else
                sweep(i, (pyramid[i].*solution).texture, 1.0f);
        }
        glDisable(GL_STENCIL_TEST);
    }
    leavePasses();
}

void DiffusionSolver::solveColors()
{
    if (ready)
        cascade(&Level::colorSolution, &Level::colorConstraints, jacobiPoissonProgram, true, 0.5f);
}

void DiffusionSolver::solveBlur()
{
    if (ready)
        cascade(&Level::blurSolution, &Level::blurConstraints, jacobiLaplaceProgram, false, 0.0f);
}

void DiffusionSolver::prepare()
{
    if (!ready)
        return;
    bool border = false;
    if (zoom > 1.0) {
        // Solve the whole canvas first: its colours become the zoomed window's edge.
        solveWholeCanvasColors(iterations);
        border = true;
    }
    buildDivergencePyramid();
    buildBlurConstraints();
    buildColorConstraints(border);
}

void DiffusionSolver::update()
{
    prepare();
    solveColors();
}

void DiffusionSolver::fullUpdate()
{
    if (!ready)
        return;
    renderOverview();
    if (zoom == 1.0 && panX == 0.0 && panY == 0.0) {
        // The overview just built the divergence and colour constraints of this very view.
        buildBlurConstraints();
    } else {
        prepare();
    }
    solveColors();
    solveBlur();
    applyBlur();
}

DiffusionSolver::WholeCanvasScope::WholeCanvasScope(DiffusionSolver& solver, int sweepMultiplier)
    : solver(solver), zoom(solver.zoom), panX(solver.panX), panY(solver.panY),
      iterations(solver.iterations), blurEnabled(solver.blurEnabled)
{
    solver.zoom = 1.0;
    solver.panX = solver.panY = 0.0;
    solver.iterations = sweepMultiplier;
}

DiffusionSolver::WholeCanvasScope::~WholeCanvasScope()
{
    solver.zoom = zoom;
    solver.panX = panX;
    solver.panY = panY;
    solver.iterations = iterations;
    solver.blurEnabled = blurEnabled;
}

void DiffusionSolver::solveWholeCanvasColors(int sweepMultiplier)
{
    const WholeCanvasScope wholeCanvas(*this, sweepMultiplier);
    buildDivergencePyramid();
    buildColorConstraints(false);
    solveColors();
}
