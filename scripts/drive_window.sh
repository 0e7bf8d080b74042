#!/usr/bin/env bash
# Starts the window (by default the asan build) on a real X display with a window manager,
# drives it with xdotool for a few seconds (every input field, every sensor, both middle
# points, an out-of-range value and its message box), closes it as a user does and fails
# unless it exits cleanly: no sanitizer finding, no leak.
set -euo pipefail
cd "$(dirname "$0")/.."
binary="${1:-build/asan/ui/its90-calculator}"
display=":${ITS90_DISPLAY:-57}"

Xvfb "${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=""
app=""
books=$(mktemp -d)
meter=""
cleanup() { kill ${app} ${meter} ${wm} ${xvfb} 2>/dev/null || true; rm -rf "${books}"; }
trap cleanup EXIT
export DISPLAY="${display}"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

export LSAN_OPTIONS="suppressions=${PWD}/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
unset QT_QPA_PLATFORM
export ITS90_BOOK="${books}/book.sqlite"   # a book of its own, never the user's
"${binary}" 2>build/drive_window.log &
app=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --classname its90-calculator | head -n 1)
xdotool windowactivate --sync "${window}"
# A click at a control's centre, in the client area's pixels (the layout's twips / 15), which
# lie below the menu bar: the window is that much taller than the client area's 496 pixels
# and the 26-pixel status line below it.
height=$(xdotool getwindowgeometry --shell "${window}" | sed -n 's/^HEIGHT=//p')
bar=$((height - 496 - 26))
click() { xdotool mousemove --window "${window}" "$1" $(($2 + bar)) click 1; sleep 0.2; }
type_text() { xdotool type --delay 40 "$1"; sleep 0.2; }
windows() { xdotool search --onlyvisible --classname its90-calculator 2>/dev/null | wc -l; }

click 61 135                                    # Op2, the antimony point
click 150 74;  type_text "3.45689"               # T1(0)
click 150 125; type_text "5.5628"                # T1(1)
click 61 116                                    # Op1, the aluminium point: its own EMF
click 150 125; xdotool key ctrl+a; type_text "5.87013"
click 150 74; xdotool key End; type_text ",1"; sleep 0.3  # "3.45689,1": read in part, marked
if command -v import >/dev/null; then import -window root build/drive_window_partly_read.png; fi
xdotool key BackSpace BackSpace; sleep 0.2
click 150 177; type_text "10.5848"               # T1(2): the table
click 80 250;  type_text "1000"                  # T1(12): the EMF at 1000 degC
for sensor in "101 346" "181 346" "261 346" "357 346" "101 366" "181 366" "261 366" "357 366" "101 386"; do
  click ${sensor}                               # every sensor button: S K J T R B N E Pt100
  click 101 420; type_text "100"                 # Txt_T90
done
click 101 346                                   # S
click 294 421; type_text "4"                     # Txt_E90
click 101 420; xdotool key ctrl+a; type_text "2000"   # Txt_T90: out of range at the last key
for _ in $(seq 50); do [ "$(windows)" -ge 2 ] && break; sleep 0.1; done
if [ "$(windows)" -lt 2 ]; then
  echo "drive_window: no message box for an out-of-range temperature"
  exit 1
fi
xdotool key Return                              # OK
sleep 0.5
# An absurd zinc EMF: no record, and the window goes on; then the menus and the guide.
click 150 74; xdotool key ctrl+a; type_text "1e303"
xdotool key alt+f; sleep 0.5; xdotool key Escape; sleep 0.2
click 150 74; xdotool key ctrl+a; type_text "3.45689"
xdotool key F1; sleep 1
if [ "$(windows)" -lt 2 ]; then
  echo "drive_window: F1 showed no guide"
  exit 1
fi
xdotool key --clearmodifiers alt+F4; sleep 0.5   # closes the guide
# The comparison window beside it: opened, typed into, closed.
xdotool windowactivate --sync "${window}" key ctrl+k; sleep 1
if [ "$(windows)" -lt 2 ]; then
  echo "drive_window: Ctrl+K showed no comparison window"
  exit 1
fi
type_text "S-1"; xdotool key Tab; type_text "ZS-2"
# 自动采集 from it: a whole run against the project's simulated meter on 127.0.0.1, its four
# points settled and read on the run's own thread while the window is driven.
"$(dirname "${binary}")/../instrument/its90-meter-sim" --port 0 --port-file "${books}/meter.port" \
  --tau 60 --time-scale 600 >/dev/null &
meter=$!
for _ in $(seq 100); do [ -s "${books}/meter.port" ] && break; sleep 0.1; done
xdotool key --clearmodifiers ctrl+m; sleep 1
acquisition=$(timeout 10 xdotool search --sync --onlyvisible --name "自动采集" | head -n 1)
xdotool key ctrl+a; type_text "tcp://127.0.0.1:$(cat "${books}/meter.port")"
xdotool mousemove --window "${acquisition}" 630 50 click --repeat 3 1; xdotool key ctrl+a; type_text "simulator"
xdotool mousemove --window "${acquisition}" 637 251 click 1; xdotool key ctrl+a; type_text "0.05"
xdotool key --clearmodifiers alt+s
ended=""
for _ in $(seq 600); do
  ended=$(python3 -c "import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute('SELECT outcome FROM run_ends').fetchone()[0])" \
            "${ITS90_BOOK}" 2>/dev/null || true)
  [ -n "${ended}" ] && break
  sleep 0.1
done
if [ "${ended}" != "complete" ]; then
  echo "drive_window: 自动采集 did not complete a run against the simulated meter (${ended:-no end})"
  exit 1
fi
sleep 0.5
if command -v import >/dev/null; then import -window root build/drive_window_acquisition.png; fi
kill "${meter}" 2>/dev/null || true
xdotool windowactivate --sync "${acquisition}" key --clearmodifiers alt+F4; sleep 0.5
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name "比较法校准" | head -n 1)"
xdotool key --clearmodifiers ctrl+w; sleep 0.5
# The record saved (its identification and file dialogs answered), then found in the book.
xdotool windowactivate --sync "${window}" key --clearmodifiers ctrl+s; sleep 1
xdotool key Return; sleep 1                      # the identification as offered
xdotool key ctrl+a; type_text "${books}/record.csv"; xdotool key Return; sleep 1
if [ ! -s "${books}/record.csv" ] || [ ! -s "${books}/book.sqlite" ]; then
  echo "drive_window: Ctrl+S saved no record, or the book did not keep it"
  exit 1
fi
xdotool windowactivate --sync "${window}" key --clearmodifiers ctrl+b; sleep 1
if [ "$(windows)" -lt 2 ]; then
  echo "drive_window: Ctrl+B showed no book"
  exit 1
fi
type_text "S"; xdotool key BackSpace              # the number filter: searched as typed
xdotool key --clearmodifiers ctrl+w; sleep 0.5
if command -v import >/dev/null; then import -window root build/drive_window.png; fi
xdotool windowactivate --sync "${window}" key --clearmodifiers alt+F4
status=0
wait "${app}" || status=$?
app=""
if [ "${status}" -ne 0 ]; then
  echo "drive_window: ${binary} exited with status ${status}"
  tail -n 60 build/drive_window.log
  exit 1
fi
echo "drive_window: ${binary} driven and closed cleanly"
