#version 120
#extension GL_ARB_texture_rectangle : require
// Next coarser level of a picture for display: the mean of the four finer texels.
uniform sampler2DRect imgMap;

void main()
{
    vec2 c = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    gl_FragColor = 0.25 * (texture2DRect(imgMap, c) + texture2DRect(imgMap, c + vec2(1.0, 0.0))
                         + texture2DRect(imgMap, c + vec2(0.0, 1.0))
                         + texture2DRect(imgMap, c + vec2(1.0, 1.0)));
}
