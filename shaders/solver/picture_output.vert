#version 120
// A textured quad: its corners transformed as usual, texture coordinates set 0 passed on.
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
