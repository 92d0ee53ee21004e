#pragma once

// One full-screen pass of an image program: the program, the textures it reads by texture
// unit, the float uniforms it is given, drawn into one target.
#include "gl_objects.h"
#include "shader_program.h"

#include <initializer_list>
#include <vector>

// A float uniform handed to one image pass.
struct PassUniform {
    const char* name;
    float value;
};

struct ImagePass {
    ShaderProgram& program;
    std::vector<const Texture*> inputs; // inputs[i] is read from texture unit i
    std::vector<PassUniform> uniforms;
    float depth = 0.0f; // clip-space z of the quad (only the blur pass tests depth)
};

// Runs `pass` over the whole of `target` (its framebuffer bound, the viewport its size). A
// program that failed to build draws nothing (it was reported when built): the target keeps
// its content. Leaves no program in use and texture unit 0 active.
void runImagePass(const ImagePass& pass, const RenderTarget& target);
// The same into any framebuffer of width x height (several colour attachments, the window).
void runImagePass(const ImagePass& pass, const Framebuffer& target, int width, int height);
