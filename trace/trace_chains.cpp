// The tracer's chain stages: edge pixels linked into ordered chains, junctions split, and the
// pieces that continue each other joined again.
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

// One end of a chain: which chain, which end, and the direction it leaves the chain in.
struct ChainEnd {
    int chain = 0;
    bool back = false;
    cv::Point pixel;
    cv::Point2d out;
};

// Ends at most this far apart (pixels) may be joined: across a junction or across the gap edge
// detection leaves where lines cross (on photos and drawings, 8 to 16 pixels joined best).
constexpr double kGapReach = 12.0;
// Two ends continue each other when their outward directions are opposite within 45 degrees;
// across a gap, the gap also runs along both within 45 degrees.
const double kContinuation = std::cos(45.0 * M_PI / 180.0);
const double kAlongGap = std::cos(45.0 * M_PI / 180.0);
// Pixels back from an end over which its direction is measured.
constexpr int kDirectionSpan = 5;

ChainEnd endOf(const Chain& chain, int index, bool back)
{
    const int n = int(chain.pixels.size());
    const int span = std::min(kDirectionSpan, n - 1);
    const cv::Point end = back ? chain.pixels[n - 1] : chain.pixels[0];
    const cv::Point inner = back ? chain.pixels[n - 1 - span] : chain.pixels[span];
    cv::Point2d out(end - inner);
    const double length = std::hypot(out.x, out.y);
    if (length > 0.0)
        out /= length;
    return {index, back, end, out};
}

// How well end b continues end a (larger is better), or a negative number when it does not.
double continuation(const ChainEnd& a, const ChainEnd& b)
{
    const double c = -a.out.dot(b.out);
    if (c < kContinuation)
        return -1.0;
    const cv::Point2d gap(b.pixel - a.pixel);
    const double length = std::hypot(gap.x, gap.y);
    if (length > kGapReach)
        return -1.0;
    if (length > 1.5
        && (gap.dot(a.out) < kAlongGap * length || -gap.dot(b.out) < kAlongGap * length))
        return -1.0;
    return c - 0.05 * length;
}

// partner[e] for every end e (2 chain + back) joined to another end, else -1: the ends that
// continue each other paired best first.
std::vector<int> pairEnds(const std::vector<Chain>& chains)
{
    std::vector<ChainEnd> ends;
    for (int i = 0; i < int(chains.size()); ++i)
        if (!chains[i].closed && chains[i].pixels.size() > 1)
            for (bool back : {false, true})
                ends.push_back(endOf(chains[i], i, back));
    std::sort(ends.begin(), ends.end(),
              [](const ChainEnd& a, const ChainEnd& b) { return a.pixel.x < b.pixel.x; });
    struct Candidate {
        double continuation;
        int a, b;
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < ends.size(); ++i)
        for (size_t j = i + 1; j < ends.size() && ends[j].pixel.x - ends[i].pixel.x <= kGapReach;
             ++j) {
            const double c = continuation(ends[i], ends[j]);
            if (c >= 0.0)
                candidates.push_back({c, int(i), int(j)});
        }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
        return x.continuation > y.continuation;
    });
    std::vector<int> partner(2 * chains.size(), -1);
    auto id = [&](int e) { return 2 * ends[e].chain + int(ends[e].back); };
    for (const Candidate& c : candidates) {
        if (partner[id(c.a)] >= 0 || partner[id(c.b)] >= 0)
            continue;
        partner[id(c.a)] = id(c.b);
        partner[id(c.b)] = id(c.a);
    }
    return partner;
}

// Appends `pixels` to `run`, bridging the step from run's last pixel with a straight line and
// leaving out a repeat of it.
void appendBridged(std::vector<cv::Point>& run, const std::vector<cv::Point>& pixels)
{
    if (pixels.empty())
        return;
    if (!run.empty()) {
        const cv::Point from = run.back(), to = pixels.front();
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
        for (int k = 1; k < steps; ++k)
            run.push_back(from + (to - from) * k / steps);
    }
    run.insert(run.end(), pixels.begin() + (!run.empty() && run.back() == pixels.front()),
               pixels.end());
}

} // namespace

std::vector<Chain> joinAtJunctions(const std::vector<Chain>& chains)
{
    const std::vector<int> partner = pairEnds(chains);
    std::vector<bool> used(chains.size(), false);
    std::vector<Chain> joined;
    // Walks from chain `first`, entered at its front (or its back with `reversed`).
    auto follow = [&](int first, bool reversed) {
        Chain out;
        out.frontJoined = reversed ? chains[first].backJoined : chains[first].frontJoined;
        int chain = first;
        bool fromBack = reversed;
        for (;;) {
            used[chain] = true;
            std::vector<cv::Point> pixels = chains[chain].pixels;
            if (fromBack)
                std::reverse(pixels.begin(), pixels.end());
            appendBridged(out.pixels, pixels);
            const int exit = 2 * chain + int(!fromBack);
            out.backJoined = fromBack ? chains[chain].frontJoined : chains[chain].backJoined;
            const int next = partner[exit];
            if (next < 0)
                break;
            if (next / 2 == first) { // round to the start: a ring
                out.closed = true;
                out.frontJoined = out.backJoined = false;
                if (out.pixels.size() > 1 && out.pixels.back() == out.pixels.front())
                    out.pixels.pop_back();
                break;
            }
            chain = next / 2;
            fromBack = next % 2 == 1;
        }
        out.joinedEnds = out.frontJoined + out.backJoined;
        joined.push_back(std::move(out));
    };
    // Paths start at ends that join nothing; what is left are rings.
    for (int i = 0; i < int(chains.size()); ++i) {
        if (used[i])
            continue;
        if (chains[i].closed) {
            used[i] = true;
            joined.push_back(chains[i]);
        } else if (partner[2 * i] < 0) {
            follow(i, false);
        } else if (partner[2 * i + 1] < 0) {
            follow(i, true);
        }
    }
    for (int i = 0; i < int(chains.size()); ++i)
        if (!used[i])
            follow(i, false);
    return joined;
}

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
                    chain.frontJoined = reachJunction(chain.pixels, junctions, true);
                    chain.backJoined = reachJunction(chain.pixels, junctions, false);
                    chain.joinedEnds = chain.frontJoined + chain.backJoined;
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
