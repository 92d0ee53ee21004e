#version 120
#extension GL_ARB_texture_rectangle : require
// Adds level 1's correction, interpolated bilinearly, to the black texels of the finest level's
// estimate (x + y odd, packed as in mg_pack_finest.frag): texel x lies on level-1 texel x / 2,
// halfway between two when x is odd. Fixed texels (isConstrained) take the value
// fixedMap holds. The red texels need no correction: the red half-sweep that follows replaces
// them.
uniform sampler2DRect blackMap;
uniform sampler2DRect correctionMap;
uniform sampler2DRect fixedMap;

Diffused corr(vec2 q)
{
    return diffusedPart(texture2DRect(correctionMap, q + vec2(0.5)));
}

void main()
{
    vec2 slot = floor(gl_FragCoord.xy);
    vec2 cell = vec2(2.0 * slot.x + mod(slot.y + 1.0, 2.0), slot.y);
    vec4 fixedValue = texture2DRect(fixedMap, cell + vec2(0.5));
    if (isConstrained(fixedValue)) {
        gl_FragColor = asTexel(diffusedPart(fixedValue));
        return;
    }
    vec2 base = floor(0.5 * cell);
    vec2 t = 0.5 * (cell - 2.0 * base);
    Diffused low = mix(corr(base), corr(base + vec2(1.0, 0.0)), t.x);
    Diffused high = mix(corr(base + vec2(0.0, 1.0)), corr(base + vec2(1.0, 1.0)), t.x);
    gl_FragColor =
        asTexel(diffusedPart(texture2DRect(blackMap, gl_FragCoord.xy)) + mix(low, high, t.y));
}
