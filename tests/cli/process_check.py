#!/usr/bin/env python3
"""its90 as a person and a script meet it, as a whole process: its messages in English, or
in Simplified Chinese under a zh_* locale (skipped where the machine has no such locale); a
result shown at once when its line is read from a pipe that stays open; a value beyond the
double's range refused. Usage: process_check.py ITS90."""
import os
import select
import subprocess
import sys

from tally import Tally

its90 = sys.argv[1]
tally = Tally()
check = tally.check


def run(args, language, stdin=""):
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LANGUAGE"}
    env["LC_ALL"] = language
    return subprocess.run([its90] + args, input=stdin.encode(), env=env, capture_output=True)


def has_locale(name):
    out = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
    return name.lower().replace("utf-8", "utf8") in out.replace("utf-8", "utf8")


english = run(["emf", "K", "2000", "abc"], "C")
check("English rejection", "type K temperature outside -270 … 1372 ℃" in english.stderr.decode(),
      english.stderr)
check("English not a number", "'abc' is not a number" in english.stderr.decode(), english.stderr)
check("English help", run(["--help"], "C").stdout.decode().startswith("Usage: its90 COMMAND"))

if has_locale("zh_CN.utf8"):
    chinese = run(["emf", "K", "2000", "abc", "1e-400"], "zh_CN.UTF-8")
    err = chinese.stderr.decode()
    check("Chinese rejection", "K 型温度超出 -270 … 1372 ℃" in err, err)
    check("Chinese not a number", "“abc”不是数值" in err, err)
    check("Chinese out of range", "“1e-400”超出本程序可表示的数值范围" in err, err)
    check("Chinese output unchanged", chinese.stdout == b"\n\n\n", chinese.stdout)
    check("Chinese help", run(["emf", "--help"], "zh_CN.UTF-8").stdout.decode().startswith("用法："))
    check("never the window's texts", "本程序计算范围" not in err, err)
    numbers = run(["calibrate", "--zn", "3.45689", "--al", "5.87013", "--cu", "10.5848"], "zh_CN.UTF-8")
    check("Chinese keeps '.' in numbers", "A = 0.01000 mV" in numbers.stdout.decode(), numbers.stdout)
else:
    tally.skipped += 1
    print("skipped: no zh_CN.UTF-8 locale")

# A slow producer: the first result arrives before the input ends.
process = subprocess.Popen([its90, "emf", "K", "-"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
process.stdin.write(b"100\n")
process.stdin.flush()
ready, _, _ = select.select([process.stdout], [], [], 10)
line = process.stdout.readline() if ready else b""
check("result shown while the input stays open", line == b"4.09623\n", line)
process.stdin.write(b"200\n")
process.stdin.flush()
ready, _, _ = select.select([process.stdout], [], [], 10)
line = process.stdout.readline() if ready else b""
check("second result shown at once too", line == b"8.13847\n", line)
process.stdin.close()
check("ends cleanly", process.wait(10) == 0)

for word in ["1e400", "1e-400", "-1e-400"]:
    result = run(["emf", "K", word], "C")
    check(f"{word} refused", result.returncode == 2 and b"beyond the range" in result.stderr, result)

tally.finish()
