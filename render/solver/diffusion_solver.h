#pragma once

#include "curve.h"
#include "multigrid.h"
#include "solver_display.h"
#include "solver_images.h"
#include "solver_input.h"
#include "solver_programs.h"
#include "solver_rasteriser.h"
#include "view.h"

#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class QImage;

// What renderImage makes: the whole canvas at `size` x `size` pixels, solved afresh in at most
// `cycles` multigrid cycles (it settles as the editor's fresh solve does) and, with `blur`,
// softened where the drawing asks for it.
// Told during a picture made at another size than the solver's after each of its phases, how
// many are done out of `total`; false stops the picture (no image, the cause "cancelled").
using PictureProgress = std::function<bool(int done, int total)>;

// The most multigrid cycles the export runs (DiffusionSolver::kExportCycles, described there).
constexpr int kExportCycles = 6;

struct PictureRequest {
    int size = kCanvasSize;
    int cycles = kExportCycles;
    bool blur = true;
    PictureProgress progress; // may be empty
    PictureEncoding encoding;
};

// Turns the curves of a CurveSet into the finished picture on the GPU: the curves are
// rasterised into gradient and constraint images, the colours are spread by solving a Poisson
// equation with multigrid cycles (see multigrid.h), the blur values likewise on a Laplace
// equation, and a blur pass softens the picture where the blur map asks for it.
//
// The discrete problem on level 0: every free texel p (constraint alpha 0.1 or less) satisfies
//   sum over its in-canvas neighbours n of (u(n) - u(p)) = div(p),
// every constrained texel keeps its constraint colour. The cycles converge to that solution: a
// fresh solve (after a load, a view change, any fullUpdate) runs F-cycles from a first estimate
// pulled from the constraints, the quick update of a drag fewer cycles from the previous picture
// (see kBaseCycles). The export settles like a fresh solve, in up to kExportCycles F-cycles.
//
// Canvas coordinates: the square (-1, -1)..(1, 1) fills level 0 at zoom 1 and pan 0; canvas
// point p is drawn at zoom * (p + pan).
//
// Every operation except construction and the plain setters needs the GL context current that
// initialize ran in; destroy the solver with that context current too (it releases its
// textures and framebuffers). Before a successful initialize the work operations do nothing.
// Every work operation leaves projection and model-view at identity, no program in use,
// texturing off, and the blur-scratch framebuffer bound (the display leaves the caller's bound).
//
// Layers. A drawing of several layers (SolverInput::layered) is solved a layer at a time: each
// visible layer's curves alone are rasterised and diffused into a picture of its own, kept
// between frames (made at first use), and the pictures are composited bottom first with
// premultiplied "over", each scaled by its layer's opacity, into colorSolution[0]; hidden
// layers are skipped, an empty layer is clear. A layer is solved again only when its curves
// or the view changed since its picture was made: an edit of one layer re-solves that layer,
// the others are only composited. A drawing of one visible, opaque layer takes the plain path
// (no picture of its own, no compositing). Each layer is blurred alone: the blur map of its
// own curves softens its own picture before the compositing, and the blurred picture is kept
// with it (a layer without blur has none and costs no blur pass); the blurred layers
// composited make the blurred picture. Each layer also keeps its whole canvas solved alone
// (made when first needed, again only when its curves changed, whatever the view): zoomed in,
// it gives the colours of the layer's edge ring, and the layers' whole canvases composited are
// the overview.
//
// The solver keeps the life cycle, the drawing and settings it works from (SolverInput), the
// view, the solves, the blur pass and the exports. Its parts share its images (SolverImages)
// and programs (SolverPrograms) by reference: the rasterising passes (SolverRasteriser) and
// the display with the picture's encoding (SolverDisplay).
class DiffusionSolver {
public:
    // Multigrid cycles at the user's default count (the Iterations slider adds one per step
    // above kDefaultIterations): of a fresh solve (F-cycles from the estimate pulled from the
    // constraints), of a re-solve from the previous picture (an F-cycle and a V-cycle), and of
    // the export (the most it runs); and the count the viewer starts with. Both solves then go
    // on while the last cycle still changed some value by more than their settled change, which
    // bounds the error left (see MultigridStopRule). A fresh solve settles to kSettledChange, up
    // to kSettleCycles more F-cycles: the error left is a tenth of a level, and flat colours
    // show no dither specks; most drawings settle after 3 or 4 F-cycles, the 1000 curves run all
    // 5. A re-solve settles to kReSolveSettledChange, up to kReSolveSettleCycles more F-cycles:
    // the picture of a drag holds 1/255 (0.4/255), whether the curve moved a pixel or jumped
    // across the canvas, and the fullUpdate at the drag's end settles it further. A small move
    // on a sparse drawing needs no more than the fixed cycles; a busy drawing (100 or more
    // crossing curves) or a long jump needs one or two more. The tests prove both. The export
    // settles like a fresh solve, but may run up to kExportCycles, one more than the most the
    // editor runs.
    static constexpr int kBaseCycles = kDefaultIterations;
    static constexpr int kReSolveCycles = 2;
    static constexpr int kSettleCycles = 2;
    static constexpr float kSettledChange = 0.2f / 255.0f;
    static constexpr int kReSolveSettleCycles = 3;
    static constexpr float kReSolveSettledChange = 1.0f / 255.0f;
    static constexpr int kExportCycles = ::kExportCycles;
    static constexpr int kDefaultCycles = kDefaultIterations; // still named so by tools/
    // The blur map's Laplace solve has no right-hand side and smooth constraints, so the first
    // estimate pulled from its constraints is already close: 2 F-cycles from there hold 1/255
    // on the same drawings (the tests prove it); the export adds one.
    static constexpr int kBlurMapCycles = 2;

    // Sides of the pictures renderImage and saveImage make, in pixels.
    static constexpr int kMinPictureSize = 16;
    static constexpr int kMaxPictureSize = 8192;

    // See SolverStorage.
    using Storage = SolverStorage;

    // width, height: size of level 0 in pixels (the viewer passes kCanvasSize); iterations:
    // the Iterations setting (the viewer passes kDefaultIterations). No GL work.
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
        input.curves = &set;
        colorView.valid = overviewValid = false;
    }
    // The part of the canvas the pictures show (no re-solve).
    void setView(const View& v) { view = v; }
    const View& currentView() const { return view; }
    // Iterations, blur switch, export encoding and display dithering.
    SolverSettings& settings() { return input.settings; }
    const SolverSettings& settings() const { return input.settings; }
    // The space the drawing is diffused in (sRGB without a drawing); every image of the solver
    // holds colours of that space, and the display, the overview reader and the exports
    // convert them back to sRGB.
    ColourSpace colourSpace() const { return input.colourSpace(); }

    // ---- parts
    // The images: level sizes, the overview's framebuffer, read-back for tests and tools.
    const SolverImages& images() const { return solverImages; }
    // The rasterising passes at a view (the work operations below run them themselves).
    SolverRasteriser& rasteriser() { return problemRasteriser; }
    // The window's picture, its display level and colour read-back.
    SolverDisplay& display() { return solverDisplay; }
    const SolverDisplay& display() const { return solverDisplay; }

    // ---- work operations (see the .cpp files for each pass)
    // Solve the colours / the blur map of the rasterised problem: from the previous solution
    // when it belongs to this view and `fromPrevious` is set, else afresh (see kBaseCycles).
    void solveColors(bool fromPrevious = false);
    void solveBlur();
    // Quick re-solve after an edit, starting from the previous picture when the view is the
    // same: the gradients and colour constraints (when zoomed in, the whole canvas solved
    // first into the overview, whose colours ring the window's edge), solveColors.
    void update();
    // A fresh solve of everything: the constraint images, solveColors, applyBlur, and the
    // overview (at zoom 1 without pan the overview is a copy of the picture itself). The blur
    // strips and the blur map are left for when they are needed (solvePendingBlur): with the
    // blur on at once, else when they are shown.
    void fullUpdate();
    // ---- the editor's progressive solve: the picture converges over frames, a cycle a frame
    // Rasterises the drawing for the view as update does (when zoomed in, the whole canvas
    // solved first into the overview) and readies the colour solve: it goes on from the
    // picture, or starts afresh from the first estimate with `fresh` or when the picture
    // belongs to another view. The blur strips are left for later, as fullUpdate leaves them.
    // In a layered drawing the layers whose curves changed are the ones solved (see Layers):
    // all but the topmost of them at once, and that one over the steps that follow.
    void beginProgressiveSolve(bool fresh);
    // `cycles` multigrid cycles on the picture (the operators rebuilt first where another
    // solve used them meanwhile; Multigrid::step says which cycles). With `checkSettled`, the
    // last cycle's largest change is read back and true returned when it is at most
    // kSettledChange: the picture then holds the accuracy of a fresh solve. Without it (a frame
    // of a motion) nothing is read back and false returned.
    bool progressiveStep(bool checkSettled, int cycles = 1);
    // The editor's budget per frame (PictureRefresh). A frame of a motion runs
    // kMovingFrameCycles: a frame F-cycle alone leaves up to 7.5/255 at the 99.9th percentile
    // on 1000 crossing curves; a second one, without its first sweep, holds the moving bound
    // (1/255 root-mean-square, 4/255 at the 99.9th percentile; 1.3/255 at worst on the tests'
    // drag chains). A V-cycle as the second is not enough for a point dragged 77 px in one
    // frame (1.9/255 root-mean-square). The first frame at rest runs kFirstRestCycles before it
    // reads back whether the picture settled: a drag's picture takes three cycles to settle, and
    // one frame of three instead of three frames of one spares two displays and read-backs.
    static constexpr int kMovingFrameCycles = 2;
    static constexpr int kFirstRestCycles = 3;
    // What a picture at rest still needs: the overview (a copy of the picture at the whole
    // canvas) and the blur pass when the blur is on.
    void finishProgressiveSolve();

    // Makes what `mode` shows and fullUpdate left for later (the blur constraints and map);
    // the viewer calls it before each frame's display().draw.
    void prepareDisplay(DisplayMode mode);
    // A fresh solve of the whole canvas at export quality, blurred: what saveImage writes, left
    // in colorSolution[0] (the blurred picture) with the view's settings restored.
    void renderFinalPicture();
    // Softens colorSolution[0] where the blur map asks for it (solvePendingBlur first); nothing
    // unless `enabled` (the blur switch of the settings, or an export's own choice). A layered
    // drawing's layers are blurred alone and composited (see Layers).
    void applyBlur(bool enabled);
    // Full-canvas, unblurred picture kept in the overview image: a fresh solve, or one from the
    // previous overview when `fromPrevious` and it is valid; for a layered drawing, the
    // layers' kept whole canvases composited (see Layers).
    void renderOverview(bool fromPrevious = false);

    // ---- output
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

private:
    // The whole-canvas pictures of renderImage and the export storage (solver_export.cpp).
    friend class PictureExport;

    using Problem = Multigrid::Problem;
    // The colour problem of the rasterised images, solved into `solution` (level 0 size).
    Problem colorProblem(RenderTarget& solution);
    // The view a solution image was solved for, for warm starts.
    struct SolvedView {
        bool valid = false;
        View view;
        bool matches(const View& v) const { return valid && view == v; }
    };

    bool isWholeCanvasView() const { return view == View(); }
    void copyIntoOverview();
    // The blur map from grey with `cycles` cycles; at once when no curve asks for blur.
    void solveBlurMap(int cycles);
    // The blur strips at the view and the blur map, where fullUpdate or a rasterising left
    // them stale.
    void solvePendingBlur();

    bool checkSupport();
    void createMultigridLevels();
    void createPrograms();

    // ---- multigrid (solver_multigrid.cpp)
    static constexpr int kReSolveFCycles = 1;
    // Runs `cycles` cycles on `problem`, then the extra ones `stop` allows: `fresh`, F-cycles
    // from the first estimate pulled from the constraints (Multigrid::estimateFromConstraints;
    // `emptyValue` where nothing is constrained); else kReSolveFCycles F-cycles and then
    // V-cycles from the estimate the solution holds.
    void solveProblem(const Problem& problem, int cycles, bool fresh, float emptyValue,
                      MultigridStopRule stop = {});

    void leavePasses() const { solverImages.leavePasses(); }
    // The blur pass (blur_pass.cpp): `picture` softened where blurSolution[0] asks for it, up
    // to the blur `largest`, into `blurred` (of level-0 size, with the level-0 depth attached).
    void runBlurPass(const Texture& picture, float largest, RenderTarget& blurred);

    // ---- layers (solver_layers.cpp; see Layers above)
    struct LayerPicture {
        RenderTarget picture;  // the layer alone, at `view`
        QVector<Curve> curves; // the layer's run it was solved from
        View view;
        bool valid = false;   // `curves` and `view` say what the picture is solved from
        bool settled = false; // solved to the accuracy of a fresh solve (not mid-way)
        RenderTarget blurred; // `picture` softened by the layer's own blur map
        bool blurredValid = false;
        RenderTarget overview;         // the layer alone at the whole canvas
        QVector<Curve> overviewCurves; // the layer's run it was solved from
        bool overviewValid = false;
        bool overviewSettled = false; // solved afresh, not from a previous one
    };
    // Which image of each layer a compositing reads: its picture, its blurred picture (the
    // picture where the layer has no blur), or its whole canvas.
    enum class LayerImage { Picture, Blurred, Overview };
    // True when layer `layer`'s picture holds its present curves at the view.
    bool layerPictureCurrent(int layer) const;
    // Rasterises layer `layer` alone at the view (with the whole canvas solved first into the
    // overview when zoomed in) and records what its picture is being solved from. False when
    // the layer has no curve to rasterise: its picture is then made clear.
    bool rasteriseLayer(int layer);
    // rasteriseLayer and a solve of the layer's picture, from its previous picture where that
    // was made at the view, else afresh.
    void solveLayer(int layer);
    // The visible layers whose pictures are not current, bottom first.
    std::vector<int> staleLayers();
    // The visible layers' pictures composited into colorSolution[0] (those below the layer
    // being solved over frames through belowComposite).
    void compositeLayers();
    // The visible ones of layers first .. end - 1 composited over `below` (null: nothing) into
    // `result`, from their `image`.
    void compositeRange(int first, int end, const Texture* below, const RenderTarget& result,
                        LayerImage image = LayerImage::Picture);
    // Layer `layer`'s whole canvas, solved unless it holds the present curves: copied from its
    // picture where that is the whole canvas and settled, else from its previous whole canvas
    // when it has one, else afresh.
    void solveLayerOverview(int layer);
    // Every visible layer's whole canvas (solveLayerOverview) composited into the overview.
    void compositeOverview();
    // The largest blur of layer `layer`'s curves (see largestBlur).
    float layerBlur(int layer) const;
    // With `enabled`, each visible layer with blur softened by its own blur map (solved in
    // `mapCycles` at the view, where its blurred picture is not kept) and the layers'
    // blurred pictures composited into blurredPicture; the picture is unblurred otherwise.
    void blurLayers(bool enabled, int mapCycles);
    // Layer `layer`'s blur strips and blur map at the view (`mapCycles`), and its picture
    // softened by them into its blurred picture.
    void blurLayer(int layer, int mapCycles);
    void layeredFullUpdate();
    void beginLayeredSolve(bool fresh);
    bool layeredStep(bool checkSettled, int cycles);
    // The layers solved afresh at the whole canvas and composited, at export quality; with
    // `blurMapCycles` 0 or more, each blurred as blurLayers does with that many map cycles.
    void solveLayersForExport(int cycles, int blurMapCycles);

    std::vector<LayerPicture> layerPictures;
    RenderTarget compositeScratch; // the compositing's second image
    // The layers below progressiveLayer composited, and the layers' settings it was made with;
    // invalid once one of their pictures is made again.
    struct {
        RenderTarget picture;
        QVector<Layer> layers;
        bool valid = false;
    } belowComposite;
    int progressiveLayer = -1; // the layer progressiveStep solves; -1: none

    SolverInput input;
    View view;
    SolverImages solverImages;
    SolverPrograms programs;
    Multigrid multigrid;             // the coarse levels of both solves
    bool displayPyramidStale = true; // the coarser display levels lag behind level 0
    SolverRasteriser problemRasteriser{solverImages, programs, input};
    SolverDisplay solverDisplay{solverImages, programs, input, displayPyramidStale};
    bool exportCancelled = false;      // the last renderExport was stopped by its progress
    SolvedView colorView;              // what colorSolution[0] holds
    bool blurConstraintsStale = false; // fullUpdate left the blur strips for later
    bool overviewValid = false;        // the overview holds a whole-canvas solution of the drawing
    bool progressiveOperators = false; // the multigrid's operators belong to the colour problem
    // The multigrid's operators are those a progressive step last built for the colour
    // constraints, so the constraints' changes since (SolverRasteriser::takeConstraintChange)
    // say where they are out of date.
    bool colourOperatorsKept = false;

    bool ready = false;
    bool initialized = false;
    QString statusText;
    // Solves the pictures at other sizes; made at the first of them and kept (it holds only its
    // programs between exports).
    std::unique_ptr<DiffusionSolver> exporter;
};
