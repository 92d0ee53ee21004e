#include "vertex_batch.h"

namespace {

// Texture-coordinate set 0's second component: constant along every strip.
constexpr float kStripHeight = 0.2f;

void pack(const Point& p, float out[2])
{
    out[0] = static_cast<float>(p.x);
    out[1] = static_cast<float>(p.y);
}

// Opens a run of n vertices and returns the index of its first vertex.
template <typename Packed>
size_t openRun(VertexBatch<Packed>& batch, size_t n)
{
    const size_t first = batch.vertices.size();
    batch.firsts.push_back(static_cast<int>(first));
    batch.counts.push_back(static_cast<int>(n));
    batch.vertices.resize(first + n);
    return first;
}

} // namespace

void appendRun(VertexBatch<PackedGradientVertex>& batch, const std::vector<GradientVertex>& run)
{
    if (run.empty())
        return;
    PackedGradientVertex* out = &batch.vertices[openRun(batch, run.size())];
    for (const GradientVertex& v : run) {
        pack(v.position, out->position);
        for (int k = 0; k < 4; ++k)
            out->rgba[k] = v.rgba[k];
        ++out;
    }
}

void appendRun(VertexBatch<PackedGradientPairVertex>& batch,
               const std::vector<GradientPairVertex>& run)
{
    if (run.empty())
        return;
    PackedGradientPairVertex* out = &batch.vertices[openRun(batch, run.size())];
    for (const GradientPairVertex& v : run) {
        pack(v.position, out->position);
        for (int k = 0; k < 4; ++k) {
            out->x[k] = v.x[k];
            out->y[k] = v.y[k];
        }
        ++out;
    }
}

void appendRun(VertexBatch<PackedConstraintVertex>& batch, const std::vector<ConstraintVertex>& run)
{
    if (run.empty())
        return;
    PackedConstraintVertex* out = &batch.vertices[openRun(batch, run.size())];
    for (const ConstraintVertex& v : run) {
        pack(v.position, out->position);
        out->sideAndHeight[0] = v.side;
        out->sideAndHeight[1] = kStripHeight;
        for (int k = 0; k < 4; ++k) {
            out->rightLeft[k][0] = v.right[k];
            out->rightLeft[k][1] = v.left[k];
        }
        ++out;
    }
}

void appendRun(VertexBatch<PackedBlurVertex>& batch, const std::vector<BlurVertex>& run)
{
    if (run.empty())
        return;
    PackedBlurVertex* out = &batch.vertices[openRun(batch, run.size())];
    for (const BlurVertex& v : run) {
        pack(v.position, out->position);
        out->grey[0] = out->grey[1] = out->grey[2] = v.grey;
        ++out;
    }
}

void appendRun(VertexBatch<PackedPoint>& batch, const std::vector<Point>& run)
{
    if (run.empty())
        return;
    PackedPoint* out = &batch.vertices[openRun(batch, run.size())];
    for (const Point& p : run)
        pack(p, (out++)->position);
}
