#version 120
#extension GL_ARB_texture_rectangle : require
// Full-weighting restriction (the transpose of bilinear interpolation), scaled to the coarser
// stencil: coarse texel I gathers the finer residuals of the 4 x 4 block around its children
// with weights (1, 3, 3, 1) / 4 on each axis (they add up to 4). Read as four linear-filtered
// taps; edge texels repeat beyond the border, as the interpolation does.
uniform sampler2DRect imgMap;

void main()
{
    vec2 c = 2.0 * floor(gl_FragCoord.xy);
    vec3 sum = texture2DRect(imgMap, c + vec2(0.25, 0.25)).rgb
             + texture2DRect(imgMap, c + vec2(1.75, 0.25)).rgb
             + texture2DRect(imgMap, c + vec2(0.25, 1.75)).rgb
             + texture2DRect(imgMap, c + vec2(1.75, 1.75)).rgb;
    gl_FragColor = vec4(sum, 1.0);
}
