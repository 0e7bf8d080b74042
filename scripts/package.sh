#!/usr/bin/env bash
# Builds the Debian package from the default build and checks it: its files, both programs
# run from the unpacked tree (the command line in English and in Chinese), and, as root,
# installed with dpkg -i, started, and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default
rm -f build/default/its90-calculator_*.deb
(cd build/default && cpack -G DEB >/dev/null)
deb=$(ls build/default/its90-calculator_*.deb)
echo "package: ${deb}"

passed=0
failed=0
check() {  # check NAME COMMAND...: counts a command that succeeds
  local name=$1
  shift
  if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: ${name}"; fi
}

dpkg-deb --contents "${deb}" > build/default/package-contents.txt
for file in usr/bin/its90 usr/bin/its90-calculator usr/share/applications/its90-calculator.desktop \
            usr/share/icons/hicolor/scalable/apps/its90-calculator.svg \
            usr/share/locale/zh_CN/LC_MESSAGES/its90.mo usr/bin/its90-meter-sim \
            usr/share/its90-calculator/profiles/generic.profile; do
  check "contains ${file}" grep -q "\./${file}\$" build/default/package-contents.txt
done
check "declares its libraries" sh -c "dpkg-deb --field '${deb}' Depends | grep -q libqt6widgets6"
check "declares SQLite, the book's library" sh -c "dpkg-deb --field '${deb}' Depends | grep -q libsqlite3-0"
check "declares Qt's serial ports, the meters' library" sh -c "dpkg-deb --field '${deb}' Depends | grep -q libqt6serialport6"

unpacked=$(mktemp -d)
trap 'rm -rf "${unpacked}"' EXIT
dpkg-deb -x "${deb}" "${unpacked}"
check "its90 runs" sh -c "[ \"\$('${unpacked}/usr/bin/its90' emf K 100)\" = 4.09623 ]"
if locale -a | grep -qi '^zh_CN\.utf-\?8$'; then
  check "its90 speaks Chinese from its catalog" sh -c \
    "LC_ALL=zh_CN.UTF-8 '${unpacked}/usr/bin/its90' emf K 2000 2>&1 | grep -q 'K 型温度超出'"
fi
check "its90 keeps a calibration in a book and finds it" sh -c \
  "ITS90_BOOK='${unpacked}/book.sqlite' '${unpacked}/usr/bin/its90' calibrate --zn 3.45689 --al 5.87013 --cu 10.5848 --keep S-1 &&
   ITS90_BOOK='${unpacked}/book.sqlite' '${unpacked}/usr/bin/its90' book list --format csv | grep -q ',fixed-point,S-1,'"
check "its90 reads the simulated meter it ships with" sh -c \
  "'${unpacked}/usr/bin/its90-meter-sim' --port 0 --port-file '${unpacked}/meter.port' >/dev/null & meter=\$!;
   for i in \$(seq 100); do [ -s '${unpacked}/meter.port' ] && break; sleep 0.1; done;
   '${unpacked}/usr/bin/its90' meter identify tcp://127.0.0.1:\$(cat '${unpacked}/meter.port') | grep -q its90-meter-sim;
   status=\$?; kill \$meter; exit \$status"
# The window runs until it is closed: still running after three seconds is a good start.
check "the window starts" sh -c "QT_QPA_PLATFORM=offscreen timeout 3 '${unpacked}/usr/bin/its90-calculator'; [ \$? -eq 124 ]"

if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W its90-calculator >/dev/null 2>&1; then
  check "dpkg -i installs it" dpkg -i "${deb}"
  check "installed its90 runs" sh -c "[ \"\$(/usr/bin/its90 emf K 100)\" = 4.09623 ]"
  check "installed window starts" sh -c "QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/its90-calculator; [ \$? -eq 124 ]"
  check "dpkg -r removes it" dpkg -r its90-calculator
fi
echo "${passed} passed, ${failed} failed"
[ "${failed}" -eq 0 ]
