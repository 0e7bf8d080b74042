#!/usr/bin/env python3
"""Writes the entries of the eight NIST 1 degC thermocouple tables (NIST Monograph 175: EMF in
mV to 3 decimals, reference junction at 0 degC) as "TYPE T EMF" lines, computed independently
of the program: the reference functions from the NIST coefficient listing evaluated in exact
decimal arithmetic (50 digits, the type K exponential term included) and rounded once to 3
decimals. Usage: published_tables.py its90-coefficients.txt > data/published_tables.txt"""
import decimal
import re
import sys
from decimal import Decimal

decimal.getcontext().prec = 50

# The temperatures of the published tables.
TABLES = {"S": (-50, 1768), "R": (-50, 1768), "B": (0, 1820), "K": (-270, 1372),
          "N": (-270, 1300), "J": (-210, 1200), "E": (-270, 1000), "T": (-270, 400)}


def reference_functions(listing):
    """type -> [(low, high, [c0..cN])], and the type K exponential's a0, a1, a2."""
    functions, exponential = {}, None
    blocks = listing.split("name: reference function on ITS-90")[1:]
    for block in blocks:
        block = block.split("****")[0]
        kind = re.search(r"type: (\w)", block).group(1)
        ranges = []
        parts = re.split(r"^range:\s*", block, flags=re.M)[1:]
        for part in parts:
            lines = part.strip().splitlines()
            low, high, n = [x.strip() for x in lines[0].split(",")]
            coefficients = [Decimal(x.split()[0]) for x in lines[1:1 + int(n) + 1]]
            ranges.append((Decimal(low), Decimal(high), coefficients))
        functions[kind] = ranges
        if kind == "K":
            a = re.findall(r"a\d\s*=\s*(\S+)", block)
            exponential = [Decimal(x) for x in a]
    return functions, exponential


def emf(functions, exponential, kind, t):
    t = Decimal(t)
    for low, high, c in functions[kind]:
        if low <= t <= high:
            e = sum(ci * (t ** i if i else 1) for i, ci in enumerate(c))
            if kind == "K" and t > 0:
                a0, a1, a2 = exponential
                e += a0 * (a1 * (t - a2) ** 2).exp()
            return e
    raise ValueError(f"{kind} {t}")


def main():
    listing = open(sys.argv[1], encoding="utf-8").read()
    functions, exponential = reference_functions(listing)
    for kind, (low, high) in TABLES.items():
        for t in range(low, high + 1):
            value = emf(functions, exponential, kind, t).quantize(Decimal("0.001"),
                                                                  rounding=decimal.ROUND_HALF_EVEN)
            if value == 0:
                value = Decimal("0.000")
            print(kind, t, value)


main()
