#version 120
#extension GL_ARB_texture_rectangle : require
// The largest change a cycle made to the finest level's estimate, over a block of 4 x 4 packed
// texels: the largest absolute channel difference between the packed colours now (redMap,
// blackMap) and before the cycle (redBefore, blackBefore), in red. Texels past the images'
// edge repeat the edge (nearest, clamped), which leaves the largest value as it is.
uniform sampler2DRect redMap;
uniform sampler2DRect blackMap;
uniform sampler2DRect redBefore;
uniform sampler2DRect blackBefore;

void main()
{
    vec2 origin = 4.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    Diffused largest = Diffused(0.0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            vec2 t = origin + vec2(float(x), float(y));
            largest =
                max(largest, abs(diffusedPart(texture2DRect(redMap, t) - texture2DRect(redBefore, t))));
            largest = max(largest,
                          abs(diffusedPart(texture2DRect(blackMap, t) - texture2DRect(blackBefore, t))));
        }
    }
    float channel = max(largest.r, max(largest.g, largest.b));
#ifdef DIFFUSE_OPACITY
    channel = max(channel, largest.a);
#endif
    gl_FragColor = vec4(channel, 0.0, 0.0, 1.0);
}
