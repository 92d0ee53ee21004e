#pragma once

#include "colour_space.h"
#include "display_mode.h"
#include "gl_objects.h"
#include "image_pass.h"
#include "multigrid.h"
#include "shader_program.h"
#include "solver_settings.h"
#include "view.h"

#include <QColor>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class CurveSet;

class QImage;

// What renderImage makes: the whole canvas at `size` x `size` pixels, solved from grey with
// `cycles` multigrid cycles and, with `blur`, softened where the drawing asks for it.
// Told during a picture made at another size than the solver's after each of its phases, how
// many are done out of `total`; false stops the picture (no image, the cause "cancelled").
using PictureProgress = std::function<bool(int done, int total)>;

struct PictureRequest {
    int size = 512;
    int cycles = 6; // DiffusionSolver::kExportCycles
    bool blur = true;
    PictureProgress progress; // may be empty
    PictureEncoding encoding;
};

// The images the solver keeps per pyramid level (see readImage and display).
enum class SolverImage {
    GradientX,        // x component of the colour jumps, stored 0.5 + 0.5 g
    GradientY,        // y component
    Divergence,       // right-hand side of the Poisson solve, stored signed
    ColorSolution,    // the diffused colours; level 0 is the picture
    BlurSolution,     // the diffused blur map (blur / 16)
    BlurConstraints,  // rasterised blur values, alpha 0 where free
    ColorConstraints, // rasterised curve colours, alpha 0 where free
};

// Turns the curves of a CurveSet into the finished picture on the GPU: the curves are
// rasterised into gradient and constraint images, the colours are spread by solving a Poisson
// equation with multigrid cycles (see multigrid.h), the blur values likewise on a Laplace
// equation, and a blur pass softens the picture where the blur map asks for it.
//
// The discrete problem on level 0: every free texel p (constraint alpha 0.1 or less) satisfies
//   sum over its in-canvas neighbours n of (u(n) - u(p)) = div(p),
// every constrained texel keeps its constraint colour. The cycles converge to that solution: a
// fresh solve (after a load, a view change, any fullUpdate) runs F-cycles from uniform grey,
// the quick update of a drag fewer cycles from the previous picture (see kBaseCycles). The
// export runs kExportCycles F-cycles from grey.
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
    // Multigrid cycles at the user's default count (the Iterations slider adds one per step
    // above kDefaultCycles): of a fresh solve, of a re-solve from the previous picture, and of
    // the export; and the count the viewer starts with. Measured against an exact solve on hard
    // drawings, an F-cycle reduces the error 3 (1000 crossing curves) to 15 times: 5 hold 1/255
    // from grey, 3 from the previous picture after a drag step or a long jump, the tests prove
    // it; the export adds one for margin.
    static constexpr int kBaseCycles = 5;
    static constexpr int kReSolveCycles = 3;
    static constexpr int kExportCycles = 6;
    static constexpr int kDefaultCycles = 3;
    // The blur map's Laplace solve from zero has no right-hand side and smooth constraints: 3
    // F-cycles hold 1/255 on the same drawings (the tests prove it); the export adds one.
    static constexpr int kBlurMapCycles = 3;

    // Sides of the pictures renderImage and saveImage make, in pixels.
    static constexpr int kMinPictureSize = 16;
    static constexpr int kMaxPictureSize = 8192;

    // Interactive: every image of the pyramid, for the editor's view. Export: a solver of one
    // picture at another size (see solver_export.cpp): it holds only the multigrid's coarse
    // levels between exports and makes its full-size images one phase at a time.
    enum class Storage { Interactive, Export };

    // width, height: size of level 0 in pixels (the viewer passes 512 x 512); iterations:
    // the Iterations setting (the viewer passes kDefaultCycles). No GL work.
    DiffusionSolver(int width, int height, int iterations, double zoom, double panX, double panY,
                    Storage storage = Storage::Interactive);
    ~DiffusionSolver();
    DiffusionSolver(const DiffusionSolver&) = delete;
    DiffusionSolver& operator=(const DiffusionSolver&) = delete;

    // Needs a current context with GLEW initialised. Checks that the GL offers what the solver
    // needs; when it does not, prints one line naming what is missing on stderr, keeps it in
    // status() and returns false (the solver then stays inert). Otherwise builds the pyramid of
    // images and framebuffers and the image programs; a program that fails to build is
    // reported on stderr with its prefix and initialisation goes on. Runs once.
    bool initialize();
    // Empty once initialize succeeded; otherwise why the solver cannot run.
    const QString& status() const { return statusText; }
    bool isReady() const { return ready; }
    // True when all image programs compiled and linked.
    bool allProgramsLinked() const;

    // ---- settings
    // The document to rasterise; not owned, must outlive its use. Without one nothing is drawn.
    void setCurveSet(const CurveSet& set)
    {
        curveSet = &set;
        colorView.valid = overviewValid = false;
    }
    // The part of the canvas the pictures show (no re-solve).
    void setView(const View& v) { view = v; }
    // Iterations, blur switch, export encoding and display dithering.
    SolverSettings& settings() { return userSettings; }
    const SolverSettings& settings() const { return userSettings; }
    // The space the drawing is diffused in (sRGB without a drawing); every image of the solver
    // holds colours of that space, and display, colorAt, the overview reader and the exports
    // convert them back to sRGB.
    ColourSpace colourSpace() const;
    // Level shown by display: +1 unless already levels - 1 / -1 unless already 0.
    int coarserDisplayLevel();
    int finerDisplayLevel();
    // GL name of the framebuffer holding the full-canvas overview (for colour sampling).
    unsigned int overviewFramebufferName() const { return overview.framebuffer.name(); }

    const View& currentView() const { return view; }
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
    // drawGradients, then divergence[0]: the right-hand side of the Poisson solve.
    void buildDivergencePyramid();
    // Level 0 of colorConstraints; with `border`, a one-pixel ring along the window's edge
    // holds the colours of the full-canvas solution kept in the overview image.
    void buildColorConstraints(bool border);
    // Level 0 of blurConstraints; the blur map is solved again when next needed.
    void buildBlurConstraints();
    // Solve the colours / the blur map of the rasterised problem: from the previous solution
    // when it belongs to this view and `fromPrevious` is set, else from grey (see kBaseCycles).
    void solveColors(bool fromPrevious = false);
    void solveBlur();
    // Quick re-solve after an edit, starting from the previous picture when the view is the
    // same: the gradients and colour constraints (when zoomed in, the whole canvas solved
    // first into the overview, whose colours ring the window's edge), solveColors.
    void update();
    // A fresh solve of everything: the constraint images, solveColors, applyBlur, and the
    // overview (at zoom 1 without pan the overview is a copy of the picture itself). With the
    // blur off the blur map is left for when it is needed: the blur switched on, the map shown
    // (display) or solveBlur called.
    void fullUpdate();
    // A fresh solve of the whole canvas at export quality, blurred: what saveImage writes, left
    // in colorSolution[0] (the blurred picture) with the view's settings restored.
    void renderFinalPicture();
    // Softens colorSolution[0] where the blur map asks for it (solving the map first when the
    // blur constraints changed since); nothing unless `enabled` (the
    // blur switch of the settings, or an export's own choice).
    void applyBlur(bool enabled);

    // ---- output
    // Draws one image of level displayLevel over the whole window into `framebuffer` (the
    // window's framebuffer: defaultFramebufferObject() of a QOpenGLWidget), after clearing it to
    // grey (DisplayMode::Background draws nothing more). Pixels with alpha 0.1 or less show the
    // grey. Leaves `framebuffer` bound with the window viewport. The image fills
    // the viewport whose lower left corner is (viewportX, viewportY); the clear covers it all.
    void display(int windowWidth, int windowHeight, DisplayMode mode, unsigned int framebuffer,
                 int viewportX = 0, int viewportY = 0);
    // Colour of the picture at fractions x, y of the canvas (origin bottom left), each channel
    // the value times 255 truncated, alpha 255. Fractions outside 0..1 are clamped to the
    // canvas. Grey (127, 127, 127) before initialize.
    QColor colorAt(double x, double y);
    // Full-canvas, unblurred picture kept in the overview image: a fresh solve, or one from the
    // previous overview when `fromPrevious` and it is valid.
    void renderOverview(bool fromPrevious = false);
    // renderFinalPicture, written as a PNG of width x height; zoom, pan, iterations and the
    // blur switch are left as they were, and the images describe the current view again
    // afterwards. The file is written atomically (see writePngFile): a failed export leaves an
    // existing file as it was. Returns false when nothing could be rendered or the file could
    // not be written, with the cause in *error.
    bool saveImage(const QString& path, QString* error = nullptr);
    // The same at `size` x `size` pixels (kMinPictureSize .. kMaxPictureSize; this solver's own
    // size gives the overload above). The picture looks like this solver's one, only sharper or
    // coarser: the curves' strips keep their width in canvas units, the solve reaches the same
    // accuracy, and the blur is this solver's blurred picture, read at the same canvas points.
    // False with the cause in *error for a size out of range, a failed render or write.
    // `progress` (see PictureProgress) may stop it: the file is then not touched.
    bool saveImage(const QString& path, int size, QString* error = nullptr,
                   const PictureProgress& progress = {});
    // The picture `request` asks for, top row first (Format_RGBA8888, alpha 255), leaving the
    // solver as saveImage does; a null image with the cause in *error when the size is out of
    // range or the GL cannot make it. At this solver's size with kExportCycles and blur it is
    // what saveImage writes.
    QImage renderImage(const PictureRequest& request, QString* error = nullptr);
    // Writes the picture as it stands (what display mode 0 shows at level 0) as a PNG, the same
    // way; nothing is solved.
    bool savePicture(const QString& path, QString* error = nullptr);

    // Copy of one image of one level as RGBA floats, rows bottom-up (for tests and tools);
    // empty for a level out of range or before initialize.
    std::vector<float> readImage(SolverImage image, int level) const;
    // The same for the overview image (level-0 size).
    std::vector<float> readOverview() const;

private:
    // The whole-canvas pictures of renderImage and the export storage (solver_export.cpp).
    friend class PictureExport;

    struct Level {
        RenderTarget gradientX, gradientY, divergence, colorSolution, blurSolution,
            colorConstraints, blurConstraints;
    };
    using Problem = Multigrid::Problem;
    // The colour problem of the rasterised images, solved into `solution` (level 0 size).
    Problem colorProblem(RenderTarget& solution);
    // The view a solution image was solved for, for warm starts.
    struct SolvedView {
        bool valid = false;
        View view;
        bool matches(const View& v) const { return valid && view == v; }
    };

    // The rasterising operations at view `v` (the public ones use the current view; the
    // whole-canvas solves pass View()).
    void drawGradients(const View& v);
    void buildDivergencePyramid(const View& v);
    void buildColorConstraints(const View& v, bool border);
    void buildBlurConstraints(const View& v);

    // ---- colour spaces and picture output (solver_picture_output.cpp)
    // `source` converted to sRGB and encoded as `encoding` asks: Format_RGBA8888 or
    // Format_RGBA64, top row first; null when the memory cannot be had.
    QImage encodePicture(const RenderTarget& source, const PictureEncoding& encoding) const;
    // Gives the constraint images the precision the drawing's space needs: 8 bits hold sRGB
    // values exactly (as they always were), the other spaces need half floats.
    void matchConstraintPrecision();
    void usePictureOutputProgram(bool dither) const;
    bool isWholeCanvasView() const { return view == View(); }
    void copyIntoOverview();
    // The blur map from grey with `cycles` cycles; at once when no curve asks for blur.
    void solveBlurMap(int cycles);
    // The image holding the picture: the blurred copy after a blur pass, else colorSolution[0].
    const RenderTarget& picture() const;

    bool checkSupport();
    void createImages();
    void createMultigridLevels();
    void createPrograms();
    const RenderTarget* target(SolverImage image, int level) const;

    // ---- multigrid (solver_multigrid.cpp)
    static constexpr int kReSolveFCycles = 2;
    // Runs `cycles` cycles on `problem`: F-cycles from grey (`fresh`, cleared to `clearValue`),
    // else kReSolveFCycles F-cycles and then V-cycles from the estimate it holds.
    void solveProblem(const Problem& problem, int cycles, bool fresh, float clearValue);
    // The coarser levels of every displayed image, made from level 0.
    void buildDisplayPyramid();

    void leavePasses() const;

    const CurveSet* curveSet = nullptr;
    Storage storage;
    int width;
    int height;
    std::vector<int> levelWidth;
    std::vector<int> levelHeight;
    ShaderProgram restrictProgram, divProgram, diffusionProgram, restrictColorProgram,
        blurThresholdProgram, downsampleProgram, composeChannelProgram;
    mutable ShaderProgram pictureOutputProgram; // to sRGB, dithered (picture_output.frag)
    SolverSettings userSettings;
    bool preciseConstraints = false; // constraint images in half floats rather than 8 bits
    int levels = 1;
    int displayLevel = 0;
    std::vector<Level> pyramid;
    Multigrid multigrid; // the coarse levels of both solves
    // Depth and stencil of level 0: the stencil counting of the colour constraints and the
    // blur map laid into depth by the blur pass.
    Texture depthStencil;
    RenderTarget overview;
    RenderTarget blurScratch;
    RenderTarget blurredPicture; // the picture after a blur pass (colorSolution[0] stays unblurred)
    bool pictureBlurred = false;
    bool exportCancelled = false;    // the last renderExport was stopped by its progress
    bool displayPyramidStale = true; // the coarser display levels lag behind level 0
    bool blurMapStale = true;        // blurSolution lags behind the blur constraints
    SolvedView colorView;            // what colorSolution[0] holds
    bool overviewValid = false;      // the overview holds a whole-canvas solution of the drawing
    View view;

    bool ready = false;
    bool initialized = false;
    QString statusText;
    // Solves the pictures at other sizes; made at the first of them and kept (it holds only its
    // programs between exports).
    std::unique_ptr<DiffusionSolver> exporter;
};
