#version 120
#extension GL_ARB_texture_rectangle : require
// One Jacobi step of laplacian(u) = div on a 5-point stencil, one pixel as unit length:
// u = (left + right + down + up - div) / 4. The estimate is read at window position * scale
// (0.5 reads the next coarser level through its linear filter, which upsamples it). Neighbours
// outside the image read the edge texel, which makes the border reflecting (zero flux).
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform float scale;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec3 sum = texture2DRect(imgMap, (p + vec2(1.0, 0.0)) * scale).rgb
             + texture2DRect(imgMap, (p - vec2(1.0, 0.0)) * scale).rgb
             + texture2DRect(imgMap, (p + vec2(0.0, 1.0)) * scale).rgb
             + texture2DRect(imgMap, (p - vec2(0.0, 1.0)) * scale).rgb;
    vec3 div = texture2DRect(divMap, p).rgb;
    gl_FragColor = vec4(0.25 * (sum - div), 1.0);
}
