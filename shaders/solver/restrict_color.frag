#version 120
#extension GL_ARB_texture_rectangle : require
// Next coarser level of a constraint image. Free texels (alpha CONSTRAINT_ALPHA_THRESHOLD or
// less) stay out of it: the coarser texel carries the mean colour of the constrained finer
// texels, with alpha 1, or stays free (0, 0, 0, 0) when none of the four is constrained. It
// stays free too when the constrained texels disagree (two sides of a curve of different colours
// meet in it): a mean of both sides would hold the coarse solve to a colour neither side has,
// and the colour jump across the curve is carried by the divergence instead.
uniform sampler2DRect imgMap;

// Largest channel difference between constrained texels that still counts as one colour.
const float kAgreement = 0.1;

void main()
{
    vec2 q = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    vec4 texels[4];
    texels[0] = texture2DRect(imgMap, q);
    texels[1] = texture2DRect(imgMap, q + vec2(1.0, 0.0));
    texels[2] = texture2DRect(imgMap, q + vec2(0.0, 1.0));
    texels[3] = texture2DRect(imgMap, q + vec2(1.0, 1.0));

    vec3 sum = vec3(0.0);
    vec3 lowest = vec3(1.0e6);
    vec3 highest = vec3(-1.0e6);
    float count = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (isConstrained(texels[i])) {
            sum += texels[i].rgb;
            lowest = min(lowest, texels[i].rgb);
            highest = max(highest, texels[i].rgb);
            count += 1.0;
        }
    }
    vec3 spread = highest - lowest;
    bool agree = max(spread.r, max(spread.g, spread.b)) <= kAgreement;
    gl_FragColor = (count > 0.0 && agree) ? vec4(sum / count, 1.0) : vec4(0.0);
}
