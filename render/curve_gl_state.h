#pragma once

// Small GL helpers shared by the curve-drawing files (not part of the render interface).

#include "curve.h"
#include "curve_set.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>

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
