#version 120
// Colour-constraint strip of a curve. Texture-coordinate set 0 holds (side, 0.2): side runs from
// 0 on the right edge of the strip to 1 on the left edge. Sets 1, 2 and 3 hold (right, left) of
// the red, green and blue channels in 0..1.
varying float side;
varying vec3 leftColor;
varying vec3 rightColor;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    side = gl_MultiTexCoord0.x;
    rightColor = vec3(gl_MultiTexCoord1.x, gl_MultiTexCoord2.x, gl_MultiTexCoord3.x);
    leftColor = vec3(gl_MultiTexCoord1.y, gl_MultiTexCoord2.y, gl_MultiTexCoord3.y);
}
