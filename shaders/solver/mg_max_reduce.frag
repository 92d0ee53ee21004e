#version 120
#extension GL_ARB_texture_rectangle : require
// The largest red value of a block of 4 x 4 texels of imgMap, in red (edge texels repeat).
uniform sampler2DRect imgMap;

void main()
{
    vec2 origin = 4.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    float largest = 0.0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            largest = max(largest, texture2DRect(imgMap, origin + vec2(float(x), float(y))).r);
    gl_FragColor = vec4(largest, 0.0, 0.0, 1.0);
}
