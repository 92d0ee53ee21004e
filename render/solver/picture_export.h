#pragma once

#include "diffusion_solver.h"

// The work behind a solver's whole-canvas pictures (solver_export.cpp): the picture at export
// quality at the solver's own size, and at any other size through a second solver of Export
// storage, which this class drives too. It works on the solver's images and settings, which it
// reaches as a friend; every call needs the solver's GL context current.
class PictureExport {
public:
    explicit PictureExport(DiffusionSolver& solver) : s(solver) {}

    // Whole canvas, solved afresh in `cycles` cycles at most, blurred when `blur`; left in the
    // solver's picture.
    void renderWholeCanvas(int cycles, bool blur);
    // The picture at level-0 size, top row first, as `encoding` asks.
    QImage readPictureImage(const PictureEncoding& encoding) const;
    // Puts the images back to the current view after a whole-canvas render.
    void restoreViewAfterExport();
    // The picture of `request` at a size other than the solver's, by the export solver.
    QImage renderAtOtherSize(const PictureRequest& request, QString* error);
    // The initialisation of a solver of Export storage: its programs and one empty level.
    bool initializeForExport();

private:
    // The blurred picture of a reference solver and its blur map, read by an export at another
    // size wherever the reference is blurred; null pointers: nothing is blurred.
    struct BlurReference {
        const Texture* picture = nullptr;
        const Texture* blurMap = nullptr;
    };

    // Export storage: rasterises the curves at the solver's size, solves the three colour
    // channels one after another with `cycles` cycles at most each and composes them, with the
    // reference's blur, into an 8-bit picture; every full-size image is released before the
    // picture is returned. Null when the GL cannot make the images or `progress` stopped it
    // (phases 2 to 5 of 5).
    QImage renderExport(int cycles, const BlurReference& reference,
                        const PictureProgress& progress);
    // The same for a layered drawing: each visible layer solved alone (as a drawing of one
    // layer) and composited as the editor composites them. With a `reference` (the
    // interactive solver, its layers solved at the whole canvas), each layer with blur takes
    // its blurred regions from that layer's blurred picture there (layerBlurReference).
    QImage renderLayeredExport(int cycles, const PictureProgress& progress,
                               DiffusionSolver* reference);
    // This solver's layer `layer` blurred alone at the whole canvas, its picture solved there
    // already, as the blur reference of that layer's export; none for a layer without blur.
    // Valid until the next layer's.
    BlurReference layerBlurReference(int layer);
    // renderExport's solve, into `picture` (made here); false when the GL could not make the
    // images or `progress` stopped it.
    bool solveExportPicture(int cycles, const BlurReference& reference,
                            const PictureProgress& progress, RenderTarget& picture);
    TextureFormat exportPictureFormat() const;
    void rasteriseForExport();
    void buildExportDivergence(const RenderTarget& divergence);
    void solveChannel(int channel, RenderTarget& solution, int cycles);
    // A fresh solve of `problem` that settles like the editor's (see
    // DiffusionSolver::kSettledChange) in `cycles` cycles at most.
    void solveSettling(const Multigrid::Problem& problem, int cycles, float emptyValue = 0.5f);
    void composeChannel(int channel, const RenderTarget& solution, const BlurReference& reference,
                        const RenderTarget& picture);
    void releaseExportImages();

    DiffusionSolver& s;
};
