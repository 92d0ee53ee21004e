#version 120
#extension GL_ARB_texture_rectangle : require
// The residual pass and the full-weighting restriction in one, for the small levels where a
// pass costs more than its arithmetic: coarse texel I gathers the residuals r = rhs -
// laplacian(u) of the 4 x 4 finer texels around its children, weighted (1, 3, 3, 1) / 4 on each
// axis, as restrict_full.frag reads them from residual.frag's image (a texel beyond the edge
// repeats the edge one; fixed texels have no residual).
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float fineWidth;
uniform float fineHeight;

vec3 u(vec2 q)
{
    return texture2DRect(imgMap, q).rgb;
}

vec3 residual(vec2 c)
{
    c = clamp(c, vec2(0.5), vec2(fineWidth, fineHeight) - vec2(0.5));
    if (texture2DRect(fixedMap, c).a > 0.1)
        return vec3(0.0);
    vec3 laplacian = u(c + vec2(1.0, 0.0)) + u(c - vec2(1.0, 0.0)) + u(c + vec2(0.0, 1.0))
                   + u(c - vec2(0.0, 1.0)) - 4.0 * u(c);
    return texture2DRect(divMap, c).rgb - laplacian;
}

void main()
{
    vec2 origin = 2.0 * floor(gl_FragCoord.xy) - vec2(0.5);
    float weights[4];
    weights[0] = 0.25;
    weights[1] = 0.75;
    weights[2] = 0.75;
    weights[3] = 0.25;
    vec3 sum = vec3(0.0);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            sum += weights[i] * weights[j] * residual(origin + vec2(float(i), float(j)));
    gl_FragColor = vec4(sum, 1.0);
}
