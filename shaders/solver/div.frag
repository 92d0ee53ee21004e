#version 120
#extension GL_ARB_texture_rectangle : require
// Divergence of the colour-jump field, per channel (the opacity's encoding in alpha included).
// Gradients are stored as 0.5 + 0.5 g, g being the jump across the curve that runs through the
// pixel. The jump is taken to happen inside that pixel, half on each of its faces, so the
// divergence at a pixel is the central difference (g(right) - g(left) + g(up) - g(down)) / 2: a
// jump J in column c gives +J/2 at c - 1 and -J/2 at c + 1, and the Jacobi step then sets the
// two neighbours of the curve J apart with the curve's pixel between them. The result is stored
// signed (no offset).
uniform sampler2DRect gxMap;
uniform sampler2DRect gyMap;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 gxRight = texture2DRect(gxMap, p + vec2(1.0, 0.0));
    vec4 gxLeft = texture2DRect(gxMap, p - vec2(1.0, 0.0));
    vec4 gyUp = texture2DRect(gyMap, p + vec2(0.0, 1.0));
    vec4 gyDown = texture2DRect(gyMap, p - vec2(0.0, 1.0));
    // 2 * (texel difference) decodes the gradient difference; halved for the central form.
    gl_FragColor = (gxRight - gxLeft) + (gyUp - gyDown);
}
