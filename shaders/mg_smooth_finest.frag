#version 120
#extension GL_ARB_texture_rectangle : require
// Half a red-black Gauss-Seidel sweep on the finest level, for the texels whose x + y has the
// parity "parity" (0 red, 1 black); the others are copied. The equation of a free texel p is
//   sum over its in-canvas neighbours n of (u(n) - u(p)) = rhsWeight * div(p),
// so p takes the mean of its in-canvas neighbours less the right-hand side over their count.
// Fixed texels (alpha of fixedMap above 0.1) take the value fixedMap holds there; they are the
// neighbours' boundary values.
uniform sampler2DRect imgMap;
uniform sampler2DRect divMap;
uniform sampler2DRect fixedMap;
uniform float parity;
uniform float rhsWeight;
uniform float width;
uniform float height;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 fixedValue = texture2DRect(fixedMap, p);
    if (fixedValue.a > 0.1) {
        gl_FragColor = vec4(fixedValue.rgb, 1.0);
        return;
    }
    vec2 cell = floor(p);
    if (mod(cell.x + cell.y, 2.0) != parity) {
        gl_FragColor = vec4(texture2DRect(imgMap, p).rgb, 1.0);
        return;
    }
    vec3 sum = vec3(0.0);
    float count = 0.0;
    if (cell.x > 0.5) {
        sum += texture2DRect(imgMap, p - vec2(1.0, 0.0)).rgb;
        count += 1.0;
    }
    if (cell.x < width - 1.5) {
        sum += texture2DRect(imgMap, p + vec2(1.0, 0.0)).rgb;
        count += 1.0;
    }
    if (cell.y > 0.5) {
        sum += texture2DRect(imgMap, p - vec2(0.0, 1.0)).rgb;
        count += 1.0;
    }
    if (cell.y < height - 1.5) {
        sum += texture2DRect(imgMap, p + vec2(0.0, 1.0)).rgb;
        count += 1.0;
    }
    vec3 rhs = rhsWeight * texture2DRect(divMap, p).rgb;
    gl_FragColor = vec4((sum - rhs) / max(count, 1.0), 1.0);
}
