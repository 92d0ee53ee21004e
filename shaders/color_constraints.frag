#version 120
// The colour of the side of the curve the fragment lies on, fully opaque: alpha 1 marks a
// constrained pixel (anything above 0.1 counts).
varying float side;
varying vec3 leftColor;
varying vec3 rightColor;

void main()
{
    gl_FragColor = vec4(side > 0.5 ? leftColor : rightColor, 1.0);
}
