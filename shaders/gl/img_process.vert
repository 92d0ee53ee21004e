#version 120
// Full-screen image pass: the quad's corners are already in clip space.
void main()
{
    gl_Position = gl_Vertex;
}
