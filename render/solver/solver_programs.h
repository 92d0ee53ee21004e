#pragma once

#include "shader_program.h"

// The image programs of a DiffusionSolver's passes (the multigrid keeps its own), built
// together once and shared by reference by the solver's parts. Their files and sampler units
// are in program_catalogue.h.
struct SolverPrograms {
    // Builds every program (the channel composition only for an export solver) and sets their
    // fixed sampler units; a program that fails to build is reported on stderr with its prefix.
    // Needs a current context with GLEW initialised.
    void create(bool forExport);
    // True when every program create builds linked.
    bool allLinked(bool forExport) const;

    ShaderProgram restrictProgram, divProgram, diffusionProgram, restrictColorProgram,
        blurThresholdProgram, downsampleProgram, composeChannelProgram;
    ShaderProgram pictureOutputProgram; // to sRGB, dithered
    ShaderProgram layerOverProgram;     // the layers of a layered drawing composited
};
