#pragma once

// One bare full-screen pass (the Laplace sweep's program over a size x size float image, state
// range 0), the unit in which the GL benchmarks state their figures. Needs a current context.
#include <GL/glew.h>

#include "gl_objects.h"
#include "program_catalogue.h"
#include "shader_program.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

// Draws one quad over the whole target (identity matrices).
inline void drawWholeTargetQuad()
{
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
}

// The program and images of the bare pass, set up for drawing it.
class BarePass {
public:
    explicit BarePass(int size)
    {
        createProgram(program, ProgramId::BarePass);
        source.create(size, size, floatNearest());
        target.create(size, size, floatNearest());
        program.use();
        program.setFloat("scale", 1.0f);
        source.texture.bind(0);
        target.bindAsTarget();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glFinish();
    }
    ~BarePass() { ShaderProgram::release(); }

    // One pass, finished.
    void run() const
    {
        drawWholeTargetQuad();
        glFinish();
    }

private:
    ShaderProgram program;
    RenderTarget source, target;
};

inline void BM_BarePass(benchmark::State& state)
{
    const BarePass pass(int(state.range(0)));
    for (auto _ : state)
        pass.run();
}

// Seconds of CPU time the process has used, in all its threads (a software GL's included):
// unlike wall time, it does not grow while other processes hold the cores.
inline double processCpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Median seconds of a bare 512 x 512 pass measured now, for figures stated in bare passes: wall
// time, or process CPU time with `cpu`.
inline double medianBarePassSeconds(bool cpu = false)
{
    const BarePass pass(512);
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double startCpu = processCpuSeconds();
        pass.run();
        times.push_back(
            cpu ? processCpuSeconds() - startCpu
                : std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + 10, times.end());
    return times[10];
}
