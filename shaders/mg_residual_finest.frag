#version 120
#extension GL_ARB_texture_rectangle : require
// The finest level's residual, restricted onto level 1 in the same pass. The residual of the
// estimate u at a free texel q, in the sign of the coarse levels' operator, is
//   r(q) = sum over in-canvas neighbours n of (u(n) - u(q)) - rhsWeight * div(q),
// zero at a fixed one (alpha of fixedMap above 0.1). Full weighting gives level-1 texel I,
// which sits on texel 2I, the residuals of the 3 x 3 texels around 2I with weights
// (1 2 1) x (1 2 1) / 16, leaving out those past the canvas edge; a fixed level-1 texel (alpha
// of coarseStencilC) gets none. Reads past the edge repeat the edge texel (the images clamp),
// so such a neighbour adds nothing.
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform sampler2DRect coarseStencilC;
uniform float rhsWeight;
uniform float width;
uniform float height;

vec3 u(vec2 c, float x, float y)
{
    return texture2DRect(imgMap, c + vec2(x, y)).rgb;
}

// Full-weighting share of the residual at q = c + (x, y), given u there and at its neighbours.
vec3 share(vec2 c, float x, float y, vec3 centre, vec3 west, vec3 east, vec3 south, vec3 north)
{
    vec2 q = c + vec2(x, y);
    bool outside = q.x < 0.0 || q.y < 0.0 || q.x > width || q.y > height;
    if (outside || texture2DRect(fixedMap, q).a > 0.1)
        return vec3(0.0);
    float weight = (2.0 - abs(x)) * (2.0 - abs(y)) / 16.0;
    vec3 r = west + east + south + north - 4.0 * centre - rhsWeight * texture2DRect(divMap, q).rgb;
    return weight * r;
}

void main()
{
    if (texture2DRect(coarseStencilC, gl_FragCoord.xy).a > 0.5) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec2 c = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5); // the centre of finer texel 2I
    vec3 u00 = u(c, 0.0, 0.0);
    vec3 w1 = u(c, -1.0, 0.0), e1 = u(c, 1.0, 0.0), s1 = u(c, 0.0, -1.0), n1 = u(c, 0.0, 1.0);
    vec3 sw = u(c, -1.0, -1.0), se = u(c, 1.0, -1.0), nw = u(c, -1.0, 1.0), ne = u(c, 1.0, 1.0);
    vec3 w2 = u(c, -2.0, 0.0), e2 = u(c, 2.0, 0.0), s2 = u(c, 0.0, -2.0), n2 = u(c, 0.0, 2.0);
    vec3 w2s = u(c, -2.0, -1.0), w2n = u(c, -2.0, 1.0), e2s = u(c, 2.0, -1.0), e2n = u(c, 2.0, 1.0);
    vec3 s2w = u(c, -1.0, -2.0), s2e = u(c, 1.0, -2.0), n2w = u(c, -1.0, 2.0), n2e = u(c, 1.0, 2.0);
    vec3 sum = share(c, 0.0, 0.0, u00, w1, e1, s1, n1)
             + share(c, -1.0, 0.0, w1, w2, u00, sw, nw) + share(c, 1.0, 0.0, e1, u00, e2, se, ne)
             + share(c, 0.0, -1.0, s1, sw, se, s2, u00) + share(c, 0.0, 1.0, n1, nw, ne, u00, n2)
             + share(c, -1.0, -1.0, sw, w2s, s1, s2w, w1) + share(c, 1.0, -1.0, se, s1, e2s, s2e, e1)
             + share(c, -1.0, 1.0, nw, w2n, n1, w1, n2w) + share(c, 1.0, 1.0, ne, n1, e2n, e1, n2e);
    gl_FragColor = vec4(sum, 1.0);
}
