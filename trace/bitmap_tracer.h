#pragma once

#include "curve.h"
#include "curve_set.h"
#include "point.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

#include <functional>
#include <vector>

// What the tracer is asked for. Both run from 0 to 1; the defaults suit a typical photo.
struct TraceSettings {
    // How much of the picture becomes curves: more detail keeps shorter edges and fits them more
    // tightly (more, shorter curves).
    double detail = 0.5;
    // How weak an edge may be and still be traced.
    double sensitivity = 0.5;
};

// The traced drawing, or why it is empty.
struct TraceResult {
    CurveSet drawing;
    QString note; // empty when curves were found; otherwise why none were
    bool cancelled = false;
};

// Told the share done so far (0 .. 100); returns false to stop the trace.
using TraceProgress = std::function<bool(int percent)>;

// Traces `bitmap` into a drawing of cubic Bezier curves along its edges, with the colours of both
// sides and the blur of soft edges. The bitmap fills the canvas (-1 .. 1 on both axes, its aspect
// ratio ignored, as the example bitmap is shown). Any QImage format traces: greyscale, indexed,
// 16-bit; alpha is laid over white. A null, one-pixel or flat bitmap gives an empty drawing with
// the reason in `note`. The stages, in order:
//   toRgb -> detectEdges -> linkEdges -> joinAtJunctions -> dropShortChains -> then per chain:
//   locateChain -> fitBeziers -> chainBlur -> makeCurve -> sampleSideColors
TraceResult traceBitmap(const QImage& bitmap, const TraceSettings& settings = {},
                        const TraceProgress& progress = {});

// The stages of the tracer, each a free function with its own inputs and outputs.
// Positions along the way are in bitmap pixels: x to the right, y down, pixel (i, j) covering
// [i, i + 1] x [j, j + 1].
namespace trace {

// What the settings and the bitmap's size make of each stage. Lengths are in bitmap pixels.
struct Parameters {
    std::vector<double> scales; // Gaussian sigmas of the edge search, finest first
    double highThreshold = 0.0; // Canny's thresholds at the finest scale (8-bit Sobel units)
    double lowThreshold = 0.0;
    double minChainLength = 0.0; // shorter chains are dropped
    double fitTolerance = 0.0;   // largest distance of an edge point from its fitted curve
    double colorTolerance = 0.0; // L*a*b* error allowed when thinning the colour points
    double canvasPixel = 1.0;    // bitmap pixels per pixel of the 512 x 512 canvas
};
Parameters parametersFor(const TraceSettings& settings, int width, int height);

// The bitmap as 8-bit RGB (CV_8UC3), alpha laid over white; empty for a null bitmap.
cv::Mat toRgb(const QImage& bitmap);

// True when no channel varies by more than one level (nothing to trace).
bool isFlat(const cv::Mat& rgb);

// Gradient of the bitmap smoothed at one scale: magnitude and unit direction of the strongest
// colour change (the principal direction of the channels' gradients), CV_32F each.
struct Gradient {
    double sigma = 0.0;
    cv::Mat magnitude, dirX, dirY;
};

// Edges at several scales: Canny on the bitmap smoothed with each sigma of the scale space. An
// edge found at a coarser scale is kept only where no finer edge lies within two of its sigmas.
struct EdgeMap {
    cv::Mat edges;                   // CV_8U: 0 none, else 1 + index of the scale it was found at
    std::vector<Gradient> gradients; // one per scale, and one more at twice the coarsest
};
EdgeMap detectEdges(const cv::Mat& rgb, const Parameters& parameters);

// A run of 8-connected edge pixels in order.
struct Chain {
    std::vector<cv::Point> pixels;
    bool closed = false;                          // the last pixel touches the first
    int joinedEnds = 0;                           // ends that reach a junction (0 .. 2)
    bool frontJoined = false, backJoined = false; // which ends they are
};

// Links edge pixels (any non-zero pixel of `edges`) into chains. Staircase corners are thinned
// away first; pixels with three or more neighbours are junctions and split the chains meeting
// there, each chain reaching into the junction by one pixel so that no gap opens.
std::vector<Chain> linkEdges(const cv::Mat& edges);

// Joins the chains that run on through a junction or across a gap: two open ends at most 12
// pixels apart whose directions continue each other within 45 degrees (and, across a gap, point
// along it) become one chain, bridged by a straight run of pixels; the best-continuing pairs
// first, each end joined once. A line crossing others thus stays one chain, as it was drawn,
// instead of one piece between every two crossings. Chains whose ends all join in a ring become
// closed.
std::vector<Chain> joinAtJunctions(const std::vector<Chain>& chains);

// The chains whose length (sum of pixel steps) reaches `minLength`. A chain joined to junctions
// at both ends closes a region between other chains: it is kept from two pixel steps on, lest the
// colours of the region leak out.
std::vector<Chain> dropShortChains(std::vector<Chain> chains, double minLength);

// Sub-pixel positions of a chain: each pixel's centre moved along the gradient direction of its
// scale to the peak of the gradient magnitude, then lightly smoothed along the chain.
QVector<Point> locateChain(const Chain& chain, const EdgeMap& edges);

// Control points (3k + 1, bitmap pixels) of cubic Bezier segments through `points`, split until
// every point lies within `tolerance` of its segment; least-squares tangent-length fits with the
// parameters refined by Newton steps. A closed chain gives a closed spline (last point = first).
// Empty for fewer than two distinct points.
QVector<Point> fitBeziers(const QVector<Point>& points, bool closed, double tolerance);

// Gaussian sigma (bitmap pixels) of the edge profile along a chain: the median over its pixels
// of the ratio of gradient magnitudes at the scale it was found and at twice that scale, turned
// into the blur that gives this ratio. 0 for a sharp edge.
double chainBlur(const Chain& chain, const EdgeMap& edges);

// The renderer's blur value (0 .. 16) that softens a sharp edge to about `sigma` canvas pixels;
// 0 below the softest blur the renderer makes.
int blurValue(double sigma);

// A curve with the control points `control` (bitmap pixels of a width x height bitmap, mapped to
// the canvas), closed or open, with `blur` at both ends and no colour points yet.
Curve makeCurve(const QVector<Point>& control, bool closed, int width, int height, int blur);

// Reads the colours `offset` bitmap pixels to each side of the curve along its sample walk and
// gives each side the fewest colour points that reproduce them within `tolerance` (L*a*b*).
void sampleSideColors(Curve& curve, const cv::Mat& rgb, double offset, double tolerance);

} // namespace trace
