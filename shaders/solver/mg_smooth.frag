#version 120
#extension GL_ARB_texture_rectangle : require
// Half a red-black Gauss-Seidel sweep of A e = f on a coarse level, for the texels whose x + y
// has the parity "parity" (0 red, 1 black); the others are copied. A is the level's 9-point
// operator: stencilA holds the coefficients of the west, east, south and north neighbours,
// stencilB those of the south-west, south-east, north-west and north-east ones, stencilC the
// centre, its inverse and, in alpha, 1 for a fixed texel (no unknown: its correction is 0).
uniform sampler2DRect imgMap;
uniform sampler2DRect rhsMap;
uniform sampler2DRect stencilA;
uniform sampler2DRect stencilB;
uniform sampler2DRect stencilC;
uniform float parity;

Diffused e(vec2 q)
{
    return diffusedPart(texture2DRect(imgMap, q));
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 c = texture2DRect(stencilC, p);
    if (c.a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
    bool updated = mod(floor(p.x) + floor(p.y), 2.0) == parity;
    if (!updated) {
        gl_FragColor = asTexel(e(p));
        return;
    }
    vec4 a = texture2DRect(stencilA, p);
    vec4 b = texture2DRect(stencilB, p);
    Diffused sum = neighbourSum(a, b, e(p + vec2(-1.0, 0.0)), e(p + vec2(1.0, 0.0)),
                            e(p + vec2(0.0, -1.0)), e(p + vec2(0.0, 1.0)), e(p + vec2(-1.0, -1.0)),
                            e(p + vec2(1.0, -1.0)), e(p + vec2(-1.0, 1.0)), e(p + vec2(1.0, 1.0)));
    gl_FragColor = asTexel((diffusedPart(texture2DRect(rhsMap, p)) - sum) * c.y);
}
