#version 120
#extension GL_ARB_texture_rectangle : require
// Next coarser level of a constraint image: the mean colour of the constrained finer texels
// (alpha above 0.1) with alpha 1, or (0, 0, 0, 0) when none of the four is constrained.
uniform sampler2DRect imgMap;

vec4 constrained(vec2 q)
{
    vec4 texel = texture2DRect(imgMap, q);
    float weight = texel.a > 0.1 ? 1.0 : 0.0;
    return vec4(texel.rgb * weight, weight);
}

void main()
{
    vec2 q = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    vec4 sum = constrained(q) + constrained(q + vec2(1.0, 0.0))
             + constrained(q + vec2(0.0, 1.0)) + constrained(q + vec2(1.0, 1.0));
    gl_FragColor = sum.a > 0.0 ? vec4(sum.rgb / sum.a, 1.0) : vec4(0.0);
}
