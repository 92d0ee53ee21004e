#pragma once

// Small GL helpers shared by the curve-drawing files (not part of the render interface).

#include "curve.h"
#include "curve_set.h"
#include "vertex_batch.h"

#include "gl_api.h"

#include <algorithm>
#include <vector>

namespace curvegl {

// Turns texturing off on units 1 and 0 (2D and rectangle targets), leaving unit 0 active.
inline void disableTexturing()
{
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
}

inline void vertex(const Point& p) { glVertex3d(p.x, p.y, 0.0); }

// Client-side vertex arrays over one non-empty batch, for drawing all its runs in one call. The
// constructor points the vertex array at the positions; colors() and texCoords() add arrays read
// from the given member of the first vertex, with the batch's stride. Whatever was enabled is
// disabled again, and the client active texture unit is 0 again, when the object goes out of
// scope. The arrays live in client memory, so the array-buffer binding is set to 0.
template <typename Packed>
class BatchArrays {
public:
    explicit BatchArrays(const VertexBatch<Packed>& batch) : batch(batch)
    {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, kStride, batch.vertices.front().position);
    }
    ~BatchArrays()
    {
        if (colorArray)
            glDisableClientState(GL_COLOR_ARRAY);
        if (texCoordUnits != 0) {
            for (int unit = 0; unit < 32; ++unit)
                if (texCoordUnits & (1u << unit)) {
                    glClientActiveTexture(GL_TEXTURE0 + unit);
                    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
                }
            glClientActiveTexture(GL_TEXTURE0);
        }
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    BatchArrays(const BatchArrays&) = delete;
    BatchArrays& operator=(const BatchArrays&) = delete;

    // Colour (r, g, b) per vertex, alpha 1; (r, g, b, a) with `size` 4.
    void colors(const float* first, int size = 3)
    {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(size, GL_FLOAT, kStride, first);
        colorArray = true;
    }
    // Texture coordinates (s, t), or (s, t, r, q) to `size` 4, per vertex for texture unit `unit`
    // (0 .. 31).
    void texCoords(int unit, const float* first, int size = 2)
    {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(size, GL_FLOAT, kStride, first);
        texCoordUnits |= 1u << unit;
    }
    // Every run as one primitive of `mode`, in order.
    void draw(GLenum mode) const
    {
        glMultiDrawArrays(mode, batch.firsts.data(), batch.counts.data(), batch.runCount());
    }
    // Some runs of the batch, given by their firsts and counts (as many of each), in order.
    void draw(GLenum mode, const std::vector<int>& firsts, const std::vector<int>& counts) const
    {
        if (!counts.empty())
            glMultiDrawArrays(mode, firsts.data(), counts.data(), GLsizei(counts.size()));
    }

private:
    static constexpr GLsizei kStride = sizeof(Packed);
    const VertexBatch<Packed>& batch;
    bool colorArray = false;
    unsigned int texCoordUnits = 0;
};

inline void line(const Point& a, const Point& b)
{
    glBegin(GL_LINES);
    vertex(a);
    vertex(b);
    glEnd();
}

// A GLU quadric for the handle disks (smooth normals, no texture coordinates), released when
// the object goes out of scope. Disks are skipped if GLU could not allocate it.
class Quadric {
public:
    Quadric() : q(gluNewQuadric())
    {
        if (q) {
            gluQuadricNormals(q, GLU_SMOOTH);
            gluQuadricTexture(q, GL_FALSE);
        }
    }
    ~Quadric()
    {
        if (q)
            gluDeleteQuadric(q);
    }
    Quadric(const Quadric&) = delete;
    Quadric& operator=(const Quadric&) = delete;

    // Disk (or ring when inner > 0) of 32 slices and 1 loop centred at p, under its own saved
    // and restored model-view matrix.
    void disk(const Point& p, double inner, double outer) const
    {
        if (!q)
            return;
        glPushMatrix();
        glTranslated(p.x, p.y, 0.0);
        gluDisk(q, inner, outer, 32, 1);
        glPopMatrix();
    }

private:
    GLUquadric* q;
};

// Number of curves that exist: nb_curves, never more than the array holds.
inline int curveCount(const CurveSet& set)
{
    return std::min(set.nb_curves, int(set.curves.size()));
}

inline bool isCurveIndex(const CurveSet& set, int i) { return i >= 0 && i < curveCount(set); }

// Calls draw(curve) for every curve in index order.
template <typename Draw>
void forEachCurve(const CurveSet& set, Draw draw)
{
    const int n = curveCount(set);
    for (int i = 0; i < n; ++i)
        draw(set.curves[i]);
}

} // namespace curvegl
