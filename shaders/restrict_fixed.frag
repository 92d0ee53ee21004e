#version 120
#extension GL_ARB_texture_rectangle : require
// Fixed texels of the next coarser level of the multigrid: a coarse texel is fixed, with value
// zero, when any of its (up to) four finer children is fixed (alpha above 0.1). The coarse
// corrections thus never reach across a curve: its constrained texels stay a closed wall of
// fixed texels on every level.
uniform sampler2DRect imgMap;
uniform float fineWidth;
uniform float fineHeight;

float fixedAt(vec2 c)
{
    if (c.x > fineWidth || c.y > fineHeight)
        return 0.0;
    return texture2DRect(imgMap, c).a > 0.1 ? 1.0 : 0.0;
}

void main()
{
    vec2 c = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    float any = max(max(fixedAt(c), fixedAt(c + vec2(1.0, 0.0))),
                    max(fixedAt(c + vec2(0.0, 1.0)), fixedAt(c + vec2(1.0, 1.0))));
    gl_FragColor = vec4(0.0, 0.0, 0.0, any);
}
