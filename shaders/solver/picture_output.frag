#version 120
#extension GL_ARB_texture_rectangle : require
// The picture as it leaves the solver's colour space: converted to sRGB-encoded values,
// clipped to the gamut, and, when asked, dithered to `levels` steps with a pattern of at most
// half a step (the R2 low-discrepancy sequence: every small block averages out to the exact
// value, so slow gradients show no bands). The picture holds premultiplied colours and the
// encoded opacity (prelude's opacityOf): the colour is divided by the opacity before it is
// converted, and the opacity is dithered like a colour channel. With `checker` the picture is
// shown over a checkerboard of light greys, with `flatten` laid over the colour `background`
// (sRGB values), opaque either way, as image editors show and flatten transparency.
// Texture coordinates address the picture's texels.
uniform sampler2DRect picture;
uniform float colourSpace; // 0 sRGB, 1 linear-light sRGB, 2 OKLab
uniform float levels;      // 255 or 65535
uniform float dither;      // 1: dither, 0: leave the rounding to the GL
uniform float checker;     // 1: over a checkerboard, 0: straight colour and opacity
uniform float flatten;     // 1: over `background`
uniform vec3 background;

vec3 encodeSrgb(vec3 l)
{
    l = clamp(l, 0.0, 1.0);
    vec3 curve = 1.055 * pow(l, vec3(1.0 / 2.4)) - 0.055;
    return mix(12.92 * l, curve, step(vec3(0.0031308), l));
}

vec3 oklabToLinear(vec3 lab)
{
    vec3 lms = vec3(lab.x + 0.3963377774 * lab.y + 0.2158037573 * lab.z,
                    lab.x - 0.1055613458 * lab.y - 0.0638541728 * lab.z,
                    lab.x - 0.0894841775 * lab.y - 1.2914855480 * lab.z);
    lms = lms * lms * lms;
    return vec3(4.0767416621 * lms.x - 3.3077115913 * lms.y + 0.2309699292 * lms.z,
                -1.2684380046 * lms.x + 2.6097574011 * lms.y - 0.3413193965 * lms.z,
                -0.0041960863 * lms.x - 0.7034186147 * lms.y + 1.7076147010 * lms.z);
}

// Between 0.01 and 0.99: value * levels carries the float rounding of an exact level (up to
// 0.004 of a level at 16 bits), and a threshold closer to 0 or 1 would let it cross an integer,
// a speck one level off in a flat colour. The dither's mean moves by at most 0.01 of a level.
float threshold(vec2 pixel)
{
    vec2 p = floor(pixel);
    return clamp(fract(0.5 + p.x * 0.7548776662 + p.y * 0.5698402910), 0.01, 0.99);
}

void main()
{
    vec4 value = texture2DRect(picture, gl_TexCoord[0].st);
    float opacity = clamp(opacityOf(value), 0.0, 1.0);
    // An opaque colour (opacity exactly 1) is divided by 1: it stays exactly as it was.
    vec3 rgb = opacity > 0.0 ? value.rgb / opacity : vec3(0.0);
    if (colourSpace > 1.5)
        rgb = oklabToLinear(rgb);
    rgb = colourSpace > 0.5 ? encodeSrgb(rgb) : clamp(rgb, 0.0, 1.0);
    if (checker > 0.5 && opacity < 1.0) {
        vec2 square = floor(gl_FragCoord.xy / 8.0);
        float grey = mod(square.x + square.y, 2.0) == 0.0 ? 0.8 : 0.6;
        rgb = mix(vec3(grey), rgb, opacity);
        opacity = 1.0;
    } else if (flatten > 0.5 && opacity < 1.0) {
        rgb = mix(background, rgb, opacity);
        opacity = 1.0;
    }
    vec4 result = vec4(rgb, opacity);
    if (dither > 0.5)
        result = min(floor(result * levels + threshold(gl_FragCoord.xy)), levels) / levels;
    gl_FragColor = result;
}
