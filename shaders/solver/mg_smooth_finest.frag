#version 120
#extension GL_ARB_texture_rectangle : require
// Half a red-black Gauss-Seidel sweep on the finest level: the texels of colour "parity" (0 red,
// x + y even; 1 black), packed as in mg_pack_finest.frag, from otherMap, the other colour
// packed likewise, which holds all their neighbours. The equation of a free texel p is
//   sum over its in-canvas neighbours n of (u(n) - u(p)) = rhsWeight * div(p),
// so p takes the mean of its in-canvas neighbours less the right-hand side over their count.
// Fixed texels (isConstrained) take the value fixedMap holds there; they are the
// neighbours' boundary values. Only this colour is written, so half the texels are shaded. The
// mean is taken relative to the first neighbour, so that equal neighbours and no right-hand
// side give exactly their value: a flat picture stays exactly flat, with no rounding noise for
// the display's dither to turn into specks.
uniform sampler2DRect otherMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float parity;
uniform float rhsWeight;
uniform float width;
uniform float height;

Diffused other(float x, float y)
{
    return diffusedPart(texture2DRect(otherMap, vec2(floor(0.5 * x), y) + vec2(0.5)));
}

void main()
{
    vec2 slot = floor(gl_FragCoord.xy);
    vec2 cell = vec2(2.0 * slot.x + mod(slot.y + parity, 2.0), slot.y);
    vec2 p = cell + vec2(0.5);
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (isConstrained(fixedValue)) {
        gl_FragColor = asTexel(diffusedPart(fixedValue));
        return;
    }
    // The south neighbour, or the north one on the bottom row: always in the canvas.
    Diffused first = other(cell.x, cell.y > 0.5 ? cell.y - 1.0 : cell.y + 1.0);
    Diffused sum = Diffused(0.0); // of (neighbour - first)
    float count = 0.0;
    if (cell.x > 0.5) {
        sum += other(cell.x - 1.0, cell.y) - first;
        count += 1.0;
    }
    if (cell.x < width - 1.5) {
        sum += other(cell.x + 1.0, cell.y) - first;
        count += 1.0;
    }
    if (cell.y > 0.5) {
        sum += other(cell.x, cell.y - 1.0) - first;
        count += 1.0;
    }
    if (cell.y < height - 1.5) {
        sum += other(cell.x, cell.y + 1.0) - first;
        count += 1.0;
    }
    Diffused rhs = rhsWeight * diffusedPart(texture2DRect(divMap, p));
    gl_FragColor = asTexel(first + (sum - rhs) / max(count, 1.0));
}
