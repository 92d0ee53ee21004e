#version 120
#extension GL_ARB_texture_rectangle : require
// The pull half of a first estimate (see mg_push.frag): coarser texel I, which sits on finer
// texel 2I, takes the mean of the known values of the 3 x 3 finer texels around 2I, weighted
// (1 2 1) x (1 2 1) / 4 and by how well each is known, into draw buffer 0; buffer 1 says how
// well I is known (1: a known centre or more, 0: nothing known near), knownMap the same of the
// finer level. On the finest level (fromMask 1) the known texels are the fixed ones
// (isConstrained), known fully.
uniform sampler2DRect fineMap;
uniform sampler2DRect knownMap;
uniform float fromMask;
uniform float fineWidth;
uniform float fineHeight;

void main()
{
    vec2 centre = 2.0 * floor(gl_FragCoord.xy) + vec2(0.5);
    // The mean is taken relative to the first known value, so that equal values give exactly
    // that value (a flat drawing stays exactly flat).
    Diffused first = Diffused(0.0);
    Diffused sum = Diffused(0.0);
    float weight = 0.0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            vec2 q = centre + vec2(float(i), float(j));
            if (q.x < 0.0 || q.y < 0.0 || q.x > fineWidth || q.y > fineHeight)
                continue;
            vec4 fineTexel = texture2DRect(fineMap, q);
            Diffused fine = diffusedPart(fineTexel);
            float known =
                fromMask > 0.5 ? (isConstrained(fineTexel) ? 1.0 : 0.0) : texture2DRect(knownMap, q).r;
            float w = known * (2.0 - abs(float(i))) * (2.0 - abs(float(j))) / 4.0;
            if (w > 0.0 && weight == 0.0)
                first = fine;
            sum += w * (fine - first);
            weight += w;
        }
    }
    gl_FragData[0] = asTexel(weight > 0.0 ? first + sum / weight : Diffused(0.0));
    gl_FragData[1] = vec4(min(weight, 1.0));
}
