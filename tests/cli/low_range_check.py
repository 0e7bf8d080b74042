#!/usr/bin/env python3
"""The SPRT ranges below the argon point, e-H2-TPW, Ne-TPW and O2-TPW, against a thermometer
made here: ITS-90's A function and the deviation function a (W-1) + b (W-1)^2 +
sum c_i (ln W)^(i+n) (n = 2 for e-H2-TPW, 1 below Ne and O2) evaluated in Python, the thermometer's W at each fixed point solved by bisection, its
resistances fitted by the program (the coefficients must come back), converted both ways, and
the refusals. Usage: low_range_check.py ITS90."""
import csv
import io
import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
from tally import Tally  # noqa: E402

its90 = sys.argv[1]
tally = Tally()

A = [-2.13534729, 3.18324720, -1.80143597, 0.71727204, 0.50344027, -0.61899395, -0.05332322,
     0.28021362, 0.10715224, -0.29302865, 0.04459872, 0.11868632, -0.05248134]
# The points near 17 K and 20.3 K as a gas thermometer measured them, inside their windows.
POINTS = {"e-H2": -259.3467, "17 K": -256.08, "20.3 K": -252.93, "Ne": -248.5939, "O2": -218.7916, "Ar": -189.3442, "Hg": -38.8344}
R_TPW = 25.5


def wr(t):
    x = (math.log((t + 273.15) / 273.16) + 1.5) / 1.5
    return math.exp(sum(a * x ** i for i, a in enumerate(A)))


def dw(k, w, n):
    l = math.log(w)
    return k[0] * (w - 1) + k[1] * (w - 1) ** 2 + sum(c * l ** (i + 1 + n) for i, c in enumerate(k[2:]))


def w_of(k, t, n):
    target, lo, hi = wr(t), wr(t) / 2, 2 * wr(t)
    for _ in range(200):
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if mid - dw(k, mid, n) < target else (lo, mid)
    return (lo + hi) / 2


RANGES = [
    ("e-H2-TPW", 2, ["a", "b", "c1", "c2", "c3", "c4", "c5"], [-1.5e-4, -2e-5, 1e-7, 1e-8, 1e-9, 1e-10, 1e-11],
     ["e-H2", "17 K", "20.3 K", "Ne", "O2", "Ar", "Hg"], [-259.3467, -257, -254.5, -250, -230, -120, -38.8344, -0.3]),
    ("Ne-TPW", 1, ["a", "b", "c1", "c2", "c3"], [-1.5e-4, -2e-5, -1e-6, -1e-7, -5e-9], ["e-H2", "Ne", "O2", "Ar", "Hg"],
     [-248.5939, -230, -200, -100, -38.8344, -1]),
    ("O2-TPW", 1, ["a", "b", "c1"], [-1.3e-4, 1.1e-5, 2e-6], ["O2", "Ar", "Hg"], [-218.7916, -150, -38.8344, -0.5]),
]

for name, n, names, k, points, temperatures in RANGES:
    args = [its90, "sprt", "fit", name, "--rtpw", str(R_TPW), "--format", "csv"]
    for p in points:
        args += ["--point", f"{POINTS[p]}:{w_of(k, POINTS[p], n) * R_TPW!r}"]
    out = subprocess.run(args, capture_output=True, text=True)
    tally.check(f"{name} fit: exit 0", out.returncode == 0, out.stderr)
    rows = list(csv.reader(io.StringIO(out.stdout)))
    tally.check(f"{name} fit: its coefficients named as ITS-90 names them", rows[:1] == [names], rows)
    got = [float(v) for v in rows[1]] if len(rows) > 1 else []
    # Seven terms to (ln W)^7 leave e-H2-TPW's coefficients sensitive to W's last bits.
    close = 1e-6 if n == 2 else 1e-8
    tally.check(f"{name} fit: the thermometer's coefficients come back",
                len(got) == len(k) and all(math.isclose(g, e, rel_tol=close) for g, e in zip(got, k)), (got, k))

    given = [w for n, v in zip(names, k) for w in (f"--{n}", repr(v))]
    out = subprocess.run([its90, "sprt", "resistance", name, "--rtpw", str(R_TPW), *given, *map(str, temperatures)],
                         capture_output=True, text=True)
    r = [float(v) for v in out.stdout.split()]
    expected = [w_of(k, t, n) * R_TPW for t in temperatures]
    tally.check(f"{name}: t90 -> R", out.returncode == 0 and len(r) == len(expected)
                and all(math.isclose(a, b, rel_tol=1e-9) for a, b in zip(r, expected)), (out.stdout, out.stderr, expected))
    out = subprocess.run([its90, "sprt", "temp", name, "--rtpw", str(R_TPW), *given, *map(repr, expected)],
                         capture_output=True, text=True)
    t = [float(v) for v in out.stdout.split()]
    tally.check(f"{name}: R -> t90", out.returncode == 0 and len(t) == len(temperatures)
                and all(abs(a - b) < 2e-9 for a, b in zip(t, temperatures)), (out.stdout, out.stderr))

for args, words in (
        (["sprt", "temp", "Ne-TPW", "--rtpw", "25.5", "--a", "-1e-4", "--b", "0", "--c", "1e-6", "--c1", "0",
          "--c2", "0", "--c3", "0", "20"], "has no coefficient c"),
        (["sprt", "dev", "O2-TPW", "--a", "-1e-4", "--b", "0", "--c1", "0", "--c2", "1e-7", "0.5"], "has no coefficient c2"),
        (["sprt", "dev", "Ne-TPW", "--a", "-1e-4", "--b", "0", "--c1", "0", "--c2", "0", "0.5"], "--c3 is needed"),
        (["sprt", "fit", "Ne-TPW", "--rtpw", "25.5", "--point", "-248.5939:0.22", "--point", "-218.7916:2.34",
          "--point", "-189.3442:5.5", "--point", "-38.8344:21.5"], "-259.3467"),
        (["sprt", "fit", "e-H2-TPW", "--rtpw", "25.5", "--point", "-259.3467:0.033", "--point", "-256.3:0.06",
          "--point", "-252.9:0.11", "--point", "-248.5939:0.22", "--point", "-218.7916:2.34", "--point", "-189.3442:5.5",
          "--point", "-38.8344:21.5"], "-256.3 \u2103 is no fixed point"),
        (["sprt", "fit", "e-H2-TPW", "--rtpw", "25.5", "--point", "-259.3467:0.033", "--point", "-256.1:0.06",
          "--point", "-248.5939:0.22", "--point", "-218.7916:2.34", "--point", "-189.3442:5.5",
          "--point", "-38.8344:21.5"], "measured between -252.95 and -252.75"),
        (["sprt", "dev", "Ne-TPW", "--a", "-1e-4", "--b", "0", "--c1", "0", "--c2", "0", "--c3", "0", "--c4", "0", "0.5"],
         "has no coefficient c4"),
        (["sprt", "resistance", "O2-TPW", "--rtpw", "25.5", "--a", "-1e-4", "--b", "0", "--c1", "0", "-220"],
         "outside the range O2-TPW")):
    p = subprocess.run([its90, *args], capture_output=True, text=True)
    tally.check(f"refused: {' '.join(args)}", p.returncode in (1, 2) and words in p.stderr, p.stderr[:300])

tally.finish()
