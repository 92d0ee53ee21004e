#version 120
#extension GL_ARB_texture_rectangle : require
// The finest level's estimate from its two packed colours (see mg_pack_finest.frag): texel
// (x, y) is packed texel (x / 2, y) of redMap where x + y is even, of blackMap where it is odd.
uniform sampler2DRect redMap;
uniform sampler2DRect blackMap;

void main()
{
    vec2 cell = floor(gl_FragCoord.xy);
    vec2 slot = vec2(floor(0.5 * cell.x), cell.y) + vec2(0.5);
    Diffused red = diffusedPart(texture2DRect(redMap, slot));
    Diffused black = diffusedPart(texture2DRect(blackMap, slot));
    gl_FragColor = asTexel(mod(cell.x + cell.y, 2.0) == 0.0 ? red : black);
}
