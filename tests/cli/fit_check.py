#!/usr/bin/env python3
"""An industrial PRT's Callendar-Van Dusen fit against a least-squares solution computed
independently: the normal equations in R0, R0 A, R0 B, R0 C solved exactly with fractions;
then the U (k = 2) its points' uncertainty gives a temperature, against the same solution's
hat matrix (a linear fit moves R(t) by u h_i(t) when point i rises by u), and an SPRT's U at
its one fixed point against dW/dt of the reference function. Usage: fit_check.py ITS90."""
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
points = [(-196.0, 20.58), (-100.0, 60.27), (-40.0, 84.29), (0.0, 100.02), (100.0, 138.51),
          (200.0, 175.88), (300.0, 212.07), (420.0, 254.27)]


def row(t):
    t = F(t)
    return [F(1), t, t * t, (t - 100) * t ** 3 if t < 0 else F(0)]


# The normal equations of a linear least-squares fit, solved exactly by Gauss-Jordan.
def solve_exactly(rows, values):
    m = len(rows[0])
    a = [[sum(f[i] * f[j] for f in rows) for j in range(m)] for i in range(m)]
    b = [sum(f[i] * F(v) for f, v in zip(rows, values)) for i in range(m)]
    for c in range(m):
        p = next(k for k in range(c, m) if a[k][c] != 0)
        a[c], a[p] = a[p], a[c]
        b[c], b[p] = b[p], b[c]
        for k in range(m):
            if k != c and a[k][c] != 0:
                f = a[k][c] / a[c][c]
                a[k] = [x - f * y for x, y in zip(a[k], a[c])]
                b[k] -= f * b[c]
    return [b[i] / a[i][i] for i in range(m)]


n = 4
x = solve_exactly([row(t) for t, _ in points], [r for _, r in points])
expected = {"r0_ohm": x[0], "A": x[1] / x[0], "B": x[2] / x[0], "C": x[3] / x[0]}

out = subprocess.run([its90, "cvd", "fit", *[f"{t}:{r}" for t, r in points], "--format", "csv"],
                     capture_output=True, text=True)
tally.check("cvd fit: exit 0", out.returncode == 0, out.stderr)
got = next(csv.DictReader(io.StringIO(out.stdout))) if out.returncode == 0 else {}
for name, value in expected.items():
    tally.check(f"cvd fit: {name}", name in got and abs(float(got[name]) - float(value)) <= 1e-9 * abs(float(value)),
                (got.get(name), float(value)))

# With D, a t^3 term above 0 degC: the same normal equations with its column.
with_d = points + [(550.0, 295.94), (650.0, 329.61)]
xd = solve_exactly([row(t) + [F(t) ** 3 if t >= 0 else F(0)] for t, _ in with_d], [r for _, r in with_d])
out = subprocess.run([its90, "cvd", "fit", *[f"{t}:{r}" for t, r in with_d], "--with-d", "--format", "csv"],
                     capture_output=True, text=True)
got = next(csv.DictReader(io.StringIO(out.stdout))) if out.returncode == 0 else {}
tally.check("cvd fit --with-d: R0, A, B, C and D as the exact solution",
            all(k in got and abs(float(got[k]) - float(v)) <= 1e-9 * abs(float(v))
                for k, v in {"r0_ohm": xd[0], "A": xd[1] / xd[0], "B": xd[2] / xd[0], "C": xd[3] / xd[0],
                             "D": xd[4] / xd[0]}.items()), (out.stdout, out.stderr, [float(v) for v in xd]))
# Converted with those coefficients inside a certificate's range, refused beyond it.
given = ["--r0", got.get("r0_ohm", "100"), "--a", got.get("A", "0"), "--b", got.get("B", "0"), "--c", got.get("C", "0"),
         "--d", got.get("D", "0"), "--valid", "-50:600"]
out = subprocess.run([its90, "cvd", "resistance", *given, "500", "600.001"], capture_output=True, text=True)
t = F(500)
r500 = xd[0] + xd[1] * t + xd[2] * t * t + xd[4] * t ** 3
tally.check("cvd resistance --d --valid: R(500) with D, 600.001 refused naming the range",
            out.returncode == 1 and math.isclose(float(out.stdout.split()[0]), float(r500), rel_tol=1e-12)
            and "-50 … 600" in out.stderr, (out.stdout, out.stderr, float(r500)))

# U(t) = 2 u sqrt(sum h_i(t)^2) / (dR/dt), h(t) = f(t)^T (F^T F)^-1 F^T: the inverse of the normal
# matrix, exact, again by Gauss-Jordan.
design = [row(t) for t, _ in points]
normal = [[sum(f[i] * f[j] for f in design) for j in range(n)] for i in range(n)]
inverse = [[F(int(i == j)) for j in range(n)] for i in range(n)]
for c in range(n):
    p = next(k for k in range(c, n) if normal[k][c] != 0)
    normal[c], normal[p] = normal[p], normal[c]
    inverse[c], inverse[p] = inverse[p], inverse[c]
    pivot = normal[c][c]
    normal[c] = [v / pivot for v in normal[c]]
    inverse[c] = [v / pivot for v in inverse[c]]
    for k in range(n):
        if k != c and normal[k][c] != 0:
            m = normal[k][c]
            normal[k] = [v - m * w for v, w in zip(normal[k], normal[c])]
            inverse[k] = [v - m * w for v, w in zip(inverse[k], inverse[c])]


def expanded_mk(t, u_mohm):
    ft = row(t)
    g = [sum(ft[i] * inverse[i][j] for i in range(n)) for j in range(n)]
    h = [sum(g[j] * f[j] for j in range(n)) for f in design]
    t = F(t)
    slope = x[1] + 2 * x[2] * t + (x[3] * (4 * t ** 3 - 300 * t ** 2) if t < 0 else 0)
    return 2 * (u_mohm / 1000) * math.sqrt(float(sum(v * v for v in h))) / float(slope) * 1000


at = [-150, -40, 0, 55.5, 420, 850]
out = subprocess.run([its90, "cvd", "fit", *[f"{t}:{r}" for t, r in points], "--u", "2.5",
                      *[w for t in at for w in ("--at", str(t))], "--format", "csv"], capture_output=True, text=True)
lines = out.stdout.splitlines()
rows = list(csv.DictReader(io.StringIO("\n".join(lines[2:])))) if out.returncode == 0 else []
tally.check("cvd fit --u: a U at each --at", len(rows) == len(at), out.stdout + out.stderr)
for r, t in zip(rows, at):
    tally.check(f"cvd fit --u 2.5: U at {t} degC",
                float(r["t_C"]) == t and math.isclose(float(r["U_k2_mK"]), expanded_mk(t, 2.5), rel_tol=1e-6),
                (r, expanded_mk(t, 2.5)))

# An SPRT on TPW-Ga: W = (Wr - a) / (1 - a), so raising R_Ga by u moves W(Ga) by u / R_TPW and
# U(Ga) = 2 (u / R_TPW) / (dWr/dt / (1 - a)); at the triple point of water W = 1 whatever u is.
C = [F(c) for c in ("2.78157254", "1.64650916", "-0.13714390", "-0.00649767", "-0.00234444",
                    "0.00511868", "0.00187982", "-0.00204472", "-0.00046122", "0.00045724")]
r_tpw, r_ga, u = 25.5, 28.51168, 0.1
out = subprocess.run([its90, "sprt", "fit", "TPW-Ga", "--rtpw", str(r_tpw), "--point", f"29.7646:{r_ga}",
                      "--u", str(u), "--at", "29.7646", "--at", "0.01", "--format", "csv"], capture_output=True, text=True)
lines = out.stdout.splitlines()
a = float(lines[1].split(",")[0]) if out.returncode == 0 else math.nan
rows = list(csv.DictReader(io.StringIO("\n".join(lines[2:])))) if out.returncode == 0 else []
xg = (F("29.7646") + F("273.15") - F("754.15")) / 481
dwr_dt = float(sum(i * C[i] * xg ** (i - 1) for i in range(1, 10)) / 481)
u_ga = 2 * (u / 1000 / r_tpw) / (dwr_dt / (1 - a)) * 1000
tally.check("sprt fit TPW-Ga --u: U at Ga and at the triple point of water",
            len(rows) == 2 and math.isclose(float(rows[0]["U_k2_mK"]), u_ga, rel_tol=1e-5)
            and abs(float(rows[1]["U_k2_mK"])) < 1e-6, (out.stdout, out.stderr, u_ga))

for args, words in ((["cvd", "fit", "0:100", "100:138.5", "200:175.9", "--at", "50"], "--at needs --u"),
                    (["cvd", "fit", "0:100", "100:138.5", "200:175.9", "--u", "-1"], "not be below 0"),
                    (["cvd", "fit", "0:100", "100:138.5", "200:175.9", "--u", "1", "--at", "900"], "lies outside"),
                    (["cvd", "temp", "--r0", "100", "--a", "3.9e-3", "--b", "-5.8e-7", "--u", "1", "110"], "go with fit"),
                    (["sprt", "fit", "TPW-Ga", "--rtpw", "25.5", "--point", "29.7646:28.5", "--u", "1", "--at", "40"],
                     "lies outside"),
                    (["cvd", "fit", "-100:60.26", "-50:80.31", "0:100", "-20:92.16", "100:138.5", "--with-d"],
                     "D needs 2 points above 0"),
                    (["cvd", "temp", "--r0", "100", "--a", "3.9e-3", "--b", "-5.8e-7", "--valid", "100:50", "110"],
                     "--valid is T0:T1"),
                    (["cvd", "temp", "--r0", "100", "--a", "3.9e-3", "--b", "-5.8e-7", "--with-d", "110"],
                     "--with-d goes with fit"),
                    (["cvd", "fit", "0:100", "100:138.5", "200:175.9", "--d", "1e-11"], "--d goes with resistance")):
    p = subprocess.run([its90, *args], capture_output=True, text=True)
    tally.check(f"refused: {' '.join(args)}", p.returncode == 2 and p.stdout == "" and words in p.stderr, p.stderr[:200])

tally.finish()
