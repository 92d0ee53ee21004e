#version 120
// Marks where a blur amount (the incoming colour) reaches the lowest blur level the blur pass
// uses, 1/16: white there, black elsewhere. Loaded with the other programs; no pass uses it.
void main()
{
    gl_FragColor = vec4(step(vec3(0.0625), gl_Color.rgb), 1.0);
}
