#version 120
#extension GL_ARB_texture_rectangle : require
// Writes the blur map into the depth buffer (depth = blur amount, 0..1) and nothing else. The
// blur pass then draws each smoothing step at the depth of its level with the depth test
// "less", so that the GL skips, before shading, every pixel whose blur does not exceed the
// level: the same picture, with the work spent only where blur is asked for. The blur map is
// read from texture unit 0 (the sampler's default).
uniform sampler2DRect blurMap;

void main()
{
    gl_FragDepth = clamp(texture2DRect(blurMap, gl_FragCoord.xy).r, 0.0, 1.0);
    gl_FragColor = vec4(0.0);
}
