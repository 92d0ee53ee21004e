#pragma once

#include "point.h"
#include "view.h"

#include <algorithm>
#include <cmath>
#include <limits>

// An axis-aligned rectangle of the canvas, in canvas units (the canvas spans -1 .. 1 at zoom 1),
// edges included. The default rectangle is empty: it meets nothing, and uniting it with another
// gives the other. Needs no GL.
struct CanvasRect {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool isEmpty() const { return !(minX <= maxX && minY <= maxY); }

    void unite(const Point& p)
    {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    void unite(const CanvasRect& o)
    {
        if (o.isEmpty())
            return;
        minX = std::min(minX, o.minX);
        minY = std::min(minY, o.minY);
        maxX = std::max(maxX, o.maxX);
        maxY = std::max(maxY, o.maxY);
    }
    // Every edge moved out by `d` canvas units (in by -d); an empty rectangle stays empty.
    CanvasRect grown(double d) const
    {
        if (isEmpty())
            return *this;
        return {minX - d, minY - d, maxX + d, maxY + d};
    }
    // True when both are non-empty and share at least one point (touching edges count).
    bool intersects(const CanvasRect& o) const
    {
        return !isEmpty() && !o.isEmpty() && minX <= o.maxX && o.minX <= maxX && minY <= o.maxY
               && o.minY <= maxY;
    }
    bool contains(const Point& p) const
    {
        return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY;
    }
};

// A block of pixels of an image: columns x .. x + width - 1, rows y .. y + height - 1, rows
// counted from the bottom as GL does. Empty when width or height is 0.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }
};

// The index of the pixel of a row or column of `size` pixels that holds `fraction` (0 .. 1) of
// it, clamped to 0 .. size - 1; NaN gives 0.
inline int pixelAtFraction(double fraction, int size)
{
    if (!(fraction > 0.0))
        return 0;
    return int(std::min(std::floor(size * fraction), double(size - 1)));
}

// The smallest block holding both `a` and `b` (neither empty).
inline PixelRect boundingBlock(const PixelRect& a, const PixelRect& b)
{
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

// The pixels of an imageWidth x imageHeight image drawn at `view` (canvas point p lands at
// zoom * (p + pan) in normalised device coordinates, the image covering -1 .. 1) that `rect`
// reaches, grown by `marginPixels` whole pixels on every side and clipped to the image. Empty
// for an empty rectangle or one wholly outside the image. view.zoom must be positive.
inline PixelRect pixelsCovering(const CanvasRect& rect, const View& view, int imageWidth,
                                int imageHeight, int marginPixels)
{
    if (rect.isEmpty())
        return {};
    const Point low = view.canvasToNdc({rect.minX, rect.minY});
    const Point high = view.canvasToNdc({rect.maxX, rect.maxY});
    // Pixel edges in double, clipped to the image before the conversion so that a far-away
    // rectangle cannot overflow an int.
    const auto first = [marginPixels](double ndc, int size) {
        const double edge = std::floor((ndc + 1.0) * 0.5 * size) - marginPixels;
        return int(std::clamp(edge, 0.0, double(size)));
    };
    const auto end = [marginPixels](double ndc, int size) {
        const double edge = std::floor((ndc + 1.0) * 0.5 * size) + 1.0 + marginPixels;
        return int(std::clamp(edge, 0.0, double(size)));
    };
    const int x0 = first(low.x, imageWidth), y0 = first(low.y, imageHeight);
    const int x1 = end(high.x, imageWidth), y1 = end(high.y, imageHeight);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

// The canvas rectangle that the pixels of `pixels` cover in an imageWidth x imageHeight image
// at `view` (the inverse of pixelsCovering without margin). view.zoom must be positive.
inline CanvasRect canvasOfPixels(const PixelRect& pixels, const View& view, int imageWidth,
                                 int imageHeight)
{
    if (pixels.isEmpty())
        return {};
    const auto ndc = [](int i, int size) { return 2.0 * i / size - 1.0; };
    const Point low = view.ndcToCanvas({ndc(pixels.x, imageWidth), ndc(pixels.y, imageHeight)});
    const Point high = view.ndcToCanvas(
        {ndc(pixels.x + pixels.width, imageWidth), ndc(pixels.y + pixels.height, imageHeight)});
    return {low.x, low.y, high.x, high.y};
}
