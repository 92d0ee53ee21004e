#version 120
// A gradient line of a curve drawn into both gradient images at once: the colour holds the
// x gradient's encoding, texture-coordinate set 0 the y gradient's (see gradient_pair.frag).
varying vec3 gradientX;
varying vec3 gradientY;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gradientX = gl_Color.rgb;
    gradientY = gl_MultiTexCoord0.xyz;
}
