#version 120
#extension GL_ARB_texture_rectangle : require
// Full weighting of a finer level's residual onto the coarse level whose texel I sits on finer
// texel 2I: weights (1 2 1) x (1 2 1) / 16 over the 3 x 3 finer texels around 2I, leaving out
// those past the finer level's edge. Fixed coarse texels (alpha of coarseStencilC) get none.
uniform sampler2DRect imgMap;
uniform sampler2DRect coarseStencilC;
uniform float fineWidth;
uniform float fineHeight;

void main()
{
    if (texture2DRect(coarseStencilC, gl_FragCoord.xy).a > 0.5) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec2 centre = 2.0 * floor(gl_FragCoord.xy);
    vec3 sum = vec3(0.0);
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            vec2 q = centre + vec2(float(i), float(j));
            if (q.x < fineWidth && q.y < fineHeight && q.x >= 0.0 && q.y >= 0.0) {
                float w = (2.0 - abs(float(i))) * (2.0 - abs(float(j))) / 16.0;
                sum += w * texture2DRect(imgMap, q + vec2(0.5)).rgb;
            }
        }
    }
    gl_FragColor = vec4(sum, 1.0);
}
