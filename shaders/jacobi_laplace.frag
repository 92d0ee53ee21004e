#version 120
#extension GL_ARB_texture_rectangle : require
// One Jacobi step of laplacian(u) = 0: the mean of the four neighbours, read at window
// position * scale (0.5 reads the next coarser level). Edge texels repeat beyond the border.
uniform sampler2DRect imgMap;
uniform float scale;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec3 sum = texture2DRect(imgMap, (p + vec2(1.0, 0.0)) * scale).rgb
             + texture2DRect(imgMap, (p - vec2(1.0, 0.0)) * scale).rgb
             + texture2DRect(imgMap, (p + vec2(0.0, 1.0)) * scale).rgb
             + texture2DRect(imgMap, (p - vec2(0.0, 1.0)) * scale).rgb;
    gl_FragColor = vec4(0.25 * sum, 1.0);
}
