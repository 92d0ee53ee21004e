#version 120
#extension GL_ARB_texture_rectangle : require
// Adds the next coarser level's correction to the estimate: u + e(p / 2), the correction read
// through its linear filter, which is bilinear interpolation between coarse texel centres (edge
// texels repeat beyond the border). Fixed texels (alpha of fixedMap above 0.1) take the value
// fixedMap holds there.
uniform sampler2DRect imgMap;
uniform sampler2DRect correctionMap;
uniform sampler2DRect fixedMap;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (fixedValue.a > 0.1) {
        gl_FragColor = vec4(fixedValue.rgb, 1.0);
        return;
    }
    vec3 u = texture2DRect(imgMap, p).rgb + texture2DRect(correctionMap, 0.5 * p).rgb;
    gl_FragColor = vec4(u, 1.0);
}
