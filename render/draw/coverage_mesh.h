#pragma once

#include "point.h"

#include <vector>

// Anti-aliased overlay shapes as plain triangles whose per-vertex alpha is the shape's coverage.
// Positions are window pixels (x right, y up, pixel (i, j) spans i .. i + 1, j .. j + 1), so
// that every soft edge spans exactly one pixel whatever the view. Interpolated linearly across
// a pixel, the alpha of a straight edge at distance d from the pixel centre is its area coverage
// for an axis-aligned edge and close to it at other angles. Computed on the CPU, needs no GL.

// Triangle vertex as the GL reads it: position, then colour (r, g, b, a).
struct PackedCoverageVertex {
    float position[2];
    float rgba[4];
};

// Straight colour (0 .. 1 per channel), alpha the opacity where the shape covers a whole pixel.
struct OverlayColour {
    float r, g, b;
    float a = 1.0f;
};

// Triangles appended in drawing order, for indexed GL_TRIANGLES with "over" blending (later
// shapes over earlier ones). Shapes share vertices between their triangles and do not overlap
// themselves, so no pixel is blended twice by one shape.
class CoverageMesh {
public:
    // A line of `width` pixels (at least 1) along `points`, joined with mitres: opaque up to
    // width / 2 from the centre line and fading to transparent one pixel further out, so that
    // every row or column the line crosses keeps at least one pixel exactly in its colour. Open
    // ends fade over one pixel past the last point; `closed` joins the last point to the first.
    // Points closer than a thousandth of a pixel count as one; fewer than 2 draw nothing.
    void line(const std::vector<Point>& points, double width, OverlayColour colour,
              bool closed = false);
    // The same line cut into dashes of `dash` pixels separated by gaps of `gap` pixels measured
    // along the path, starting with a dash at the first point.
    void dashedLine(const std::vector<Point>& points, double width, OverlayColour colour,
                    bool closed, double dash, double gap);
    // A filled disk of `radius` pixels: alpha colour.a up to radius - 1/2, 0 at radius + 1/2.
    void disk(const Point& centre, double radius, OverlayColour colour);
    // A filled axis-aligned rectangle min .. max (min below and left of max): alpha colour.a up
    // to half a pixel inside its edges, 0 half a pixel outside.
    void rectangle(const Point& min, const Point& max, OverlayColour colour);

    // Appends every triangle of `other` after this mesh's (drawn after them).
    void append(const CoverageMesh& other);
    // Empties the mesh, keeping its storage.
    void clear();

    const std::vector<PackedCoverageVertex>& vertices() const { return vertexData; }
    // Three vertex indices per triangle, in drawing order.
    const std::vector<unsigned int>& indices() const { return indexData; }
    bool empty() const { return indexData.empty(); }

private:
    // Appends a vertex at `at` with coverage `alpha` and returns its index.
    unsigned int vertex(const Point& at, float alpha, const OverlayColour& colour);
    void triangle(unsigned int a, unsigned int b, unsigned int c);
    // The quad a0 a1 b1 b0 (a0 a1 one edge, b0 b1 the opposite one) as two triangles.
    void quad(unsigned int a0, unsigned int a1, unsigned int b0, unsigned int b1);

    std::vector<PackedCoverageVertex> vertexData;
    std::vector<unsigned int> indexData;
};
