#version 120
#extension GL_ARB_texture_rectangle : require
// A coarse level's residual f - A e, restricted onto the next coarser level in the same pass.
// Full weighting gives coarser texel I, which sits on texel 2I, the residuals of the 3 x 3
// texels around 2I with weights (1 2 1) x (1 2 1) / 16, leaving out those past the level's
// edge; fixed texels have none, and a fixed coarser texel (alpha of coarseStencilC) gets none.
// The 9-point operator is laid out as in mg_smooth.frag; it has no weight towards texels past
// the edge, so the repeated edge texels the images read there add nothing.
uniform sampler2DRect imgMap;
uniform sampler2DRect rhsMap;
uniform sampler2DRect stencilA;
uniform sampler2DRect stencilB;
uniform sampler2DRect stencilC;
uniform sampler2DRect coarseStencilC;
uniform float fineWidth;
uniform float fineHeight;

#ifdef DIFFUSE_OPACITY
// The estimate over the 5 x 5 texels around 2I, row by row.
Diffused e[25];

// The residual of texel 2I + (i, j) (i, j in -1..1) with its full-weighting weight, or 0 past the
// level's edge or at a fixed texel. Called with constant offsets, so that every index into e is a
// constant: written as a loop over the offsets, four channels wide, this pass cost more under
// llvmpipe than all the other passes of the coarse levels together (a loop it leaves rolled
// indexes e at run time).
Diffused weightedResidual(vec2 centre, int i, int j)
{
    vec2 q = centre + vec2(float(i), float(j));
    vec4 c = texture2DRect(stencilC, q);
    if (q.x > fineWidth || q.y > fineHeight || q.x < 0.0 || q.y < 0.0 || c.a > 0.5)
        return Diffused(0.0);
    float weight = (2.0 - abs(float(i))) * (2.0 - abs(float(j))) / 16.0;
    vec4 a = texture2DRect(stencilA, q);
    vec4 b = texture2DRect(stencilB, q);
    int k = (j + 2) * 5 + i + 2;
    Diffused product = c.x * e[k]
                     + neighbourSum(a, b, e[k - 1], e[k + 1], e[k - 5], e[k + 5], e[k - 6],
                                    e[k - 4], e[k + 4], e[k + 6]);
    return weight * (diffusedPart(texture2DRect(rhsMap, q)) - product);
}

#endif

void main()
{
    if (texture2DRect(coarseStencilC, gl_FragCoord.xy).a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
#ifdef DIFFUSE_OPACITY
    vec2 centre = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5); // the centre of texel 2I
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            e[y * 5 + x] =
                diffusedPart(texture2DRect(imgMap, centre + vec2(float(x - 2), float(y - 2))));
    gl_FragColor = asTexel(weightedResidual(centre, -1, -1) + weightedResidual(centre, 0, -1)
                           + weightedResidual(centre, 1, -1) + weightedResidual(centre, -1, 0)
                           + weightedResidual(centre, 0, 0) + weightedResidual(centre, 1, 0)
                           + weightedResidual(centre, -1, 1) + weightedResidual(centre, 0, 1)
                           + weightedResidual(centre, 1, 1));
#else
    // Three channels wide, the loop costs llvmpipe less than the calls with constant indices.
    vec2 centre = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5); // the centre of texel 2I
    vec3 e[25]; // the estimate over the 5 x 5 texels around 2I, row by row
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            e[y * 5 + x] = texture2DRect(imgMap, centre + vec2(float(x - 2), float(y - 2))).rgb;
    vec3 sum = vec3(0.0);
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            vec2 q = centre + vec2(float(i), float(j));
            float weight = (2.0 - abs(float(i))) * (2.0 - abs(float(j))) / 16.0;
            vec4 c = texture2DRect(stencilC, q);
            if (q.x > fineWidth || q.y > fineHeight || q.x < 0.0 || q.y < 0.0 || c.a > 0.5)
                weight = 0.0;
            vec4 a = texture2DRect(stencilA, q);
            vec4 b = texture2DRect(stencilB, q);
            int k = (j + 2) * 5 + i + 2;
            vec3 product = c.x * e[k]
                         + neighbourSum(a, b, e[k - 1], e[k + 1], e[k - 5], e[k + 5], e[k - 6],
                                        e[k - 4], e[k + 4], e[k + 6]);
            sum += weight * (texture2DRect(rhsMap, q).rgb - product);
        }
    }
    gl_FragColor = vec4(sum, 1.0);
#endif
}
