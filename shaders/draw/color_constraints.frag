#version 120
// The diffused colour of the side of the curve the fragment lies on: premultiplied colour and
// encoded opacity, which is at least OPACITY_FLOOR and so marks a constrained pixel (anything
// above CONSTRAINT_ALPHA_THRESHOLD counts). A pixel the centre line crosses gets both colours
// weighted by the area of the pixel on each side, so that edges are anti-aliased.
varying float side;
varying vec4 leftColor;
varying vec4 rightColor;

// Area of the unit pixel on the far side of a line at signed distance d (pixels) from its
// centre, whose unit normal has components of sizes a >= b: the distribution of the sum of two
// uniform offsets of widths a and b, piecewise quadratic and linear.
float coverage(float d, float a, float b)
{
    float outer = 0.5 * (a + b);
    float inner = 0.5 * (a - b);
    if (b < 1e-4)
        return clamp(0.5 + d / a, 0.0, 1.0);
    if (d <= -outer)
        return 0.0;
    if (d >= outer)
        return 1.0;
    if (d < -inner)
        return (d + outer) * (d + outer) / (2.0 * a * b);
    if (d > inner)
        return 1.0 - (outer - d) * (outer - d) / (2.0 * a * b);
    return 0.5 + d / a;
}

void main()
{
    // side runs across the strip; its screen gradient gives the distance to the centre line
    // (side 0.5) in pixels and the line's direction.
    vec2 g = vec2(dFdx(side), dFdy(side));
    float length = max(sqrt(dot(g, g)), 1e-6);
    vec2 n = abs(g) / length;
    float d = (side - 0.5) / length;
    float left = coverage(d, max(n.x, n.y), min(n.x, n.y));
    gl_FragColor = mix(rightColor, leftColor, left);
}
