#version 120
// Writes the x gradient into colour attachment 0 and the y gradient into attachment 1.
varying vec3 gradientX;
varying vec3 gradientY;

void main()
{
    gl_FragData[0] = vec4(gradientX, 1.0);
    gl_FragData[1] = vec4(gradientY, 1.0);
}
