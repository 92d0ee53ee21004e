#!/usr/bin/env python3
"""Writes shaders/mg_coarsest.frag: the exact solve of the multigrid's coarsest level (at most
5 x 5 texels) by conjugate gradients, written out long-hand so that every unknown lives in its
own variable (a software GL runs indexed arrays far slower than plain registers)."""
import sys

SIDE = 5
STEPS = 30
N = SIDE * SIDE

NEIGHBOURS = [  # (dx, dy, stencil component)
    (-1, 0, "a{k}.x"), (1, 0, "a{k}.y"), (0, -1, "a{k}.z"), (0, 1, "a{k}.w"),
    (-1, -1, "b{k}.x"), (1, -1, "b{k}.y"), (-1, 1, "b{k}.z"), (1, 1, "b{k}.w"),
]


def product(k, vector):
    x, y = k % SIDE, k // SIDE
    terms = [f"c{k} * {vector}{k}"]
    for dx, dy, coef in NEIGHBOURS:
        nx, ny = x + dx, y + dy
        if 0 <= nx < SIDE and 0 <= ny < SIDE:
            terms.append(f"{coef.format(k=k)} * {vector}{ny * SIDE + nx}")
    return " + ".join(terms)


def main():
    out = []
    w = out.append
    w("#version 120")
    w("#extension GL_ARB_texture_rectangle : require")
    w("// Solves A e = f exactly on the coarsest level of the multigrid (at most 5 x 5 texels) in")
    w("// one pass: every texel loads the whole level, runs conjugate gradients (exact after as many")
    w("// steps as there are unknowns; a few more absorb rounding) and keeps its own value. Fixed")
    w("// texels are no unknowns and get 0. The operator is laid out as in mg_smooth.frag.")
    w("// Written by scripts/generate-coarsest-shader.py: edit that, not this file.")
    w("uniform sampler2DRect rhsMap;")
    w("uniform sampler2DRect stencilA;")
    w("uniform sampler2DRect stencilB;")
    w("uniform sampler2DRect stencilC;")
    w("uniform float width;")
    w("uniform float height;")
    w("")
    w("void main()")
    w("{")
    w("    const float tiny = 1.0e-30;")
    for k in range(N):
        x, y = k % SIDE, k // SIDE
        t = f"vec2({x}.5, {y}.5)"
        w(f"    vec4 s{k} = texture2DRect(stencilC, {t});")
        w(f"    float m{k} = {x}.0 < width && {y}.0 < height && s{k}.a < 0.5 ? 1.0 : 0.0;")
        w(f"    vec4 a{k} = m{k} * texture2DRect(stencilA, {t});")
        w(f"    vec4 b{k} = m{k} * texture2DRect(stencilB, {t});")
        w(f"    float c{k} = m{k} * s{k}.x;")
        w(f"    vec3 r{k} = m{k} * texture2DRect(rhsMap, {t}).rgb;")
        w(f"    vec3 x{k} = vec3(0.0);")
        w(f"    vec3 d{k} = r{k};")
    w("    vec3 rr = " + " + ".join(f"r{k} * r{k}" for k in range(N)) + ";")
    w(f"    for (int iteration = 0; iteration < {STEPS}; ++iteration) {{")
    for k in range(N):
        w(f"        vec3 q{k} = {product(k, 'd')};")
    w("        vec3 dq = " + " + ".join(f"d{k} * q{k}" for k in range(N)) + ";")
    w("        vec3 alpha = step(vec3(tiny), dq) * rr / max(dq, vec3(tiny));")
    for k in range(N):
        w(f"        x{k} += alpha * d{k};")
        w(f"        r{k} -= alpha * q{k};")
    w("        vec3 next = " + " + ".join(f"r{k} * r{k}" for k in range(N)) + ";")
    w("        vec3 beta = step(vec3(tiny), rr) * next / max(rr, vec3(tiny));")
    for k in range(N):
        w(f"        d{k} = r{k} + beta * d{k};")
    w("        rr = next;")
    w("    }")
    w("    vec2 cell = floor(gl_FragCoord.xy);")
    w(f"    float own = cell.y * {SIDE}.0 + cell.x;")
    w("    vec3 value = " + " + ".join(f"x{k} * (own == {k}.0 ? 1.0 : 0.0)" for k in range(N)) + ";")
    w("    gl_FragColor = vec4(value, 1.0);")
    w("}")
    text = "\n".join(out) + "\n"
    path = sys.argv[1] if len(sys.argv) > 1 else "shaders/mg_coarsest.frag"
    with open(path, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
