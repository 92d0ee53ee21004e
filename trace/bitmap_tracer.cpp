// The bitmap tracer's driver, its parameters and the bitmap's conversion for OpenCV.
#include "bitmap_tracer.h"

#include "shared_constants.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>

namespace trace {

Parameters parametersFor(const TraceSettings& settings, int width, int height)
{
    const double detail = std::clamp(settings.detail, 0.0, 1.0);
    const double sensitivity = std::clamp(settings.sensitivity, 0.0, 1.0);
    Parameters p;
    // Bitmaps larger than the canvas are searched at scales grown with them, so that a trace
    // finds the same edges at every size; smaller ones keep the canvas's finest scale.
    p.canvasPixel = std::max(width, height) / double(kCanvasSize);
    const double grow = std::max(1.0, p.canvasPixel);
    p.scales = {1.0 * grow, 2.0 * grow, 4.0 * grow};
    // An 8-bit step of contrast A gives a Sobel peak of about 3.2 A at sigma 1: sensitivity 0.5
    // traces steps of about 25 levels, 0 of 50, 1 of 12.
    p.highThreshold = 160.0 * std::pow(0.25, sensitivity);
    p.lowThreshold = 0.4 * p.highThreshold;
    // Detail 0.5 keeps edges from 8 canvas pixels on: on photos of busy scenes, shorter ones
    // still gain PSNR, at a few thousand curves.
    p.minChainLength = (4.0 + 8.0 * (1.0 - detail)) * p.canvasPixel;
    p.fitTolerance = (0.1 + 0.2 * (1.0 - detail)) * p.canvasPixel;
    p.colorTolerance = 4.0 + 5.0 * (1.0 - detail);
    return p;
}

cv::Mat toRgb(const QImage& bitmap)
{
    if (bitmap.isNull())
        return cv::Mat();
    const QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
    cv::Mat rgb(argb.height(), argb.width(), CV_8UC3);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* out = rgb.ptr<cv::Vec3b>(y);
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(line[x]);
            auto over = [a](int c) { return uchar((c * a + 255 * (255 - a) + 127) / 255); };
            out[x] = cv::Vec3b(over(qRed(line[x])), over(qGreen(line[x])), over(qBlue(line[x])));
        }
    }
    return rgb;
}

bool isFlat(const cv::Mat& rgb)
{
    std::vector<cv::Mat> channels;
    cv::split(rgb, channels);
    for (const cv::Mat& c : channels) {
        double low = 0.0, high = 0.0;
        cv::minMaxLoc(c, &low, &high);
        if (high - low > 1.0)
            return false;
    }
    return true;
}

} // namespace trace

namespace {

// Bitmap pixels from a curve to where its side colours are read: inside the strip of fixed
// colour the renderer lays beside a curve (2.5 canvas pixels), beyond the soft part of a blurred
// edge.
double sideOffset(double sigma, const trace::Parameters& p)
{
    return std::min(1.5 * p.canvasPixel + 2.0 * sigma, 16.0 * p.canvasPixel);
}

// One curve from one chain: position, fit, blur, colours.
bool traceChain(const trace::Chain& chain, const trace::EdgeMap& edges, const cv::Mat& rgb,
                const trace::Parameters& p, Curve* curve)
{
    const QVector<Point> points = trace::locateChain(chain, edges);
    const QVector<Point> control = trace::fitBeziers(points, chain.closed, p.fitTolerance);
    if (control.size() < 4)
        return false;
    const double sigma = trace::chainBlur(chain, edges);
    *curve = trace::makeCurve(control, chain.closed, rgb.cols, rgb.rows,
                              trace::blurValue(sigma / p.canvasPixel));
    trace::sampleSideColors(*curve, rgb, sideOffset(sigma, p), p.colorTolerance);
    return true;
}

} // namespace

TraceResult traceBitmap(const QImage& bitmap, const TraceSettings& settings,
                        const TraceProgress& progress)
{
    TraceResult result;
    auto report = [&](int percent) {
        result.cancelled = progress && !progress(percent);
        return !result.cancelled;
    };
    const cv::Mat rgb = trace::toRgb(bitmap);
    if (rgb.empty()) {
        result.note = QStringLiteral("the bitmap is empty: nothing to trace");
        return result;
    }
    if (rgb.total() < 2 || trace::isFlat(rgb)) {
        result.note = QStringLiteral("the bitmap is flat (one colour): nothing to trace");
        return result;
    }
    const trace::Parameters p = trace::parametersFor(settings, rgb.cols, rgb.rows);
    if (!report(0))
        return result;
    const trace::EdgeMap edges = trace::detectEdges(rgb, p);
    if (!report(30))
        return result;
    const std::vector<trace::Chain> chains =
        trace::dropShortChains(trace::joinAtJunctions(trace::linkEdges(edges.edges)),
                               p.minChainLength);
    if (!report(40))
        return result;
    for (size_t i = 0; i < chains.size(); ++i) {
        Curve curve;
        if (traceChain(chains[i], edges, rgb, p, &curve))
            result.drawing.addCurve(curve);
        if (i % 64 == 63 && !report(40 + int(60 * i / chains.size())))
            return TraceResult{CurveSet(), QString(), true};
    }
    if (!report(100))
        return TraceResult{CurveSet(), QString(), true};
    result.drawing.setCurrentCurve(-1);
    if (result.drawing.nb_curves == 0)
        result.note = QStringLiteral("no edge is strong or long enough to trace: raise the "
                                     "sensitivity or the detail");
    return result;
}
