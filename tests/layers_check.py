#!/usr/bin/env python3
"""Fails when a source file, or a test of its layer, includes from a layer above its own, or
names a project header without its folder. The layers, lowest first: core, text,
calibration, book, instrument, form, ui; cli stands beside form and ui and uses core, text,
calibration, book and instrument."""
import pathlib
import re
import sys

ALLOWED = {
    "core": {"core"},
    "text": {"text"},
    "calibration": {"core", "text", "calibration"},
    "book": {"core", "text", "calibration", "book"},
    "instrument": {"core", "text", "calibration", "book", "instrument"},
    "form": {"core", "text", "calibration", "book", "instrument", "form"},
    "ui": {"core", "text", "calibration", "book", "instrument", "form", "ui"},
    "cli": {"core", "text", "calibration", "book", "instrument", "cli"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
faults = []
# The tests of a layer reach what the layer reaches, and the tests' own doubles.
FOLDERS = [(layer, layer, allowed) for layer, allowed in ALLOWED.items()]
FOLDERS += [(f"tests/{layer}", layer, allowed | {"tests"}) for layer, allowed in ALLOWED.items()]
for folder_name, layer, allowed in FOLDERS:
    for path in sorted((root / folder_name).rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        for header in INCLUDE.findall(path.read_text(encoding="utf-8")):
            folder = header.split("/")[0] if "/" in header else None
            if folder is None:
                faults.append(f"{path.relative_to(root)}: \"{header}\" names no folder")
            elif folder not in allowed:
                faults.append(f"{path.relative_to(root)}: includes {header} from a layer above {layer}")
# The book and every layer below it are plain C++: no toolkit header anywhere in them.
QT = re.compile(r'^\s*#\s*include\s+<Q', re.MULTILINE)
for layer in ("core", "text", "calibration", "book"):
    for path in sorted((root / layer).rglob("*")):
        if path.suffix in {".h", ".cpp"} and QT.search(path.read_text(encoding="utf-8")):
            faults.append(f"{path.relative_to(root)}: includes a Qt header")
# The instruments' layer keeps Qt inside its sources, and the window models stay free of it.
for path in sorted((root / "instrument").glob("*.h")) + sorted((root / "form").rglob("*")):
    if path.suffix in {".h", ".cpp"} and QT.search(path.read_text(encoding="utf-8")):
        faults.append(f"{path.relative_to(root)}: includes a Qt header")
for fault in faults:
    print(fault)
print(f"{0 if faults else 1} passed, {1 if faults else 0} failed")
sys.exit(1 if faults else 0)
