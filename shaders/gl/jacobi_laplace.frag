#version 120
#extension GL_ARB_texture_rectangle : require
// One damped Jacobi sweep of laplacian(u) = 0: u <- mix(u, mean of the four neighbours, weight).
// Edge texels repeat beyond the border (zero flux); fixed texels (alpha of fixedMap above
// CONSTRAINT_ALPHA_THRESHOLD) take the value fixedMap holds there.
uniform sampler2DRect imgMap;
uniform sampler2DRect fixedMap;
uniform float weight;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (isConstrained(fixedValue)) {
        gl_FragColor = vec4(fixedValue.rgb, 1.0);
        return;
    }
    vec3 sum = texture2DRect(imgMap, p + vec2(1.0, 0.0)).rgb
             + texture2DRect(imgMap, p - vec2(1.0, 0.0)).rgb
             + texture2DRect(imgMap, p + vec2(0.0, 1.0)).rgb
             + texture2DRect(imgMap, p - vec2(0.0, 1.0)).rgb;
    vec3 u = texture2DRect(imgMap, p).rgb;
    gl_FragColor = vec4(mix(u, 0.25 * sum, weight), 1.0);
}
