#version 120
#extension GL_ARB_texture_rectangle : require
// The texels of one colour of the finest level's estimate, packed two to one along x: packed
// texel (i, y) holds texel (2i + (y + parity) mod 2, y), where "parity" is the colour (0 red,
// x + y even; 1 black). Fixed texels (isConstrained) take the value fixedMap holds.
uniform sampler2DRect imgMap;
uniform sampler2DRect fixedMap;
uniform float parity;

void main()
{
    vec2 slot = floor(gl_FragCoord.xy);
    vec2 p = vec2(2.0 * slot.x + mod(slot.y + parity, 2.0), slot.y) + vec2(0.5);
    vec4 fixedValue = texture2DRect(fixedMap, p);
    gl_FragColor =
        asTexel(diffusedPart(isConstrained(fixedValue) ? fixedValue : texture2DRect(imgMap, p)));
}
