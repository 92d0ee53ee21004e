#version 120
#extension GL_ARB_texture_rectangle : require
// Adds the coarser level's correction, interpolated bilinearly, to a coarse level's estimate:
// finer texel x lies on coarser texel x / 2, halfway between two when x is odd. Fixed texels
// (alpha of fixedMap, the finer level's stencilC, above 0.5) hold a zero correction.
uniform sampler2DRect imgMap;
uniform sampler2DRect correctionMap;
uniform sampler2DRect fixedMap;

Diffused corr(vec2 q)
{
    return diffusedPart(texture2DRect(correctionMap, q + vec2(0.5)));
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    if (texture2DRect(fixedMap, p).a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
    vec2 cell = floor(p);
    vec2 base = floor(0.5 * cell);
    vec2 t = 0.5 * (cell - 2.0 * base);
    Diffused low = mix(corr(base), corr(base + vec2(1.0, 0.0)), t.x);
    Diffused high = mix(corr(base + vec2(0.0, 1.0)), corr(base + vec2(1.0, 1.0)), t.x);
    gl_FragColor = asTexel(diffusedPart(texture2DRect(imgMap, p)) + mix(low, high, t.y));
}
