#!/usr/bin/env python3
"""An industrial PRT's Callendar-Van Dusen fit against a least-squares solution computed
independently: the normal equations in R0, R0 A, R0 B, R0 C solved exactly with fractions.
Usage: fit_check.py ITS90."""
import csv
import io
import subprocess
import sys
from fractions import Fraction as F

its90 = sys.argv[1]
points = [(-196.0, 20.58), (-100.0, 60.27), (-40.0, 84.29), (0.0, 100.02), (100.0, 138.51),
          (200.0, 175.88), (300.0, 212.07), (420.0, 254.27)]


def row(t):
    t = F(t)
    return [F(1), t, t * t, (t - 100) * t ** 3 if t < 0 else F(0)]


n = 4
a = [[F(0)] * n for _ in range(n)]
b = [F(0)] * n
for t, r in points:
    f = row(t)
    for i in range(n):
        b[i] += f[i] * F(r)
        for j in range(n):
            a[i][j] += f[i] * f[j]
# Gauss-Jordan, exact.
for c in range(n):
    p = next(k for k in range(c, n) if a[k][c] != 0)
    a[c], a[p] = a[p], a[c]
    b[c], b[p] = b[p], b[c]
    for k in range(n):
        if k != c and a[k][c] != 0:
            m = a[k][c] / a[c][c]
            a[k] = [x - m * y for x, y in zip(a[k], a[c])]
            b[k] -= m * b[c]
x = [b[i] / a[i][i] for i in range(n)]
expected = {"r0_ohm": x[0], "A": x[1] / x[0], "B": x[2] / x[0], "C": x[3] / x[0]}

out = subprocess.run([its90, "cvd", "fit", *[f"{t}:{r}" for t, r in points], "--format", "csv"],
                     capture_output=True, text=True)
failed = 0
if out.returncode != 0:
    print("FAILED: cvd fit:", out.stderr)
    failed += 1
else:
    got = next(csv.DictReader(io.StringIO(out.stdout)))
    for name, value in expected.items():
        if abs(float(got[name]) - float(value)) > 1e-9 * abs(float(value)):
            print(f"FAILED {name}: {got[name]} against {float(value)!r}")
            failed += 1
print(f"{4 - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
