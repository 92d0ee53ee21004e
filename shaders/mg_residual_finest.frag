#version 120
#extension GL_ARB_texture_rectangle : require
// Residual of the finest level's estimate u, in the sign of the coarse levels' operator:
//   r(p) = sum over in-canvas neighbours n of (u(n) - u(p)) - rhsWeight * div(p)
// on free texels, zero on fixed ones (alpha of fixedMap above 0.1). The error e of u solves
// A e = r with A the negated Laplacian on the free texels, which the coarse levels carry.
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float rhsWeight;
uniform float width;
uniform float height;

void main()
{
    vec2 p = gl_FragCoord.xy;
    if (texture2DRect(fixedMap, p).a > 0.1) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec2 cell = floor(p);
    vec3 u = texture2DRect(imgMap, p).rgb;
    vec3 sum = vec3(0.0);
    if (cell.x > 0.5)
        sum += texture2DRect(imgMap, p - vec2(1.0, 0.0)).rgb - u;
    if (cell.x < width - 1.5)
        sum += texture2DRect(imgMap, p + vec2(1.0, 0.0)).rgb - u;
    if (cell.y > 0.5)
        sum += texture2DRect(imgMap, p - vec2(0.0, 1.0)).rgb - u;
    if (cell.y < height - 1.5)
        sum += texture2DRect(imgMap, p + vec2(0.0, 1.0)).rgb - u;
    gl_FragColor = vec4(sum - rhsWeight * texture2DRect(divMap, p).rgb, 1.0);
}
