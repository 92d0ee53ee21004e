#version 120
#extension GL_ARB_texture_rectangle : require
// One channel of a picture exported at another size than the reference picture (a colour
// channel, or the encoded opacity in alpha): the
// solved channel (red of channelMap), or, where the reference is blurred, the channel of the
// blurred reference picture at the same canvas point (its linear filter interpolates). The
// reference's blur map is interpolated bilinearly here (it is nearest-filtered); values at or
// below blurThreshold mark the reference's sharp pixels. The value goes to every colour channel,
// and to alpha for the opacity (else alpha 1, the opacity of an opaque drawing): the colour mask
// picks the one written.
uniform sampler2DRect channelMap;
uniform sampler2DRect referenceMap;
uniform sampler2DRect blurMap;
uniform float channel;        // 0 red, 1 green, 2 blue, 3 opacity
uniform float referenceScale; // reference texels per picture pixel
uniform float blurThreshold;

float blurAt(vec2 q)
{
    vec2 f = q - vec2(0.5);
    vec2 base = floor(f) + vec2(0.5);
    vec2 t = f - floor(f);
    float b00 = texture2DRect(blurMap, base).r;
    float b10 = texture2DRect(blurMap, base + vec2(1.0, 0.0)).r;
    float b01 = texture2DRect(blurMap, base + vec2(0.0, 1.0)).r;
    float b11 = texture2DRect(blurMap, base + vec2(1.0, 1.0)).r;
    return mix(mix(b00, b10, t.x), mix(b01, b11, t.x), t.y);
}

float pick(vec4 c)
{
    return channel < 0.5 ? c.r : (channel < 1.5 ? c.g : (channel < 2.5 ? c.b : c.a));
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    float value = texture2DRect(channelMap, p).r;
    vec2 q = p * referenceScale;
    if (blurAt(q) > blurThreshold)
        value = pick(texture2DRect(referenceMap, q));
    gl_FragColor = vec4(value, value, value, channel > 2.5 ? value : 1.0);
}
