#!/usr/bin/env bash
# Every text the command line passes through tr() or marks with N_() has its Simplified
# Chinese translation in the catalog, and the catalog compiles.
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
xgettext --from-code=UTF-8 -k -ktr -kN_ --c++ -o "$work/its90.pot" "$root"/cli/*.cpp
msgfmt --check -o /dev/null "$root/po/zh_CN.po"
msgcmp "$root/po/zh_CN.po" "$work/its90.pot"
echo "1 passed, 0 failed"
