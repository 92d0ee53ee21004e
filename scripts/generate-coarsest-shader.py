#!/usr/bin/env python3
"""Writes shaders/solver/mg_coarsest.frag: the exact solve of the multigrid's coarsest level (at
most SIDE x SIDE texels, SIDE being kCoarsestSize in render/solver/coarsest_level.h) by conjugate
gradients, written out long-hand so that every unknown lives in its own variable (a software GL
runs indexed arrays far slower than plain registers).

    generate-coarsest-shader.py [OUT]   writes the shader (default: the source tree's)
    generate-coarsest-shader.py --check fails, naming the file, when the shipped shader differs
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHADER = os.path.join(ROOT, "shaders", "solver", "mg_coarsest.frag")


def coarsest_size():
    with open(os.path.join(ROOT, "render", "solver", "coarsest_level.h")) as f:
        return int(re.search(r"constexpr int kCoarsestSize = (\d+);", f.read()).group(1))


SIDE = coarsest_size()
STEPS = 30
N = SIDE * SIDE

NEIGHBOURS = [  # (dx, dy) in the order of neighbourSum's arguments
    (-1, 0), (1, 0), (0, -1), (0, 1), (-1, -1), (1, -1), (-1, 1), (1, 1),
]


def product(k, vector):
    """Row k of A times the vector: the centre term and the prelude's neighbourSum, with zero
    for the neighbours past the level's edge."""
    x, y = k % SIDE, k // SIDE
    values = []
    for dx, dy in NEIGHBOURS:
        nx, ny = x + dx, y + dy
        inside = 0 <= nx < SIDE and 0 <= ny < SIDE
        values.append(f"{vector}{ny * SIDE + nx}" if inside else "Diffused(0.0)")
    return f"c{k} * {vector}{k} + neighbourSum(a{k}, b{k}, {', '.join(values)})"


def shader_text():
    out = []
    w = out.append
    w("#version 120")
    w("#extension GL_ARB_texture_rectangle : require")
    w(f"// Solves A e = f exactly on the coarsest level of the multigrid (at most {SIDE} x {SIDE} texels) in")
    w("// one pass: every texel loads the whole level, runs conjugate gradients (exact after as many")
    w("// steps as there are unknowns; a few more absorb rounding) and keeps its own value. Fixed")
    w("// texels are no unknowns and get 0. The operator is laid out as in mg_smooth.frag. Every")
    w("// diffused channel is solved at once (see the prelude's Diffused).")
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
        w(f"    Diffused r{k} = m{k} * diffusedPart(texture2DRect(rhsMap, {t}));")
        w(f"    Diffused x{k} = Diffused(0.0);")
        w(f"    Diffused d{k} = r{k};")
    w("    Diffused rr = " + " + ".join(f"r{k} * r{k}" for k in range(N)) + ";")
    w(f"    for (int iteration = 0; iteration < {STEPS}; ++iteration) {{")
    for k in range(N):
        w(f"        Diffused q{k} = {product(k, 'd')};")
    w("        Diffused dq = " + " + ".join(f"d{k} * q{k}" for k in range(N)) + ";")
    w("        Diffused alpha = step(Diffused(tiny), dq) * rr / max(dq, Diffused(tiny));")
    for k in range(N):
        w(f"        x{k} += alpha * d{k};")
        w(f"        r{k} -= alpha * q{k};")
    w("        Diffused next = " + " + ".join(f"r{k} * r{k}" for k in range(N)) + ";")
    w("        Diffused beta = step(Diffused(tiny), rr) * next / max(rr, Diffused(tiny));")
    for k in range(N):
        w(f"        d{k} = r{k} + beta * d{k};")
    w("        rr = next;")
    w("    }")
    w("    vec2 cell = floor(gl_FragCoord.xy);")
    w(f"    float own = cell.y * {SIDE}.0 + cell.x;")
    w("    Diffused value = " + " + ".join(f"x{k} * (own == {k}.0 ? 1.0 : 0.0)" for k in range(N)) + ";")
    w("    gl_FragColor = asTexel(value);")
    w("}")
    return "\n".join(out) + "\n"


def main():
    text = shader_text()
    if sys.argv[1:] == ["--check"]:
        with open(SHADER) as f:
            if f.read() != text:
                print(f"{SHADER} is not what {sys.argv[0]} writes: run it", file=sys.stderr)
                return 1
        return 0
    path = sys.argv[1] if len(sys.argv) > 1 else SHADER
    with open(path, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
