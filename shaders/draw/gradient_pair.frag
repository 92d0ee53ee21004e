#version 120
// Writes the x gradient into colour attachment 0 and the y gradient into attachment 1, every
// diffused channel (the opacity's encoding in alpha included).
varying vec4 gradientX;
varying vec4 gradientY;

void main()
{
    gl_FragData[0] = gradientX;
    gl_FragData[1] = gradientY;
}
