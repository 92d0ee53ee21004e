#pragma once

// Largest side, in texels, of the multigrid's coarsest level, which shaders/solver/
// mg_coarsest.frag solves exactly in one pass. The shader is written out for this side by
// scripts/generate-coarsest-shader.py, which reads the value from this line; a test checks that
// the shipped shader is what the script writes.
constexpr int kCoarsestSize = 5;
