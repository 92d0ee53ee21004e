#version 120
#extension GL_ARB_texture_rectangle : require
// Adds the coarse level's correction, interpolated bilinearly, to the finer level's estimate:
// finer texel x lies on coarse texel x / 2, halfway between two when x is odd. Fixed coarse
// texels hold a zero correction. Fixed finer texels (alpha of fixedMap above 0.1) take
// fixedValueWeight times the value fixedMap holds: their colour on the finest level, zero on a
// coarse one (whose stencilC carries no colour).
uniform sampler2DRect imgMap;
uniform sampler2DRect correctionMap;
uniform sampler2DRect fixedMap;
uniform float fixedValueWeight;

vec3 corr(vec2 q)
{
    return texture2DRect(correctionMap, q + vec2(0.5)).rgb;
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (fixedValue.a > 0.1) {
        gl_FragColor = vec4(fixedValueWeight * fixedValue.rgb, 1.0);
        return;
    }
    vec2 cell = floor(p);
    vec2 base = floor(0.5 * cell);
    vec2 t = 0.5 * (cell - 2.0 * base);
    vec3 low = mix(corr(base), corr(base + vec2(1.0, 0.0)), t.x);
    vec3 high = mix(corr(base + vec2(0.0, 1.0)), corr(base + vec2(1.0, 1.0)), t.x);
    gl_FragColor = vec4(texture2DRect(imgMap, p).rgb + mix(low, high, t.y), 1.0);
}
