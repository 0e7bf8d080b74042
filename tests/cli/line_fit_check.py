#!/usr/bin/env python3
"""its90 fit line against a straight line fitted independently: the sums of the normal
equations in exact fractions, the covariance s^2 (A^T A)^-1 and the fitted value's variance
with the correlation, each compared with what the program prints as CSV. GUM H.3's points
first, then points of other shapes. Usage: line_fit_check.py ITS90."""
import csv
import io
import math
import os
import subprocess
import sys
from fractions import Fraction as F

sys.path.insert(0, os.path.dirname(__file__))
from tally import Tally  # noqa: E402

its90 = sys.argv[1]
tally = Tally()

H3 = [(21.521, -0.171), (22.012, -0.169), (22.512, -0.166), (23.003, -0.159), (23.507, -0.164),
      (23.999, -0.165), (24.513, -0.156), (25.002, -0.157), (25.503, -0.159), (26.010, -0.161),
      (26.511, -0.160)]
CASES = [
    ("GUM H.3", H3, 20, [30, 20, 21.521]),
    ("a steep line far from its origin", [(400, 16.38), (600, 24.9), (800, 33.3), (1000, 41.2)], 0, [700, 1200]),
    ("negative x, many points", [(-50 + 7.5 * k, 0.003 * k * k - 0.2 * k + 1) for k in range(15)], -10, [-50, 55]),
]


def exact(points, origin, at):
    xs = [F(x) - F(origin) for x, _ in points]
    ys = [F(y) for _, y in points]
    n = len(points)
    sx, sy = sum(xs), sum(ys)
    sxx = sum(x * x for x in xs)
    sxy = sum(x * y for x, y in zip(xs, ys))
    det = n * sxx - sx * sx
    y2 = (n * sxy - sx * sy) / det
    y1 = (sy - y2 * sx) / n
    ss = sum((y - y1 - y2 * x) ** 2 for x, y in zip(xs, ys))
    s2 = ss / (n - 2)
    c11, c22, c12 = s2 * sxx / det, s2 * n / det, -s2 * sx / det
    rows = []
    for x in at:
        d = F(x) - F(origin)
        rows.append((y1 + y2 * d, c11 + d * d * c22 + 2 * d * c12))
    return y1, y2, c11, c22, c12, s2, n - 2, rows


def close(a, b):
    return math.isclose(float(a), float(b), rel_tol=1e-12, abs_tol=1e-15)


for name, points, origin, at in CASES:
    args = [its90, "fit", "line", *[f"{x!r}:{y!r}" for x, y in points], "--origin", str(origin), "--format", "csv"]
    for x in at:
        args += ["--at", str(x)]
    p = subprocess.run(args, capture_output=True, text=True)
    tally.check(f"{name}: exit 0", p.returncode == 0, p.stderr)
    parts = p.stdout.split("\n\n") if "\n\n" in p.stdout else [p.stdout]
    lines = p.stdout.splitlines()
    head = next(csv.DictReader(io.StringIO("\n".join(lines[:2]))))
    y1, y2, c11, c22, c12, s2, dof, rows = exact(points, origin, at)
    tally.check(f"{name}: y1 and y2", close(head["y1"], y1) and close(head["y2"], y2), (head, float(y1), float(y2)))
    tally.check(f"{name}: u(y1), u(y2), r, s and the degrees of freedom",
                close(float(head["u_y1"]) ** 2, c11) and close(float(head["u_y2"]) ** 2, c22)
                and close(head["r"], float(c12) / math.sqrt(float(c11 * c22)))
                and close(float(head["s"]) ** 2, s2) and int(head["dof"]) == dof, head)
    at_rows = list(csv.DictReader(io.StringIO("\n".join(lines[2:]))))
    tally.check(f"{name}: the fitted value and its uncertainty at each x",
                len(at_rows) == len(at) and all(close(r["y"], v) and close(float(r["u_y"]) ** 2, var)
                                                for r, (v, var) in zip(at_rows, rows)), at_rows)

# GUM H.3 to the digits it publishes, from the text output.
p = subprocess.run([its90, "fit", "line", *[f"{x}:{y}" for x, y in H3], "--origin", "20", "--at", "30",
                    "--format", "csv"], capture_output=True, text=True)
lines = p.stdout.splitlines()
h = next(csv.DictReader(io.StringIO("\n".join(lines[:2]))))
b30 = next(csv.DictReader(io.StringIO("\n".join(lines[2:]))))
published = [(h["y1"], 4, -0.1712), (h["y2"], 5, 0.00218), (h["u_y1"], 4, 0.0029), (h["u_y2"], 5, 0.00067),
             (h["r"], 3, -0.930), (b30["y"], 4, -0.1494), (b30["u_y"], 4, 0.0041)]
tally.check("GUM H.3's published figures", all(round(float(v), d) == e for v, d, e in published), published)

# Points exactly on a line: certain coefficients, no correlation to state.
p = subprocess.run([its90, "fit", "line", "1:1", "2:2", "3:3", "--format", "csv"], capture_output=True, text=True)
tally.check("points on the line: u 0, r left empty", p.returncode == 0 and p.stdout.splitlines()[1].split(",")[2:5] == ["0", "0", ""],
            p.stdout)

for args, words in ((["fit", "line", "1:1", "2:2"], "three points"), (["fit", "line", "1:1", "1:2", "1:3"], "one x"),
                    (["fit", "line", "1:1", "2:x", "3:3"], "X:Y"), (["fit", "curve", "1:1"], "give line"),
                    (["fit", "line", "1:1", "2:2", "3:3", "--at", "y"], "--at takes a number")):
    p = subprocess.run([its90, *args], capture_output=True, text=True)
    tally.check(f"refused: {' '.join(args)}", p.returncode == 2 and p.stdout == "" and words in p.stderr, p.stderr[:200])

tally.finish()
