#version 120
#extension GL_ARB_texture_rectangle : require
// A coarse level's first red-black Gauss-Seidel sweep of a visit, from a zero estimate, as one
// pass. The red half-sweep (x + y even) sets a red texel to f times the inverse diagonal, all its
// neighbours being zero. A black texel's edge neighbours are red and its diagonal ones black
// (still zero), so its half-sweep needs only the red values of its four edge neighbours, which
// this pass recomputes. Fixed texels are 0. The operator is laid out as in mg_smooth.frag.
uniform sampler2DRect rhsMap;
uniform sampler2DRect stencilA;
uniform sampler2DRect stencilC;

// The red half-sweep's value at red texel q.
Diffused red(vec2 q)
{
    vec4 c = texture2DRect(stencilC, q);
    return (1.0 - c.a) * c.y * diffusedPart(texture2DRect(rhsMap, q));
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 c = texture2DRect(stencilC, p);
    if (c.a > 0.5) {
        gl_FragColor = asTexel(Diffused(0.0));
        return;
    }
    Diffused f = diffusedPart(texture2DRect(rhsMap, p));
    if (mod(floor(p.x) + floor(p.y), 2.0) == 0.0) {
        gl_FragColor = asTexel(f * c.y);
        return;
    }
    vec4 a = texture2DRect(stencilA, p);
    Diffused sum = a.x * red(p + vec2(-1.0, 0.0)) + a.y * red(p + vec2(1.0, 0.0))
             + a.z * red(p + vec2(0.0, -1.0)) + a.w * red(p + vec2(0.0, 1.0));
    gl_FragColor = asTexel((f - sum) * c.y);
}
