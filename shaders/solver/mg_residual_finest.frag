#version 120
#extension GL_ARB_texture_rectangle : require
// The finest level's residual, restricted onto level 1 in the same pass. The residual of the
// estimate u at a free texel q, in the sign of the coarse levels' operator, is
//   r(q) = sum over in-canvas neighbours n of (u(n) - u(q)) - rhsWeight * div(q),
// zero at a fixed one (isConstrained). Full weighting gives level-1 texel I,
// which sits on texel 2I, the residuals of the 3 x 3 texels around 2I with weights
// (1 2 1) x (1 2 1) / 16, leaving out those past the canvas edge; a fixed level-1 texel (alpha
// of coarseStencilC) gets none. The pass follows a red-black sweep, whose black half-sweep
// leaves every black texel (x + y odd) solving its equation: their residual is zero, so only
// the red texel 2I and the four red corners around it are summed. The estimate's colours are
// packed as in mg_pack_finest.frag: texel 2I + (x, y) is packed texel
// (I.x + floor(x / 2), 2I.y + y) of redMap where x + y is even, of blackMap where it is odd.
uniform sampler2DRect redMap;
uniform sampler2DRect blackMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform sampler2DRect coarseStencilC;
uniform float rhsWeight;
uniform float width;
uniform float height;

Diffused u(vec2 c, float x, float y)
{
    vec2 slot = vec2(c.x + floor(0.5 * x), 2.0 * c.y + y) + vec2(0.5);
    return diffusedPart(mod(x + y, 2.0) == 0.0 ? texture2DRect(redMap, slot)
                                               : texture2DRect(blackMap, slot));
}

// Full-weighting share of the residual at texel q = 2I + (x, y), given u there and at its
// neighbours; a neighbour past the canvas edge adds nothing.
Diffused share(vec2 i, float x, float y, Diffused centre, Diffused west, Diffused east,
               Diffused south, Diffused north)
{
    vec2 q = 2.0 * i + vec2(x, y);
    bool outside = q.x < 0.0 || q.y < 0.0 || q.x > width - 0.5 || q.y > height - 0.5;
    if (outside || isConstrained(texture2DRect(fixedMap, q + vec2(0.5))))
        return Diffused(0.0);
    float weight = (2.0 - abs(x)) * (2.0 - abs(y)) / 16.0;
    Diffused none = Diffused(0.0);
    Diffused r = (q.x > 0.5 ? west - centre : none) + (q.x < width - 1.5 ? east - centre : none)
               + (q.y > 0.5 ? south - centre : none) + (q.y < height - 1.5 ? north - centre : none)
               - rhsWeight * diffusedPart(texture2DRect(divMap, q + vec2(0.5)));
    return weight * r;
}

void main()
{
    if (texture2DRect(coarseStencilC, gl_FragCoord.xy).a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
    vec2 c = floor(gl_FragCoord.xy); // level-1 texel I
    Diffused u00 = u(c, 0.0, 0.0);
    Diffused w1 = u(c, -1.0, 0.0), e1 = u(c, 1.0, 0.0), s1 = u(c, 0.0, -1.0), n1 = u(c, 0.0, 1.0);
    Diffused sw = u(c, -1.0, -1.0), se = u(c, 1.0, -1.0), nw = u(c, -1.0, 1.0), ne = u(c, 1.0, 1.0);
    Diffused w2s = u(c, -2.0, -1.0), w2n = u(c, -2.0, 1.0), e2s = u(c, 2.0, -1.0), e2n = u(c, 2.0, 1.0);
    Diffused s2w = u(c, -1.0, -2.0), s2e = u(c, 1.0, -2.0), n2w = u(c, -1.0, 2.0), n2e = u(c, 1.0, 2.0);
    Diffused sum = share(c, 0.0, 0.0, u00, w1, e1, s1, n1)
             + share(c, -1.0, -1.0, sw, w2s, s1, s2w, w1) + share(c, 1.0, -1.0, se, s1, e2s, s2e, e1)
             + share(c, -1.0, 1.0, nw, w2n, n1, w1, n2w) + share(c, 1.0, 1.0, ne, n1, e2n, e1, n2e);
    gl_FragColor = asTexel(sum);
}
