#pragma once

#include "gl_objects.h"
#include "solver_input.h"

#include <vector>

// The images the solver keeps per pyramid level (see SolverImages::readImage and
// SolverDisplay::draw).
enum class SolverImage {
    GradientX,        // x component of the colour jumps, stored 0.5 + 0.5 g
    GradientY,        // y component
    Divergence,       // right-hand side of the Poisson solve, stored signed
    ColorSolution,    // the diffused colours; level 0 is the picture
    BlurSolution,     // the diffused blur map (blur / kMaxBlur)
    BlurConstraints,  // rasterised blur values, alpha 0 where free
    ColorConstraints, // rasterised curve colours, alpha 0 where free
};

// Interactive: every image of the pyramid, for the editor's view. Export: a solver of one
// picture at another size (see solver_export.cpp): it holds only the multigrid's coarse
// levels between exports and makes its full-size images one phase at a time.
enum class SolverStorage { Interactive, Export };

// The format of colour constraint images of `precision`.
TextureFormat constraintFormat(ConstraintPrecision precision);

// The images of a DiffusionSolver, shared by reference by its parts (the rasterising passes,
// the solves, the blur pass and the display): the pyramid of levels, the depth-stencil image of
// level 0, the full-canvas overview, the blur pass's scratch and the blurred picture. Level 0
// is width x height pixels, each coarser level half the one above. Released with the members;
// every call that reads or draws needs the solver's GL context current.
struct SolverImages {
    struct Level {
        RenderTarget gradientX, gradientY, divergence, colorSolution, blurSolution,
            colorConstraints, blurConstraints;
        Framebuffer gradients; // gradientX and gradientY as colour attachments 0 and 1
    };

    SolverImages(int width, int height, SolverStorage storage);

    // Interactive storage: every image of `levels` levels, the depth-stencil image and the
    // images of level-0 size, the overview cleared to grey. Leaves the overview's framebuffer
    // bound.
    void create();
    // True once the images are made (an Export solver keeps one level of empty images between
    // exports); false before, and after an initialisation that failed.
    bool ready() const { return !pyramid.empty(); }
    int levelCount() const { return levels; }
    // Size of a level; out-of-range levels give 0.
    int levelWidthOf(int level) const;
    int levelHeightOf(int level) const;
    // One image of one level (level 0 of ColorSolution is the picture); null for a level out
    // of range or before the images are made.
    const RenderTarget* target(SolverImage image, int level) const;
    // The image holding the picture: the blurred copy after a blur pass, else colorSolution[0].
    const RenderTarget& picture() const;
    // Copy of one image of one level as RGBA floats, rows bottom-up (for tests and tools);
    // empty for a level out of range or before the images are made.
    std::vector<float> readImage(SolverImage image, int level) const;
    // The same for the overview image (level-0 size).
    std::vector<float> readOverview() const;
    // GL name of the framebuffer holding the full-canvas overview (for colour sampling).
    unsigned int overviewFramebufferName() const { return overview.framebuffer.name(); }
    // The state every solver pass leaves: projection and model-view at identity and the
    // blur-scratch framebuffer bound.
    void leavePasses() const;

    const int width;
    const int height;
    const SolverStorage storage;
    int levels = 1;
    std::vector<int> levelWidth;
    std::vector<int> levelHeight;
    std::vector<Level> pyramid;
    // Depth and stencil of level 0: the stencil counting of the colour constraints and the
    // blur map laid into depth by the blur pass.
    Texture depthStencil;
    RenderTarget overview;
    RenderTarget blurScratch;
    RenderTarget blurredPicture; // the picture after a blur pass (colorSolution[0] stays unblurred)
    bool pictureBlurred = false;
    bool blurMapStale = true; // blurSolution lags behind the blur constraints
    // What the colour constraint images store (see ConstraintPrecision).
    ConstraintPrecision constraintPrecision = ConstraintPrecision::Bytes;
};
