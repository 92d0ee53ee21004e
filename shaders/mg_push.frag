#version 120
#extension GL_ARB_texture_rectangle : require
// The push half of a first estimate for a solve from nothing (pull-push): a texel keeps the value
// the pull gave it (pulledMap) as far as it is known (its alpha; on the finest level, fromMask 1,
// fixed texels are known fully) and takes the rest from the coarser level's estimate,
// interpolated bilinearly (texel x lies on coarser texel x / 2). The coarsest level
// (hasCoarser 0) takes the rest from emptyValue, which only a level with nothing known keeps.
uniform sampler2DRect pulledMap;
uniform sampler2DRect coarserMap;
uniform float fromMask;
uniform float hasCoarser;
uniform float emptyValue;

vec3 coarser(vec2 q)
{
    return texture2DRect(coarserMap, q + vec2(0.5)).rgb;
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 pulled = texture2DRect(pulledMap, p);
    float known = fromMask > 0.5 ? (pulled.a > 0.1 ? 1.0 : 0.0) : pulled.a;
    vec3 rest = vec3(emptyValue);
    if (hasCoarser > 0.5) {
        vec2 cell = floor(p);
        vec2 base = floor(0.5 * cell);
        vec2 t = 0.5 * (cell - 2.0 * base);
        vec3 low = mix(coarser(base), coarser(base + vec2(1.0, 0.0)), t.x);
        vec3 high = mix(coarser(base + vec2(0.0, 1.0)), coarser(base + vec2(1.0, 1.0)), t.x);
        rest = mix(low, high, t.y);
    }
    gl_FragColor = vec4(mix(rest, pulled.rgb, known), 1.0);
}
