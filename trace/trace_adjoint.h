#pragma once

#include <array>
#include <vector>

class CurveSet;

// A direction in which to move the colour points of a drawing so that its render comes closer
// to a target, computed on the CPU through a model of the solver: a pixel covered by exactly
// one curve's colour strip (2.5 pixels to each side) holds that curve's interpolated colour,
// every other pixel is the average of its neighbours (the crossings' gradient terms and the
// blur are left out). For the residual r (target less render), the pull on a colour point is
// the sum, over the strip pixels it colours and by its interpolation weight, of r there plus
// what the free pixels beside them carry back (v solving the free pixels' Laplace equation with
// r on the right, zero on the strips: the adjoint of the model's diffusion). Each pull is
// divided by the number of strip pixels the point colours, so that a point of a short stretch
// moves as far as one of a long stretch (a diagonal scaling of the steepest descent).
//
// `residual` holds red, green and blue per pixel of a width x height canvas, rows top first.
// Returns one value per colour point, in order: per curve, its left points then its right ones.
std::vector<std::array<double, 3>> colorDescentDirection(const CurveSet& drawing,
                                                         const std::vector<float>& residual,
                                                         int width, int height);
