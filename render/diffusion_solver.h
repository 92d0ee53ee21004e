#pragma once

#include "gl_objects.h"
#include "shader_program.h"

#include <QColor>
#include <QString>

#include <vector>

class CurveSet;

// A float uniform handed to one image pass (no name: none).
struct PassUniform {
    const char* name;
    float value;
};

// The images the solver keeps per pyramid level (see readImage and display).
enum class SolverImage {
    GradientX,        // x component of the colour jumps, stored 0.5 + 0.5 g
    GradientY,        // y component
    Divergence,       // right-hand side of the Poisson solve, stored signed
    ColorSolution,    // the diffused colours; level 0 is the picture
    Scratch,          // ping-pong partner of both solves
    BlurSolution,     // the diffused blur map (blur / 16)
    BlurConstraints,  // rasterised blur values, alpha 0 where free
    ColorConstraints, // rasterised curve colours, alpha 0 where free
};

// Turns the curves of a CurveSet into the finished picture on the GPU: the curves are
// rasterised into gradient and constraint images, the colours are spread by a coarse-to-fine
// multigrid of Jacobi sweeps on a Poisson equation, the blur values likewise on a Laplace
// equation, and a blur pass softens the picture where the blur map asks for it.
//
// Canvas coordinates: the square (-1, -1)..(1, 1) fills level 0 at zoom 1 and pan 0; canvas
// point p is drawn at zoom * (p + pan).
//
// Every operation except construction and the plain setters needs the GL context current that
// initialize ran in; destroy the solver with that context current too (it releases its
// textures and framebuffers). Before a successful initialize the work operations do nothing.
// Every work operation leaves projection and model-view at identity, no program in use,
// texturing off, and the blur-scratch framebuffer bound (display leaves the caller's bound).
class DiffusionSolver {
public:
    // width, height: size of level 0 in pixels (the viewer passes 512 x 512); iterations:
    // relaxation multiplier (the viewer passes 3). No GL work.
    DiffusionSolver(int width, int height, int iterations, double zoom, double panX, double panY);
    ~DiffusionSolver();
    DiffusionSolver(const DiffusionSolver&) = delete;
    DiffusionSolver& operator=(const DiffusionSolver&) = delete;

    // Needs a current context with GLEW initialised. Checks that the GL offers what the solver
    // needs; when it does not, prints one line naming what is missing on stderr, keeps it in
    // status() and returns false (the solver then stays inert). Otherwise builds the pyramid of
    // images and framebuffers and the seven image programs; a program that fails to build is
    // reported on stderr with its prefix and initialisation goes on. Runs once.
    bool initialize();
    // Empty once initialize succeeded; otherwise why the solver cannot run.
    const QString& status() const { return statusText; }
    bool isReady() const { return ready; }
    // True when all seven image programs compiled and linked.
    bool allProgramsLinked() const;

    // ---- settings
    // The document to rasterise; not owned, must outlive its use. Without one nothing is drawn.
    void setCurveSet(const CurveSet& set) { curveSet = &set; }
    void setZoom(double z) { zoom = z; }
    void setPanX(double x) { panX = x; }
    void setPanY(double y) { panY = y; }
    void setIterations(int n) { iterations = n; }
    // +1 unless already 20 or more; returns the new value.
    int moreIterations();
    // -1 unless already 1 or less; returns the new value.
    int fewerIterations();
    void setBlurEnabled(bool enabled) { blurEnabled = enabled; }
    // Level shown by display: +1 unless already levels - 1 / -1 unless already 0.
    int coarserDisplayLevel();
    int finerDisplayLevel();
    // GL name of the framebuffer holding the full-canvas overview (for colour sampling).
    unsigned int overviewFramebufferName() const { return overview.framebuffer.name(); }

    double zoomFactor() const { return zoom; }
    double panXValue() const { return panX; }
    double panYValue() const { return panY; }
    int iterationCount() const { return iterations; }
    bool isBlurEnabled() const { return blurEnabled; }
    int levelCount() const { return levels; }
    int currentDisplayLevel() const { return displayLevel; }
    int canvasWidth() const { return width; }
    int canvasHeight() const { return height; }
    // Size of a level; out-of-range levels give 0.
    int levelWidthOf(int level) const;
    int levelHeightOf(int level) const;

    // ---- work operations (see the .cpp files for each pass)
    // gradientX[0] and gradientY[0] from the curves at the current view.
    void drawGradients();
    // drawGradients, then divergence[0]. The coarser levels keep zero gradients and divergence:
    // they relax with their constraints alone and only give the next finer level its start.
    void buildDivergencePyramid();
    // All levels of colorConstraints; with `border`, a one-pixel ring along the window's edge
    // holds the colours of colorSolution[0] (a full-canvas solve made just before).
    void buildColorConstraints(bool border);
    void buildBlurConstraints();
    // Coarse-to-fine cascades: level i gets max(1, iterations) * (i + 1) Jacobi sweep pairs,
    // the coarsest iterations * levels.
    void solveColors();
    void solveBlur();
    // The three build steps for the current view; when zoomed in (zoom > 1) a full-canvas solve
    // runs first and its colours are laid as a one-pixel ring of constraints on the window edge.
    void prepare();
    // Quick re-solve after an edit or a view change: prepare, solveColors.
    void update();
    // renderOverview, prepare, solveColors, solveBlur, applyBlur.
    void fullUpdate();
    // Softens colorSolution[0] where the blur map asks for it; nothing when blur is disabled.
    void applyBlur();

    // ---- output
    // Draws one image of level displayLevel over the whole window into `framebuffer` (the
    // window's framebuffer: defaultFramebufferObject() of a QOpenGLWidget), after clearing it to
    // grey. Modes: 0 picture, 1 colour constraints, 2 blur constraints, 3 blur map, 4 nothing,
    // 5 x gradient, 6 y gradient; other modes draw nothing but the grey. Pixels with alpha 0.1 or
    // less show the grey. Leaves `framebuffer` bound with the window viewport.
    void display(int windowWidth, int windowHeight, int mode, unsigned int framebuffer);
    // Colour of the picture at fractions x, y of the canvas (origin bottom left), each channel
    // the value times 255 truncated, alpha 255. Fractions outside 0..1 are clamped to the
    // canvas. Grey (127, 127, 127) before initialize.
    QColor colorAt(double x, double y);
    // Full-canvas, unblurred picture solved with multiplier 30, kept in the overview image.
    void renderOverview();
    // Renders the whole canvas blurred with multiplier 50 and writes it as a PNG of width x
    // height; zoom, pan, iterations and the blur switch are left as they were, and the
    // constraint images are rebuilt for the current view. The file is written atomically (see
    // writePngFile): a failed export leaves an existing file as it was. Returns false when
    // nothing could be rendered or the file could not be written, with the cause in *error.
    bool saveImage(const QString& path, QString* error = nullptr);

    // Copy of one image of one level as RGBA floats, rows bottom-up (for tests and tools);
    // empty for a level out of range or before initialize.
    std::vector<float> readImage(SolverImage image, int level) const;
    // The same for the overview image (level-0 size).
    std::vector<float> readOverview() const;

private:
    struct Level {
        RenderTarget gradientX, gradientY, divergence, colorSolution, scratch, blurSolution,
            colorConstraints, blurConstraints;
        // Depth and stencil shared by the level's solution and scratch framebuffers: the
        // stencil marks constrained texels so that sweeps leave them alone. Level 0's also
        // serves the stencil counting of the colour constraints.
        Texture depthStencil;
    };

    // Switches the solver to the whole canvas (zoom 1, no pan) with the given sweep multiplier
    // and puts the view, the multiplier and the blur switch back when it goes out of scope.
    class WholeCanvasScope {
    public:
        WholeCanvasScope(DiffusionSolver& solver, int sweepMultiplier);
        ~WholeCanvasScope();
        WholeCanvasScope(const WholeCanvasScope&) = delete;
        WholeCanvasScope& operator=(const WholeCanvasScope&) = delete;

    private:
        DiffusionSolver& solver;
        const double zoom, panX, panY;
        const int iterations;
        const bool blurEnabled;
    };

    // Solves the colours of the whole canvas at zoom 1 with the given sweep multiplier, then
    // restores the view.
    void solveWholeCanvasColors(int sweepMultiplier);

    bool checkSupport();
    void createImages();
    void createPrograms();
    const RenderTarget* target(SolverImage image, int level) const;

    // One full-screen pass of `program` into `target` from up to two textures (units 0, 1),
    // the quad drawn at clip depth `depth`.
    void imagePass(ShaderProgram& program, const RenderTarget& target, const Texture& unit0,
                   const Texture* unit1 = nullptr, PassUniform value = {nullptr, 0.0f},
                   float depth = 0.0f);
    void writeBlurDepth();
    // Re-imposes a level's constraints on the bound target (alpha test, fixed function); with
    // markStencil the constrained texels also get stencil value 1.
    void overlayConstraints(const Texture& constraints, bool markStencil = false);
    // The coarse-to-fine cascade shared by both solves.
    void cascade(RenderTarget Level::*solution, RenderTarget Level::*constraints,
                 ShaderProgram& program, bool poisson, float clearGrey);
    void drawBorderRing();
    void setCanvasModelView() const;
    // Puts the GL in the state the passes expect (no depth, blend, stencil, alpha or scissor
    // test, no program, unit 1 untextured, unit 0 active, identity matrices, white colour).
    void beginPasses() const;
    void leavePasses() const;

    const CurveSet* curveSet = nullptr;
    int width;
    int height;
    std::vector<int> levelWidth;
    std::vector<int> levelHeight;
    ShaderProgram restrictProgram, divProgram, jacobiPoissonProgram, jacobiLaplaceProgram,
        diffusionProgram, restrictColorProgram, blurThresholdProgram;
    int levels = 1;
    int displayLevel = 0;
    std::vector<Level> pyramid;
    RenderTarget overview;
    RenderTarget blurScratch;
    int iterations;
    double zoom;
    double panX;
    double panY;
    bool blurEnabled = false;

    bool ready = false;
    bool initialized = false;
    QString statusText;
};
