#!/usr/bin/env python3
"""Reads a calibration record's CSV as a spreadsheet or script would, with Python's csv
module, and checks it against the values the window showed. Usage:
check_record_csv.py RECORD.csv VALUE... (the nine table values, then A, B, C as shown)."""
import csv
import sys

path, expected = sys.argv[1], sys.argv[2:]
raw = open(path, "rb").read()
assert raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
assert b"\r\n" in raw, "no CRLF line ends"
with open(path, newline="", encoding="utf-8-sig") as f:
    rows = list(csv.reader(f))
assert rows[0] == ["标准铂铑10-铂热电偶 (S 型) 定点分度结果"], rows[0]
table = {}
for row in rows:  # the first table; a 1 degC table may follow
    if len(row) == 2 and row[0].isdigit():
        table.setdefault(row[0], row[1])
for t, value in zip(range(300, 1200, 100), expected[:9]):
    assert float(table[str(t)]) == float(value), (t, table[str(t)], value)
coefficients = {row[0]: row[1] for row in rows if row and row[0] in ("A", "B", "C")}
for name, value in zip("ABC", expected[9:12]):
    assert float(coefficients[name]) == float(value), (name, coefficients[name], value)
notes = [row for row in rows if row and row[0] == "备注"][0]
assert notes[1] == 'line one, "quoted"\nline two', notes
verdicts = [row[-1] for row in rows if row and row[-1] in ("合格", "不合格")]
assert len(verdicts) == 4, verdicts
print("1 passed, 0 failed")
