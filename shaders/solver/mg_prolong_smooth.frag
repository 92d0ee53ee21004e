#version 120
#extension GL_ARB_texture_rectangle : require
// On a coarse level, the coarser level's correction added through bilinear interpolation (as in
// mg_prolong.frag) and the red half of the following Gauss-Seidel sweep, as one pass: a black
// texel (x + y odd) takes its corrected estimate, a red one solves its row of A e = f with its
// neighbours' corrected estimates, which this pass interpolates for each of them. Fixed texels
// are 0. The operator is laid out as in mg_smooth.frag.
uniform sampler2DRect imgMap;
uniform sampler2DRect correctionMap;
uniform sampler2DRect rhsMap;
uniform sampler2DRect stencilA;
uniform sampler2DRect stencilB;
uniform sampler2DRect stencilC;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 c = texture2DRect(stencilC, p);
    if (c.a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
    vec2 cell = floor(p);
    // The 3 x 3 coarser texels from `base` cover the interpolation of the 3 x 3 texels around p.
    // On an even column 2m (base m - 1) the columns 2m - 1, 2m, 2m + 1 take coarser columns
    // (1/2 1/2 0), (0 1 0), (0 1/2 1/2); on an odd column 2m + 1 (base m), (1 0 0), (1/2 1/2 0),
    // (0 1 0). Likewise for rows.
    vec2 base = floor(0.5 * (cell - vec2(1.0)));
    vec2 odd = cell - 2.0 * floor(0.5 * cell);
    vec3 wx[3];
    wx[0] = odd.x > 0.5 ? vec3(1.0, 0.0, 0.0) : vec3(0.5, 0.5, 0.0);
    wx[1] = odd.x > 0.5 ? vec3(0.5, 0.5, 0.0) : vec3(0.0, 1.0, 0.0);
    wx[2] = odd.x > 0.5 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.5, 0.5);
    vec3 wy[3];
    wy[0] = odd.y > 0.5 ? vec3(1.0, 0.0, 0.0) : vec3(0.5, 0.5, 0.0);
    wy[1] = odd.y > 0.5 ? vec3(0.5, 0.5, 0.0) : vec3(0.0, 1.0, 0.0);
    wy[2] = odd.y > 0.5 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.5, 0.5);
    // rows[l * 3 + i]: coarser row l interpolated at column i of the 3 x 3 texels.
    Diffused rows[9];
    for (int l = 0; l < 3; ++l) {
        vec2 t = base + vec2(0.5, float(l) + 0.5);
        Diffused c0 = diffusedPart(texture2DRect(correctionMap, t));
        Diffused c1 = diffusedPart(texture2DRect(correctionMap, t + vec2(1.0, 0.0)));
        Diffused c2 = diffusedPart(texture2DRect(correctionMap, t + vec2(2.0, 0.0)));
        for (int i = 0; i < 3; ++i)
            rows[l * 3 + i] = wx[i].x * c0 + wx[i].y * c1 + wx[i].z * c2;
    }
    Diffused e[9]; // the corrected estimate of the 3 x 3 texels around p, row by row
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            Diffused correction = wy[j].x * rows[i] + wy[j].y * rows[3 + i] + wy[j].z * rows[6 + i];
            vec2 q = p + vec2(float(i - 1), float(j - 1));
            e[j * 3 + i] = diffusedPart(texture2DRect(imgMap, q)) + correction;
        }
    }
    if (mod(cell.x + cell.y, 2.0) != 0.0) {
        gl_FragColor = asTexel(e[4]);
        return;
    }
    vec4 a = texture2DRect(stencilA, p);
    vec4 b = texture2DRect(stencilB, p);
    Diffused sum = neighbourSum(a, b, e[3], e[5], e[1], e[7], e[0], e[2], e[6], e[8]);
    gl_FragColor = asTexel((diffusedPart(texture2DRect(rhsMap, p)) - sum) * c.y);
}
