// The tracer's chain stages: edge pixels linked into ordered chains, junctions split.
#include "bitmap_tracer.h"

#include <algorithm>
#include <cmath>

namespace trace {
namespace {

// The eight neighbours in ring order, starting north, clockwise (y down).
const cv::Point kRing[8] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

bool touching(cv::Point a, cv::Point b)
{
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1;
}

// A copy of the edge map with a one-pixel empty frame, so that neighbours never leave it.
class PixelGrid {
public:
    explicit PixelGrid(const cv::Mat& edges)
    {
        cv::copyMakeBorder(edges != 0, set, 1, 1, 1, 1, cv::BORDER_CONSTANT, 0);
    }
    bool at(cv::Point p) const { return set.at<uchar>(p + cv::Point(1, 1)) != 0; }
    void clear(cv::Point p) { set.at<uchar>(p + cv::Point(1, 1)) = 0; }
    int width() const { return set.cols - 2; }
    int height() const { return set.rows - 2; }
    int neighbours(cv::Point p) const
    {
        int count = 0;
        for (const cv::Point& d : kRing)
            count += at(p + d);
        return count;
    }
    // A staircase corner: a horizontal and a vertical neighbour, at most three neighbours, all
    // touching one another (one 8-connected group), so that taking the pixel out leaves them
    // connected. A crossing of four lines keeps its centre.
    bool isStairCorner(cv::Point p) const
    {
        const bool vertical = at(p + kRing[0]) || at(p + kRing[4]);
        const bool horizontal = at(p + kRing[2]) || at(p + kRing[6]);
        if (!vertical || !horizontal || neighbours(p) > 3)
            return false;
        int group[8];
        for (int k = 0; k < 8; ++k)
            group[k] = at(p + kRing[k]) ? k : -1;
        // Merge touching neighbours until nothing changes (eight pixels: a few passes).
        for (bool merged = true; merged;) {
            merged = false;
            for (int a = 0; a < 8; ++a)
                for (int b = 0; b < 8; ++b)
                    if (group[a] >= 0 && group[b] > group[a] && touching(kRing[a], kRing[b])) {
                        group[b] = group[a];
                        merged = true;
                    }
        }
        int first = -1;
        for (int k = 0; k < 8; ++k) {
            if (group[k] < 0)
                continue;
            if (first >= 0 && group[k] != first)
                return false;
            first = group[k];
        }
        return true;
    }

private:
    cv::Mat set;
};

// Walks from `start` along unvisited pixels, four-neighbours first.
std::vector<cv::Point> walk(const PixelGrid& grid, cv::Mat& visited, cv::Point start)
{
    std::vector<cv::Point> run{start};
    visited.at<uchar>(start) = 1;
    for (cv::Point p = start;;) {
        bool moved = false;
        for (int pass = 0; pass < 2 && !moved; ++pass) {
            for (int k = pass; k < 8; k += 2) {
                const cv::Point q = p + kRing[k];
                if (grid.at(q) && !visited.at<uchar>(q)) {
                    visited.at<uchar>(q) = 1;
                    run.push_back(q);
                    p = q;
                    moved = true;
                    break;
                }
            }
        }
        if (!moved)
            return run;
    }
}

// Extends an open chain end into a neighbouring junction pixel; true when there is one.
bool reachJunction(std::vector<cv::Point>& run, const cv::Mat& junctions, bool atFront)
{
    const cv::Point end = atFront ? run.front() : run.back();
    for (const cv::Point& d : kRing) {
        const cv::Point q = end + d;
        if (q.x < 0 || q.y < 0 || q.x >= junctions.cols || q.y >= junctions.rows
            || !junctions.at<uchar>(q))
            continue;
        if (atFront)
            run.insert(run.begin(), q);
        else
            run.push_back(q);
        return true;
    }
    return false;
}

} // namespace

std::vector<Chain> linkEdges(const cv::Mat& edges)
{
    PixelGrid grid(edges);
    const int w = grid.width(), h = grid.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (grid.at({x, y}) && grid.isStairCorner({x, y}))
                grid.clear({x, y});
    cv::Mat junctions = cv::Mat::zeros(h, w, CV_8U);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (grid.at({x, y}) && grid.neighbours({x, y}) >= 3)
                junctions.at<uchar>(y, x) = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (junctions.at<uchar>(y, x))
                grid.clear({x, y});

    std::vector<Chain> chains;
    cv::Mat visited = cv::Mat::zeros(h, w, CV_8U);
    // Open chains first, from their ends; what is left are loops.
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const cv::Point p(x, y);
                if (!grid.at(p) || visited.at<uchar>(p) || (pass == 0 && grid.neighbours(p) > 1))
                    continue;
                Chain chain;
                chain.pixels = walk(grid, visited, p);
                chain.closed = pass == 1 && chain.pixels.size() > 3
                               && touching(chain.pixels.front(), chain.pixels.back());
                if (!chain.closed) {
                    chain.joinedEnds = reachJunction(chain.pixels, junctions, true)
                                       + reachJunction(chain.pixels, junctions, false);
                }
                chains.push_back(std::move(chain));
            }
        }
    }
    return chains;
}

std::vector<Chain> dropShortChains(std::vector<Chain> chains, double minLength)
{
    std::vector<Chain> kept;
    for (Chain& chain : chains) {
        double length = 0.0;
        for (size_t i = 1; i < chain.pixels.size(); ++i) {
            const cv::Point d = chain.pixels[i] - chain.pixels[i - 1];
            length += std::sqrt(double(d.x * d.x + d.y * d.y));
        }
        if (length >= (chain.joinedEnds == 2 ? std::min(2.0, minLength) : minLength))
            kept.push_back(std::move(chain));
    }
    return kept;
}

} // namespace trace
