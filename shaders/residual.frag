#version 120
#extension GL_ARB_texture_rectangle : require
// Residual of the estimate u: r = rhs - laplacian(u) on the 5-point stencil with reflecting
// border, zero on fixed texels (alpha of fixedMap above 0.1). rhsWeight is 1 for a Poisson
// problem and 0 for a Laplace one.
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float rhsWeight;

vec3 u(vec2 q)
{
    return texture2DRect(imgMap, q).rgb;
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    if (texture2DRect(fixedMap, p).a > 0.1) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec3 laplacian = u(p + vec2(1.0, 0.0)) + u(p - vec2(1.0, 0.0)) + u(p + vec2(0.0, 1.0))
                   + u(p - vec2(0.0, 1.0)) - 4.0 * u(p);
    gl_FragColor = vec4(rhsWeight * texture2DRect(divMap, p).rgb - laplacian, 1.0);
}
