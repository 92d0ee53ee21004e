#version 120
#extension GL_ARB_texture_rectangle : require
// Next coarser level of a gradient image (stored as 0.5 + 0.5 g): the mean of the four finer
// texels, rescaled to the coarser pixel. A jump that spans one finer pixel spans one coarser
// pixel too, so the gradient per coarser pixel is twice the mean per finer pixel.
uniform sampler2DRect imgMap;

void main()
{
    vec2 q = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    vec3 mean = 0.25 * (texture2DRect(imgMap, q).rgb
                      + texture2DRect(imgMap, q + vec2(1.0, 0.0)).rgb
                      + texture2DRect(imgMap, q + vec2(0.0, 1.0)).rgb
                      + texture2DRect(imgMap, q + vec2(1.0, 1.0)).rgb);
    gl_FragColor = vec4(0.5 + 2.0 * (mean - 0.5), 1.0);
}
