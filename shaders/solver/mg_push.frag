#version 120
#extension GL_ARB_texture_rectangle : require
// The push half of a first estimate for a solve from nothing (pull-push): a texel keeps the value
// the pull gave it (pulledMap) as far as it is known (knownMap's red; on the finest level,
// fromMask 1, fixed texels are known fully) and takes the rest from the coarser level's estimate,
// interpolated bilinearly (texel x lies on coarser texel x / 2). The coarsest level (the
// variant built with COARSEST defined, at most 5 x 5 texels) takes the rest from the mean of
// its known values, so
// that a drawing of one colour gives that colour everywhere; emptyValue (opaque) when nothing is
// known.
// Every mean and interpolation is written as a + w (b - a), which gives a exactly when b = a: a
// flat drawing's estimate is exactly flat, and so stays its solution.
uniform sampler2DRect pulledMap;
uniform sampler2DRect knownMap;
uniform sampler2DRect coarserMap;
uniform float fromMask;
uniform float emptyValue;
uniform float width;  // of this level
uniform float height;

Diffused meanOfKnown()
{
    Diffused first = Diffused(0.0);
    Diffused sum = Diffused(0.0);
    float weight = 0.0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            vec2 q = vec2(float(x), float(y)) + vec2(0.5);
            if (q.x < width && q.y < height) {
                Diffused pulled = diffusedPart(texture2DRect(pulledMap, q));
                float known = texture2DRect(knownMap, q).r;
                if (known > 0.0 && weight == 0.0)
                    first = pulled;
                sum += known * (pulled - first);
                weight += known;
            }
        }
    }
    return weight > 0.0 ? first + sum / weight : diffusedPart(vec4(vec3(emptyValue), 1.0));
}

Diffused coarser(vec2 q)
{
    return diffusedPart(texture2DRect(coarserMap, q + vec2(0.5)));
}

Diffused between(Diffused a, Diffused b, float t)
{
    return a + t * (b - a);
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 pulledTexel = texture2DRect(pulledMap, p);
    Diffused pulled = diffusedPart(pulledTexel);
    float known =
        fromMask > 0.5 ? (isConstrained(pulledTexel) ? 1.0 : 0.0) : texture2DRect(knownMap, p).r;
    Diffused rest;
#ifdef COARSEST
    rest = meanOfKnown();
#else
    {
        vec2 cell = floor(p);
        vec2 base = floor(0.5 * cell);
        vec2 t = 0.5 * (cell - 2.0 * base);
        Diffused low = between(coarser(base), coarser(base + vec2(1.0, 0.0)), t.x);
        Diffused high = between(coarser(base + vec2(0.0, 1.0)), coarser(base + vec2(1.0, 1.0)), t.x);
        rest = between(low, high, t.y);
    }
#endif
    gl_FragColor = asTexel(known == 1.0 ? pulled : between(rest, pulled, known));
}
