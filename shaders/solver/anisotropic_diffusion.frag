#version 120
#extension GL_ARB_texture_rectangle : require
// One smoothing step of the picture. A pixel whose blur-map value lies above the level "blur"
// becomes the mean of itself and those of its four neighbours that lie above the level too;
// every other pixel is copied. Pixels below the level neither change nor bleed into their
// neighbours, so sharp regions keep their edges. The blur pass lowers the level step by step,
// so a pixel with a larger blur value is smoothed in more steps. Every channel is smoothed, the
// opacity with the premultiplied colour.
uniform sampler2DRect imgMap;
uniform sampler2DRect blurMap;
uniform float blur;

void addNeighbour(vec2 q, inout vec4 sum, inout float count)
{
    if (texture2DRect(blurMap, q).r > blur) {
        sum += texture2DRect(imgMap, q);
        count += 1.0;
    }
}

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 centre = texture2DRect(imgMap, p);
    if (texture2DRect(blurMap, p).r <= blur) {
        gl_FragColor = centre;
        return;
    }
    vec4 sum = centre;
    float count = 1.0;
    addNeighbour(p + vec2(1.0, 0.0), sum, count);
    addNeighbour(p - vec2(1.0, 0.0), sum, count);
    addNeighbour(p + vec2(0.0, 1.0), sum, count);
    addNeighbour(p - vec2(0.0, 1.0), sum, count);
    gl_FragColor = sum / count;
}
