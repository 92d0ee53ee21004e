// Compiled into every shader: the renderer inserts this file after a shader's #version and
// #extension lines, with CONSTRAINT_ALPHA_THRESHOLD (the C++ side's kConstraintAlphaThreshold)
// and the program's own definitions before it. Messages about these lines name source 1.

// True for a texel of a constraint image that fixes its value for the solve: alpha above the
// threshold (the strips write 1, free texels hold 0).
bool isConstrained(vec4 constraint)
{
    return constraint.a > CONSTRAINT_ALPHA_THRESHOLD;
}

// The off-centre part of a coarse level's 9-point operator applied at one texel: `a` (stencilA)
// weighs the west, east, south and north values, `b` (stencilB) the south-west, south-east,
// north-west and north-east ones. The centre's coefficient is stencilC's x.
vec3 neighbourSum(vec4 a, vec4 b, vec3 west, vec3 east, vec3 south, vec3 north, vec3 southWest,
                  vec3 southEast, vec3 northWest, vec3 northEast)
{
    return a.x * west + a.y * east + a.z * south + a.w * north + b.x * southWest
         + b.y * southEast + b.z * northWest + b.w * northEast;
}
