#version 120
#extension GL_ARB_texture_rectangle : require
// The operator of the next coarser level, A_c = R A P, for coarse texel J, which sits on finer
// texel 2J. P interpolates bilinearly from the coarse texels that are unknowns; R = P^T / 4 is
// full weighting, (1 2 1) x (1 2 1) / 16. Fixed texels are no unknowns: a finer one takes no
// correction (its row of P is dropped), a coarse one is fixed exactly when the finer texel under
// it is. A coarse texel whose weights all fall on fixed or absent finer texels is fixed too.
//
// The finer operator A comes from the constraint image on the finest level (the variant built
// with FROM_MASK defined: 5-point, -1 towards each free in-canvas neighbour, the count of
// in-canvas neighbours in the centre) and from its stencil images on the others (laid out as
// in mg_smooth.frag).
//
// Writes the three stencil images of the coarse level.
uniform sampler2DRect stencilA; // the constraint image with FROM_MASK
uniform sampler2DRect stencilB;
uniform sampler2DRect stencilC;
uniform float fineWidth;
uniform float fineHeight;

bool inside(vec2 i)
{
    return i.x >= 0.0 && i.y >= 0.0 && i.x < fineWidth && i.y < fineHeight;
}

bool isFixed(vec2 i)
{
#ifdef FROM_MASK
    return isConstrained(texture2DRect(stencilA, i + vec2(0.5)));
#else
    return texture2DRect(stencilC, i + vec2(0.5)).a > 0.5;
#endif
}

// Interpolation weight of coarse offset c at finer offset b (both from 2J), one axis.
float hat(float b, float c)
{
    return max(0.0, 1.0 - 0.5 * abs(b - 2.0 * c));
}

void main()
{
    vec2 centre = 2.0 * floor(gl_FragCoord.xy);

    // Which finer texels of the 5 x 5 block around 2J exist and are free.
    float freeTexel[25];
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            vec2 i = centre + vec2(float(x - 2), float(y - 2));
            freeTexel[y * 5 + x] = inside(i) && !isFixed(i) ? 1.0 : 0.0;
        }
    }

    // Row J of R A over the 5 x 5 block: q(b) = sum over a of R(J, 2J + a) A(2J + a, 2J + b).
    float q[25];
    for (int k = 0; k < 25; ++k)
        q[k] = 0.0;
    float weightSum = 0.0;
    for (int ay = -1; ay <= 1; ++ay) {
        for (int ax = -1; ax <= 1; ++ax) {
            int a = (ay + 2) * 5 + ax + 2;
            float r = freeTexel[a] * (2.0 - abs(float(ax))) * (2.0 - abs(float(ay))) / 16.0;
            weightSum += r;
            vec2 i = centre + vec2(float(ax), float(ay));
            float coef[9]; // A(i, i + s), s = (sx, sy), index (sy + 1) * 3 + sx + 1
#ifdef FROM_MASK
            {
                float count = 0.0;
                count += i.x > 0.5 ? 1.0 : 0.0;
                count += i.x < fineWidth - 1.5 ? 1.0 : 0.0;
                count += i.y > 0.5 ? 1.0 : 0.0;
                count += i.y < fineHeight - 1.5 ? 1.0 : 0.0;
                coef[0] = 0.0;
                coef[1] = -freeTexel[a - 5];
                coef[2] = 0.0;
                coef[3] = -freeTexel[a - 1];
                coef[4] = count;
                coef[5] = -freeTexel[a + 1];
                coef[6] = 0.0;
                coef[7] = -freeTexel[a + 5];
                coef[8] = 0.0;
            }
#else
            {
                vec2 t = i + vec2(0.5);
                vec4 sa = texture2DRect(stencilA, t);
                vec4 sb = texture2DRect(stencilB, t);
                vec4 sc = texture2DRect(stencilC, t);
                coef[0] = sb.x;
                coef[1] = sa.z;
                coef[2] = sb.y;
                coef[3] = sa.x;
                coef[4] = sc.x;
                coef[5] = sa.y;
                coef[6] = sb.z;
                coef[7] = sa.w;
                coef[8] = sb.w;
            }
#endif
            for (int sy = -1; sy <= 1; ++sy)
                for (int sx = -1; sx <= 1; ++sx)
                    q[a + sy * 5 + sx] += r * coef[(sy + 1) * 3 + sx + 1];
        }
    }

    bool fixedHere = freeTexel[12] < 0.5 && inside(centre);
    if (fixedHere || weightSum <= 0.0) {
        gl_FragData[0] = vec4(0.0);
        gl_FragData[1] = vec4(0.0);
        gl_FragData[2] = vec4(1.0, 1.0, 0.0, 1.0);
        return;
    }

    // A_c(J, J + c) = sum over b of q(b) P(2J + b, J + c); none towards a fixed coarse texel.
    float coarse[9];
    for (int cy = -1; cy <= 1; ++cy) {
        for (int cx = -1; cx <= 1; ++cx) {
            float sum = 0.0;
            for (int by = -2; by <= 2; ++by)
                for (int bx = -2; bx <= 2; ++bx)
                    sum += q[(by + 2) * 5 + bx + 2] * hat(float(bx), float(cx))
                           * hat(float(by), float(cy));
            vec2 neighbour = centre + 2.0 * vec2(float(cx), float(cy));
            bool fixedNeighbour = inside(neighbour) && freeTexel[(cy + 1) * 10 + cx * 2 + 2] < 0.5;
            coarse[(cy + 1) * 3 + cx + 1] = fixedNeighbour ? 0.0 : sum;
        }
    }
    coarse[4] = max(coarse[4], 1.0e-30);
    gl_FragData[0] = vec4(coarse[3], coarse[5], coarse[1], coarse[7]);
    gl_FragData[1] = vec4(coarse[0], coarse[2], coarse[6], coarse[8]);
    gl_FragData[2] = vec4(coarse[4], 1.0 / coarse[4], 0.0, 0.0);
}
