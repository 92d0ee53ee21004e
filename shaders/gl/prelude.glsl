// Compiled into every shader: the renderer inserts this file after a shader's #version and
// #extension lines, with CONSTRAINT_ALPHA_THRESHOLD (the C++ side's kConstraintAlphaThreshold)
// and the program's own definitions before it. Messages about these lines name source 1.

// True for a texel of a constraint image that fixes its value for the solve: alpha above the
// threshold (the strips write the encoded opacity, at least OPACITY_FLOOR; free texels hold 0).
bool isConstrained(vec4 constraint)
{
    return constraint.a > CONSTRAINT_ALPHA_THRESHOLD;
}

// The channels the solver's programs diffuse: red, green and blue as `Diffused` (a vec3) for a
// drawing whose colour points are all opaque, whose pictures hold alpha 1 (the images' alpha is
// neither read nor solved, and every value written gets alpha 1); with DIFFUSE_OPACITY defined
// also the encoded opacity in alpha (a vec4). diffusedPart(t) is the part of a texel t that is
// diffused, asTexel(d) the texel written for diffused value d.
#ifdef DIFFUSE_OPACITY
#define Diffused vec4
#define diffusedPart(t) (t)
#define asTexel(d) (d)
#else
#define Diffused vec3
#define diffusedPart(t) ((t).rgb)
#define asTexel(d) vec4(d, 1.0)
#endif

// The off-centre part of a coarse level's 9-point operator applied at one texel: `a` (stencilA)
// weighs the west, east, south and north values, `b` (stencilB) the south-west, south-east,
// north-west and north-east ones. The centre's coefficient is stencilC's x.
Diffused neighbourSum(vec4 a, vec4 b, Diffused west, Diffused east, Diffused south,
                      Diffused north, Diffused southWest, Diffused southEast, Diffused northWest,
                      Diffused northEast)
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
