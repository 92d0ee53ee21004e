#version 120
// A gradient line of a curve drawn into both gradient images at once: the colour holds the
// x gradient's encoding, texture-coordinate set 0 the y gradient's (see gradient_pair.frag).
varying vec4 gradientX;
varying vec4 gradientY;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gradientX = gl_Color;
    gradientY = gl_MultiTexCoord0;
}
