#pragma once

// One bare full-screen pass (the Laplace sweep's program over a size x size float image, state
// range 0), the unit in which the GL benchmarks state their figures. Needs a current context.
#include <GL/glew.h>

#include "gl_objects.h"
#include "shader_program.h"

#include <benchmark/benchmark.h>

inline void BM_BarePass(benchmark::State& state)
{
    const int kSize = int(state.range(0));
    ShaderProgram program;
    program.create(shaderPath("img_process.vert"), shaderPath("jacobi_laplace.frag"));
    RenderTarget source, target;
    source.create(kSize, kSize, floatNearest());
    target.create(kSize, kSize, floatNearest());
    program.use();
    program.setSampler("imgMap", 0);
    program.setFloat("scale", 1.0f);
    source.texture.bind(0);
    target.bindAsTarget();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFinish();
    for (auto _ : state) {
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
        glFinish();
    }
    ShaderProgram::release();
}
