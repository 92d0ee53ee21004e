// The tracer's edge stages: edges at several scales, their sub-pixel positions and their blur.
#include "bitmap_tracer.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace trace {
namespace {

// Variance the 3 x 3 Sobel difference and the pixel grid add to a Gaussian edge profile.
constexpr double kSobelVariance = 0.4;

// Gradient of the bitmap smoothed with `sigma`: per pixel the structure tensor of the three
// channels' gradients, its largest eigenvalue's root as magnitude and its eigenvector as
// direction (per pixel of intensity, 0 .. 255 a channel).
Gradient gradientAt(const cv::Mat& rgbFloat, double sigma)
{
    cv::Mat smooth, gx, gy;
    cv::GaussianBlur(rgbFloat, smooth, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, gx, CV_32F, 1, 0, 3, 1.0 / 8.0, 0.0, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, gy, CV_32F, 0, 1, 3, 1.0 / 8.0, 0.0, cv::BORDER_REPLICATE);
    Gradient g;
    g.sigma = sigma;
    g.magnitude.create(rgbFloat.size(), CV_32F);
    g.dirX.create(rgbFloat.size(), CV_32F);
    g.dirY.create(rgbFloat.size(), CV_32F);
    for (int y = 0; y < rgbFloat.rows; ++y) {
        const auto* dx = gx.ptr<cv::Vec3f>(y);
        const auto* dy = gy.ptr<cv::Vec3f>(y);
        for (int x = 0; x < rgbFloat.cols; ++x) {
            const double jxx = dx[x].dot(dx[x]), jyy = dy[x].dot(dy[x]), jxy = dx[x].dot(dy[x]);
            const double root = std::sqrt(0.25 * (jxx - jyy) * (jxx - jyy) + jxy * jxy);
            const double largest = 0.5 * (jxx + jyy) + root;
            const double angle = 0.5 * std::atan2(2.0 * jxy, jxx - jyy);
            g.magnitude.at<float>(y, x) = float(std::sqrt(std::max(0.0, largest)));
            g.dirX.at<float>(y, x) = float(std::cos(angle));
            g.dirY.at<float>(y, x) = float(std::sin(angle));
        }
    }
    return g;
}

// Bilinear read of a CV_32F image at continuous position (x, y) (pixel centres at + 0.5).
float sampleAt(const cv::Mat& image, double x, double y)
{
    const double fx = std::clamp(x - 0.5, 0.0, image.cols - 1.0);
    const double fy = std::clamp(y - 0.5, 0.0, image.rows - 1.0);
    const int x0 = std::min(int(fx), image.cols - 1), y0 = std::min(int(fy), image.rows - 1);
    const int x1 = std::min(x0 + 1, image.cols - 1), y1 = std::min(y0 + 1, image.rows - 1);
    const double wx = fx - x0, wy = fy - y0;
    const double top = image.at<float>(y0, x0) * (1 - wx) + image.at<float>(y0, x1) * wx;
    const double bottom = image.at<float>(y1, x0) * (1 - wx) + image.at<float>(y1, x1) * wx;
    return float(top * (1 - wy) + bottom * wy);
}

// Scale index a chain pixel was found at.
int scaleOf(const EdgeMap& edges, const cv::Point& p)
{
    return std::max(0, int(edges.edges.at<uchar>(p)) - 1);
}

} // namespace

EdgeMap detectEdges(const cv::Mat& rgb, const Parameters& parameters)
{
    EdgeMap map;
    map.edges = cv::Mat::zeros(rgb.size(), CV_8U);
    cv::Mat rgbFloat;
    rgb.convertTo(rgbFloat, CV_32F);
    const double finest =
        std::sqrt(parameters.scales.front() * parameters.scales.front() + kSobelVariance);
    for (size_t k = 0; k < parameters.scales.size(); ++k) {
        const double sigma = parameters.scales[k];
        cv::Mat smooth, found;
        cv::GaussianBlur(rgb, smooth, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
        // A step's gradient falls as the profile widens: thresholds fall with the scale, so
        // that a coarse scale finds soft edges as strong as the sharp ones of a fine scale.
        const double fall = finest / std::sqrt(sigma * sigma + kSobelVariance);
        cv::Canny(smooth, found, parameters.lowThreshold * fall, parameters.highThreshold * fall, 3,
                  true);
        if (k == 0) {
            map.edges.setTo(1, found);
        } else {
            cv::Mat distance;
            cv::distanceTransform(map.edges == 0, distance, cv::DIST_L2, 3);
            map.edges.setTo(int(k + 1), found & (distance > 2.0 * sigma));
        }
        map.gradients.push_back(gradientAt(rgbFloat, sigma));
    }
    map.gradients.push_back(gradientAt(rgbFloat, 2.0 * parameters.scales.back()));
    return map;
}

QVector<Point> locateChain(const Chain& chain, const EdgeMap& edges)
{
    const int n = int(chain.pixels.size());
    QVector<Point> points(n);
    for (int i = 0; i < n; ++i) {
        const cv::Point& p = chain.pixels[i];
        const Gradient& g = edges.gradients[scaleOf(edges, p)];
        const Point centre(p.x + 0.5, p.y + 0.5);
        const Point dir(g.dirX.at<float>(p), g.dirY.at<float>(p));
        const double before = sampleAt(g.magnitude, centre.x - dir.x, centre.y - dir.y);
        const double here = g.magnitude.at<float>(p);
        const double after = sampleAt(g.magnitude, centre.x + dir.x, centre.y + dir.y);
        const double curvature = before - 2.0 * here + after;
        double shift = 0.0;
        if (curvature < 0.0)
            shift = std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
        points[i] = centre + dir * shift;
    }
    // One pass of [1 2 1] / 4 along the chain evens out the pixel grid's steps.
    QVector<Point> smooth = points;
    for (int i = 0; i < n; ++i) {
        const bool end = !chain.closed && (i == 0 || i == n - 1);
        if (end || n < 3)
            continue;
        const Point& a = points[(i + n - 1) % n];
        const Point& b = points[(i + 1) % n];
        smooth[i] = (a + points[i] * 2.0 + b) * 0.25;
    }
    return smooth;
}

double chainBlur(const Chain& chain, const EdgeMap& edges)
{
    // A Gaussian profile of sigma s seen at scales a < b peaks at A / sqrt(s^2 + a^2) and
    // A / sqrt(s^2 + b^2): their ratio r gives s^2 = (b^2 - r^2 a^2) / (r^2 - 1).
    std::vector<double> sigmas;
    for (const cv::Point& p : chain.pixels) {
        const Gradient& fine = edges.gradients[scaleOf(edges, p)];
        const Gradient& coarse = edges.gradients[scaleOf(edges, p) + 1];
        const double atCoarse = coarse.magnitude.at<float>(p);
        if (!(atCoarse > 0.0))
            continue;
        const double r = fine.magnitude.at<float>(p) / atCoarse;
        // No lone edge grows stronger at the coarser scale: where it does, a neighbouring edge
        // within reach of the coarser scale adds to it, and the pixel tells nothing of the blur.
        if (!(r * r > 1.0 + 1e-6))
            continue;
        const double a2 = fine.sigma * fine.sigma + kSobelVariance;
        const double b2 = coarse.sigma * coarse.sigma + kSobelVariance;
        const double s2 = (b2 - r * r * a2) / (r * r - 1.0);
        sigmas.push_back(std::sqrt(std::clamp(s2, 0.0, 16.0 * b2)));
    }
    if (sigmas.empty())
        return 0.0;
    std::nth_element(sigmas.begin(), sigmas.begin() + sigmas.size() / 2, sigmas.end());
    return sigmas[sigmas.size() / 2];
}

int blurValue(double sigma)
{
    // The blur pass smooths a pixel of blur value v in about v^2 - 1 cycles of two five-point
    // means, each adding a variance of 0.8 pixels^2.
    if (!(sigma >= 0.8))
        return 0;
    const double value = std::sqrt(sigma * sigma / 0.8 + 1.0);
    return std::clamp(int(std::lround(value)), 2, 16);
}

} // namespace trace
