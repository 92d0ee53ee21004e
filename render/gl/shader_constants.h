#pragma once

// Values the shaders share with the C++ side of the renderer, defined here once. The renderer
// defines each in every shader it compiles (see shader_program.h).

// A texel of a constraint image fixes its value for the solve when its alpha is above this (the
// strips write 1, free texels hold 0). The shaders read it as CONSTRAINT_ALPHA_THRESHOLD through
// the prelude's isConstrained (shaders/gl/prelude.glsl); the display's alpha test shows the
// free texels of a constraint image as background by the same value.
constexpr double kConstraintAlphaThreshold = 0.1;

// The fourth channel of every colour the solver diffuses holds the opacity a (0..1) encoded as
// kOpacityFloor + (1 - kOpacityFloor) a, so that a constrained texel keeps an alpha above the
// threshold whatever its opacity (the colour channels hold the colour premultiplied by a). An
// opaque texel holds 1 as it always did; a clear one holds 1/3, exact in the 8 and 16-bit
// images (85 / 255, 21845 / 65535), so that clear stays exactly clear (in half floats it lies
// a hair below, which the output clamps to clear). The shaders read it as OPACITY_FLOOR
// (prelude's opacityOf, encodedOpacity).
constexpr double kOpacityFloor = 1.0 / 3.0;
