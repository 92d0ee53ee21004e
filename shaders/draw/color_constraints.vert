#version 120
// Colour-constraint strip of a curve. Texture-coordinate set 0 holds (side, 0.2): side runs from
// 0 on the right edge of the strip to 1 on the left edge. Sets 1 to 4 hold (right, left) of
// the diffused red, green, blue (premultiplied) and encoded opacity.
varying float side;
varying vec4 leftColor;
varying vec4 rightColor;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    side = gl_MultiTexCoord0.x;
    rightColor =
        vec4(gl_MultiTexCoord1.x, gl_MultiTexCoord2.x, gl_MultiTexCoord3.x, gl_MultiTexCoord4.x);
    leftColor =
        vec4(gl_MultiTexCoord1.y, gl_MultiTexCoord2.y, gl_MultiTexCoord3.y, gl_MultiTexCoord4.y);
}
