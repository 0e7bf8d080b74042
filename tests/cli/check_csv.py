"""Reads the command line's CSV with Python's csv module: a header, then numeric rows."""
import csv
import io
import subprocess
import sys

its90 = sys.argv[1]
runs = [
    ([its90, "table", "S", "--format", "csv", "--step", "0.5"], ["t_C", "emf_mV", "seebeck_uV_per_C"]),
    ([its90, "table", "Pt100", "--format", "csv"], ["t_C", "resistance_ohm", "slope_ohm_per_C"]),
    ([its90, "calibrate", "--zn", "3.45689", "--sb", "5.5628", "--cu", "10.5848",
      "--from", "-50", "--to", "1664.5", "--step", "0.5", "--format", "csv"], ["t_C", "emf_mV"]),
]
for args, header in runs:
    # A locale with a decimal comma must not change the output.
    env = {"LC_ALL": "de_DE.UTF-8", "LANG": "de_DE.UTF-8"}
    out = subprocess.run(args, check=True, capture_output=True, text=True, env=env).stdout
    rows = list(csv.reader(io.StringIO(out)))
    assert rows[0] == header, (args, rows[0])
    assert len(rows) > 100, (args, len(rows))
    for row in rows[1:]:
        assert len(row) == len(header), row
        float(row[0]); float(row[1])
        if len(row) > 2 and row[2]:
            float(row[2])
print("csv ok:", len(runs), "outputs")
