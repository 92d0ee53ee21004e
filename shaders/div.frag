#version 120
#extension GL_ARB_texture_rectangle : require
// Divergence of the colour-jump field, per channel. Gradients are stored as 0.5 + 0.5 g, g being
// the colour jump into a pixel from its left (x) or lower (y) neighbour. The forward difference
// below is the adjoint of that backward difference, so that div = laplacian(u) exactly when
// g = grad(u): a jump of J between columns c - 1 and c gives +J at c - 1 and -J at c.
// The result is stored signed (no offset).
uniform sampler2DRect gxMap;
uniform sampler2DRect gyMap;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec3 gx0 = texture2DRect(gxMap, p).rgb;
    vec3 gx1 = texture2DRect(gxMap, p + vec2(1.0, 0.0)).rgb;
    vec3 gy0 = texture2DRect(gyMap, p).rgb;
    vec3 gy1 = texture2DRect(gyMap, p + vec2(0.0, 1.0)).rgb;
    gl_FragColor = vec4(2.0 * ((gx1 - gx0) + (gy1 - gy0)), 1.0);
}
