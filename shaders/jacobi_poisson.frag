#version 120
#extension GL_ARB_texture_rectangle : require
// One damped Jacobi sweep of laplacian(u) = rhs on the 5-point stencil, one texel as unit
// length: u <- mix(u, (left + right + down + up - rhs) / 4, weight). Neighbours outside the image
// read the edge texel (clamp to edge), which makes the canvas border reflecting (zero flux).
// Fixed texels (alpha of fixedMap above 0.1) take the value fixedMap holds there: the curve
// colours on the finest level, zero for the multigrid's coarse corrections. With
// "estimateWeight" 0 the estimate is taken as zero, not read (the first sweep of a coarse
// correction, which starts from zero, needs no cleared image).
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float weight;
uniform float estimateWeight;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (fixedValue.a > 0.1) {
        gl_FragColor = vec4(fixedValue.rgb, 1.0);
        return;
    }
    vec3 sum = vec3(0.0);
    vec3 u = vec3(0.0);
    if (estimateWeight > 0.5) {
        sum = texture2DRect(imgMap, p + vec2(1.0, 0.0)).rgb
            + texture2DRect(imgMap, p - vec2(1.0, 0.0)).rgb
            + texture2DRect(imgMap, p + vec2(0.0, 1.0)).rgb
            + texture2DRect(imgMap, p - vec2(0.0, 1.0)).rgb;
        u = texture2DRect(imgMap, p).rgb;
    }
    vec3 div = texture2DRect(divMap, p).rgb;
    gl_FragColor = vec4(mix(u, 0.25 * (sum - div), weight), 1.0);
}
