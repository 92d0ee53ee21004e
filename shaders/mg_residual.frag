#version 120
#extension GL_ARB_texture_rectangle : require
// Residual f - A e of a coarse level's correction e, zero on fixed texels. The 9-point operator
// is laid out as in mg_smooth.frag.
uniform sampler2DRect imgMap;
uniform sampler2DRect rhsMap;
uniform sampler2DRect stencilA;
uniform sampler2DRect stencilB;
uniform sampler2DRect stencilC;

vec3 e(vec2 q)
{
    return texture2DRect(imgMap, q).rgb;
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 c = texture2DRect(stencilC, p);
    if (c.a > 0.5) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec4 a = texture2DRect(stencilA, p);
    vec4 b = texture2DRect(stencilB, p);
    vec3 product = c.x * e(p) + a.x * e(p + vec2(-1.0, 0.0)) + a.y * e(p + vec2(1.0, 0.0))
                 + a.z * e(p + vec2(0.0, -1.0)) + a.w * e(p + vec2(0.0, 1.0))
                 + b.x * e(p + vec2(-1.0, -1.0)) + b.y * e(p + vec2(1.0, -1.0))
                 + b.z * e(p + vec2(-1.0, 1.0)) + b.w * e(p + vec2(1.0, 1.0));
    gl_FragColor = vec4(texture2DRect(rhsMap, p).rgb - product, 1.0);
}
