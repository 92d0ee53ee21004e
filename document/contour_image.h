#pragma once

#include <QImage>

// Contour image of an example bitmap, the target of contour snapping: opaque grey levels where
// dark means a strong colour edge and white a flat area, inside a one-pixel opaque black frame.
//
// For every interior pixel and each of red, green and blue, two 3 x 3 Sobel-like sums are formed
// with the kernel K = [[-0.25, 0, 0.25], [-0.5, 0, 0.5], [-0.25, 0, 0.25]]: gv (change along y)
// weighs neighbour (x + dx, y + dy) by K[dx + 1][dy + 1], gh (change along x) by K[dy + 1][dx + 1].
// Neighbours are visited dx = -1..1 outside, dy = -1..1 inside, and the running sum is truncated
// towards zero after every product. m_c = integer part of sqrt(gh^2 + gv^2) in single precision,
// m = max over the channels, and the pixel becomes grey 255 - m, clamped to 0 when m > 255.
//
// The result has the size of `example` in Format_ARGB32. An image narrower or lower than three
// pixels is all frame (black); a null image gives a null image.
QImage computeContourImage(const QImage& example);
