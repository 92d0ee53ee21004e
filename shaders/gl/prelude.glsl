// Compiled into every shader: the renderer inserts this file after a shader's #version and
// #extension lines, with CONSTRAINT_ALPHA_THRESHOLD (the C++ side's kConstraintAlphaThreshold)
// and the program's own definitions before it. Messages about these lines name source 1.

// True for a texel of a constraint image that fixes its value for the solve: alpha above the
// threshold (the strips write the encoded opacity, at least OPACITY_FLOOR; free texels hold 0).
bool isConstrained(vec4 constraint)
{
    return constraint.a > CONSTRAINT_ALPHA_THRESHOLD;
}

// The off-centre part of a coarse level's 9-point operator applied at one texel: `a` (stencilA)
// weighs the west, east, south and north values, `b` (stencilB) the south-west, south-east,
// north-west and north-east ones. The centre's coefficient is stencilC's x.
vec4 neighbourSum(vec4 a, vec4 b, vec4 west, vec4 east, vec4 south, vec4 north, vec4 southWest,
                  vec4 southEast, vec4 northWest, vec4 northEast)
{
    return a.x * west + a.y * east + a.z * south + a.w * north + b.x * southWest
         + b.y * southEast + b.z * northWest + b.w * northEast;
}

// The opacity (0..1) of a diffused colour, whose alpha holds it encoded (see encodedOpacity).
float opacityOf(vec4 diffused)
{
    return (diffused.a - OPACITY_FLOOR) / (1.0 - OPACITY_FLOOR);
}

// The alpha a diffused colour of opacity `a` holds: OPACITY_FLOOR + (1 - OPACITY_FLOOR) a, 1 for
// an opaque colour, never below the constraint threshold.
float encodedOpacity(float a)
{
    return OPACITY_FLOOR + (1.0 - OPACITY_FLOOR) * a;
}
