#!/usr/bin/env python3
"""Independent figures for its90's uncertainties: the deviation function's weights as the
Lagrange basis through the fixed points (exact fractions, then the six significant digits the
calibration carries), u(dE(t))^2 = sum (L_i u_i)^2 + u_0^2 and U = k u, U_C = U / S(t); the
comparison's u(dt) from the readings' sample standard deviations; a budget file's quantities
from their components' distributions. Usage: uncertainty_check.py ITS90."""
import csv
import io
import math
import os
import statistics
import subprocess
import sys
import tempfile
from fractions import Fraction

from tally import Tally

its90 = sys.argv[1]
tally = Tally()
check = tally.check


def run(*args):
    r = subprocess.run([its90, *args], capture_output=True, text=True)
    return r.returncode, r.stdout, r.stderr


def six(x):
    return float(f"{float(x):.6g}")


def weights(points):
    """a_i, b_i, c_i (the bracket of C) of the Lagrange basis, to six significant digits."""
    result = []
    for i in range(3):
        ti = Fraction(points[i])
        tj, tk = (Fraction(points[m]) for m in range(3) if m != i)
        p = (ti - tj) * (ti - tk)
        result.append((six(tj * tk / p), six(-(tj + tk) / p), six(Fraction(10**6) / p)))
    return result


def seebeck_s(t):
    return float(run("seebeck", "S", repr(t))[1])


def close(a, b, rel=1e-12):
    return abs(a - b) <= rel * max(abs(a), abs(b), 1e-300)


for middle, points in (("--al", ("419.527", "660.323", "1084.62")), ("--sb", ("419.527", "630.63", "1084.62"))):
    w = weights(points)
    u = (0.5, 0.6, 0.8)
    u0 = 0.3
    k = 2.5
    code, out, err = run("calibrate", "--zn", "3.45689", middle, "5.87013" if middle == "--al" else "5.5628",
                         "--cu", "10.5848", "--u-zn", "0.5", "--u-" + middle[2:], "0.6", "--u-cu", "0.8",
                         "--u-common", "0.3", "--k", "2.5", "--format", "csv", "--at", "300", "500", "1000", "1500")
    check(f"calibrate {middle} runs", code == 0, err)
    for row in csv.DictReader(io.StringIO(out)):
        t = float(row["t_C"])
        l = [a + b * t + c * 1e-6 * t * t for a, b, c in w]
        expected = math.sqrt(sum((li * ui) ** 2 for li, ui in zip(l, u)) + u0 ** 2)
        check(f"u at {t} {middle}", close(float(row["u_uV"]), expected, 1e-9), (row, expected))
        check(f"U at {t} {middle}", close(float(row["U_uV"]), k * expected, 1e-9), row)
        check(f"U_C at {t} {middle}", close(float(row["U_C"]), k * expected / seebeck_s(t), 1e-9), row)

# The comparison: three readings each, typed certificate uncertainty.
std = [3.26046, 3.26050, 3.26041]
uut = [16.38544, 16.38560, 16.38531]
code, out, err = run("compare", "K", "--at", "400", "--std", ",".join(map(str, std)), "--uut", ",".join(map(str, uut)),
                     "--cert", "3.2587", "--u-cert", "1.5", "--u-dvm", "0.5", "--u-furnace", "0.1", "--format", "csv")
check("compare runs", code == 0, err)
row = next(csv.DictReader(io.StringIO(out)))
a_std = statistics.stdev(std) / math.sqrt(3) * 1000
a_uut = statistics.stdev(uut) / math.sqrt(3) * 1000
s_std, s_uut = float(row["std_seebeck_uV_per_C"]), float(row["uut_seebeck_uV_per_C"])
expected = math.sqrt((a_uut ** 2 + 0.25) / s_uut ** 2 + (a_std ** 2 + 0.25 + 2.25) / s_std ** 2 + 0.01)
check("u(dt)", close(float(row["u_delta_t_C"]), expected, 1e-9), (row["u_delta_t_C"], expected))
check("U(dt)", close(float(row["U_delta_t_C"]), 2 * expected, 1e-9), row["U_delta_t_C"])

# A budget file: the same quantities from their components.
budget = """quantity,name,value,unit,distribution,k,dof
# the fixed points
zn,repeatability,0.4,uV,normal,,4
zn,furnace gradient,0.05,C,rectangular,,
al,repeatability,0.6,uV,normal,1,
cu,cell,1.2,uV,normal,2,
cert,certificate,3,uV,normal,2,
dvm,voltmeter,0.8,uV,rectangular,,
furnace,junctions,0.2,C,triangular,,
"""
with tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False) as f:
    f.write(budget)
    path = f.name
try:
    code, out, err = run("calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--budget", path,
                         "--format", "csv", "--at", "1000")
    check("budget file runs", code == 0, err)
    row = next(csv.DictReader(io.StringIO(out)))
    s_zn = seebeck_s(419.527)
    u_zn = math.sqrt(0.4 ** 2 + (0.05 / math.sqrt(3) * s_zn) ** 2)
    u = (u_zn, 0.6, 0.6)
    l = [a + b * 1000 + c * 1e-6 * 1e6 for a, b, c in weights(("419.527", "660.323", "1084.62"))]
    expected = math.sqrt(sum((li * ui) ** 2 for li, ui in zip(l, u)))
    check("budget u at 1000", close(float(row["u_uV"]), expected, 1e-9), (row["u_uV"], expected))
    code, out, err = run("compare", "K", "--at", "400", "--std", "3.26046", "--uut", "16.38544", "--cert", "3.2587",
                         "--budget", path, "--format", "csv")
    check("budget compare runs", code == 0, err)
    row = next(csv.DictReader(io.StringIO(out)))
    expected = math.sqrt((0.8 / math.sqrt(3)) ** 2 / 42.24 ** 2 + ((0.8 / math.sqrt(3)) ** 2 + 1.5 ** 2) / 9.57 ** 2
                         + (0.2 / math.sqrt(6)) ** 2)
    check("budget u(dt)", close(float(row["u_delta_t_C"]), expected, 1e-9), (row["u_delta_t_C"], expected))
    # Refused: a negative value, an unknown distribution, a k of 0; nothing on standard output.
    for line, named in (("zn,x,-1,uV,normal,,", "-1"), ("zn,x,1,uV,gaussian,,", "gaussian"),
                        ("zn,x,1,uV,normal,0,", "coverage factor")):
        with open(path, "w") as f:
            f.write(line + "\n")
        code, out, err = run("calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--budget", path)
        check(f"budget refuses {named}", code == 2 and out == "" and named in err and "line 1" in err, (code, err))
finally:
    os.unlink(path)

for args, named in ((("--u-zn", "-0.5"), "--u-zn"), (("--k", "0"), "--k"), (("--u-zn", "abc"), "abc")):
    code, out, err = run("calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848", "--u-al", "1",
                         "--u-cu", "1", *args)
    check(f"refuses {' '.join(args)}", code == 2 and out == "" and named in err, (code, err))

tally.finish()
