#pragma once

#include <QImage>

#include <vector>

// Peak signal-to-noise ratio of `picture` against `reference` in dB over the red, green and blue
// channels (8-bit, peak 255), over the pixels where `counted` is true (all pixels without it;
// one flag per pixel, rows top first). Both pictures must have the same size; mismatched sizes
// or no counted pixel give 0. Identical pictures give infinity.
double picturePsnr(const QImage& picture, const QImage& reference,
                   const std::vector<bool>* counted = nullptr);
