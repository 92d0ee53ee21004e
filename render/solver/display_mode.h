#pragma once

// Which of the solver's images a frame shows (SolverDisplay::draw); the values are the
// solver's mode numbers.
enum class DisplayMode : int {
    Picture = 0,          // the diffused colours
    ColorConstraints = 1, // the colour constraints
    BlurConstraints = 2,  // the blur constraints
    BlurMap = 3,          // the blur solution
    Background = 4,       // nothing but the background
    GradientX = 5,        // the horizontal gradient
    GradientY = 6,        // the vertical gradient
};
