#pragma once

// Shared pieces of the curve-drawing tests: a 512 x 512 float render target with a stencil
// buffer, named curves, and the raw names of a GL_SELECT pick.

#include "gl_fixture.h"

#include "curve.h"
#include "curve_drawing.h"
#include "curve_rendering.h"
#include "curve_set.h"
#include "picker.h"
#include "shader_program.h"
#include "test_curves.h"

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace drawingtest {

constexpr int kSize = 512;

// Canvas coordinate (-1 .. 1) to the index of the pixel column / row that contains it.
inline int pixelOf(double c) { return static_cast<int>(std::floor((c + 1.0) * 0.5 * kSize)); }
// Canvas coordinate of the centre of pixel column / row i.
inline double centreOf(int i) { return (i + 0.5) * 2.0 / kSize - 1.0; }

using Rgba = std::array<float, 4>;

// An offscreen 512 x 512 target: RGBA32F colour and a packed depth/stencil buffer. bind() makes
// it the draw target with a matching viewport and identity matrices.
class Canvas {
public:
    Canvas()
    {
        glGenFramebuffers(1, &fbo);
        glGenRenderbuffers(2, buffers);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA32F, kSize, kSize);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kSize, kSize);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  buffers[1]);
        complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    ~Canvas()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(2, buffers);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool isComplete() const { return complete; }
    GLuint name() const { return fbo; }

    void bind() const
    {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void clear(float r, float g, float b, float a) const
    {
        glClearColor(r, g, b, a);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    Rgba pixel(int x, int y) const
    {
        Rgba p{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, p.data());
        return p;
    }
    // The pixel containing canvas point (x, y).
    Rgba at(double x, double y) const { return pixel(pixelOf(x), pixelOf(y)); }

    int stencil(int x, int y) const
    {
        GLubyte s = 0;
        glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &s);
        return s;
    }

    std::vector<Rgba> image() const
    {
        std::vector<Rgba> all(static_cast<size_t>(kSize) * kSize);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_FLOAT, all.data());
        return all;
    }

    // Number of pixels that differ from `background` in any channel by more than 1e-3.
    int countDifferent(const Rgba& background) const
    {
        int n = 0;
        for (const Rgba& p : image())
            for (int k = 0; k < 4; ++k)
                if (std::fabs(p[k] - background[k]) > 1e-3f) {
                    ++n;
                    break;
                }
        return n;
    }

private:
    GLuint fbo = 0;
    GLuint buffers[2] = {0, 0};
    bool complete = false;
};

// An arch of one segment, (-0.5, -0.2) to (0.5, -0.2) through tangent points at height 0.4.
inline Curve archCurve()
{
    Curve c;
    c.appendControlPoint(-0.5, -0.2);
    c.appendControlPoint(-0.2, 0.4);
    c.appendControlPoint(0.2, 0.4);
    c.appendControlPoint(0.5, -0.2);
    for (int g : {0, 5, 10}) {
        c.appendLeftColor(g, false, QColor(255, 0, 0));
        c.appendRightColor(g, false, QColor(0, 0, 255));
        c.appendBlur(g, false, 4);
    }
    return c;
}

inline CurveSet setOf(std::initializer_list<Curve> curves)
{
    CurveSet set;
    for (const Curve& c : curves)
        set.addCurve(c);
    return set;
}

// A pick with the editor's picker (picker.h): a region x region square centred at window
// pixel (x, y) of the current viewport, at the identity view. Returns the name of every hit
// record in order; empty also when even the picker's large buffer overflowed.
inline std::vector<long> pick(const CurveSet& set, int mode, int purpose, double x, double y,
                              double region = 5.0)
{
    PickQuery query;
    query.mode = static_cast<ManipulationMode>(mode);
    query.purpose = static_cast<PickPurpose>(purpose);
    query.x = x;
    query.y = y;
    query.region = region;
    glGetIntegerv(GL_VIEWPORT, query.viewport);
    std::vector<long> names;
    for (unsigned name : pickCurveSet(set, query).names)
        names.push_back(static_cast<long>(name));
    return names;
}

// Window pixel coordinates of the centre of canvas point p.
inline double windowX(const Point& p) { return (p.x + 1.0) * 0.5 * kSize; }
inline double windowY(const Point& p) { return (p.y + 1.0) * 0.5 * kSize; }

// Fixture: a bound float canvas, default settings, and the colour-constraints program loaded.
class DrawingTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        curveRenderingSettings() = CurveRenderingSettings{};
        if (!colorConstraintsProgram().isCreated())
            initCurveRendering(1.0 / kSize, kSize, kSize, 0);
        canvas = std::make_unique<Canvas>();
        ASSERT_TRUE(canvas->isComplete());
        canvas->bind();
    }
    void TearDown() override
    {
        canvas.reset();
        curveRenderingSettings() = CurveRenderingSettings{};
        GlTest::TearDown();
    }

    std::unique_ptr<Canvas> canvas;
};

} // namespace drawingtest
