#!/usr/bin/env python3
"""Readings from a meter through the real its90 executable, against the project's simulated
meter on 127.0.0.1 and on a pseudo-terminal made by socat: a whole run of three type K
thermocouples and the standard at three points, whose output is exactly `its90 compare
--batch` over the readings it wrote, each of them a reply the simulator served (volts x 1000
to the digit, checked with Python's decimal) and each point's settling readings within the
limits (Python's statistics and exact fractions); faults named with the meter, the command and the reply; a run killed with
SIGKILL and taken up again with nothing confirmed lost. Usage: meter_check.py ITS90 SIM."""
import csv
import decimal
import io
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

from fractions import Fraction
import statistics

sys.path.insert(0, os.path.dirname(__file__))
from tally import Tally  # noqa: E402

its90, simulator = sys.argv[1], sys.argv[2]
tally = Tally()
work = tempfile.mkdtemp(prefix="its90-meter-check-")
env = dict(os.environ, LANGUAGE="", LC_ALL="C.UTF-8", LANG="C.UTF-8")
OFFSETS = {"K1": 0.5, "K2": -0.3, "K3": 1.2}
CHANNELS = ["--channel", "101=S", "--channel", "102=K:0.5", "--channel", "103=K:-0.3", "--channel", "104=K:1.2"]
# Noise small enough that the means of four readings give each offset to 0.06 ℃ (at 4 sigma).
FURNACE = ["--tau", "60", "--time-scale", "600", "--noise", "0.1"]
# The standard reads its reference EMFs in the simulated furnace: these are them at the points.
FIXED = ["--zn", "3.44689", "--al", "5.86013", "--cu", "10.5748"]
PLAN = os.path.join(work, "plan.csv")
with open(PLAN, "w") as f:
    f.write("t_C,thermocouple,type,channel\n")
    for t in (300, 400, 500):
        f.write(f"{t},standard,S,101\n{t},K1,K,102\n{t},K2,K,103\n{t},K3,K,104\n")
SETTINGS = ["--readings", "4", "--interval", "0.01", "--stable-sd", "1", "--stable-drift", "5", "--stable-count", "10",
            "--profile", "simulator"]
sims = []


class Simulator:
    """its90-meter-sim on 127.0.0.1 at a free port, serving `options`."""

    def __init__(self, *options):
        self.folder = tempfile.mkdtemp(dir=work)
        self.served_path = os.path.join(self.folder, "served.csv")
        port_file = os.path.join(self.folder, "port")
        self.process = subprocess.Popen([simulator, "--port", "0", "--port-file", port_file, "--served",
                                         self.served_path, *options], stdout=subprocess.DEVNULL)
        sims.append(self.process)
        for _ in range(500):
            if os.path.exists(port_file):
                self.address = "tcp://127.0.0.1:" + open(port_file).read().strip()
                return
            time.sleep(0.01)
        raise SystemExit("the simulated meter did not start")

    def served(self):
        with open(self.served_path) as f:
            return [line.rstrip("\n").split(",", 2) for line in f if line.strip()]

    def stop(self):
        self.process.kill()
        self.process.wait()


def run(*args, book=None, wait=True):
    e = dict(env, ITS90_BOOK=book or os.path.join(work, "book.sqlite"))
    if not wait:
        return subprocess.Popen([its90, *args], env=e, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    p = subprocess.run([its90, *args], capture_output=True, env=e, timeout=300)
    return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")


def rows_of(path):
    with open(path) as f:
        return list(csv.DictReader(f))


def from_the_meter(readings, served):
    """Whether each reading used is a reply the meter served, in order, volts x 1000 exactly."""
    at = 0
    for r in readings:
        while at < len(served) and decimal.Decimal(served[at][2]) * 1000 != decimal.Decimal(r["emf_mV"]):
            at += 1
        if at == len(served):
            return False
        at += 1
    return True


def check_run(name, address, book, served=None, extra=()):
    out_path = os.path.join(work, name + "-readings.csv")
    status, out, err = run("compare", "--batch-plan", PLAN, "--meter", address, *SETTINGS, *FIXED, *extra,
                           "--readings-out", out_path, "--format", "csv", book=book)
    tally.check(f"{name}: the run completes", status == 0, err)
    if status != 0:
        return
    readings = rows_of(out_path)
    tally.check(f"{name}: 3 points x 4 thermocouples x 4 readings, in the order standard, K1, K2, K3",
                len(readings) == 48 and [r["thermocouple"] for r in readings[:4]] == ["standard", "K1", "K2", "K3"]
                and [r["t_C"] for r in readings[::16]] == ["300", "400", "500"], readings[:5])
    batch = run("compare", "--batch", out_path, *FIXED, "--format", "csv")
    tally.check(f"{name}: prints exactly what compare --batch prints for its readings", batch[0] == 0 and batch[1] == out,
                (out, batch))
    results = list(csv.DictReader(io.StringIO(out)))
    tally.check(f"{name}: each thermocouple's offset in the furnace comes out as its dt",
                len(results) == 9 and all(abs(float(r["delta_t_C"]) - OFFSETS[r["number"]]) < 0.06 for r in results),
                [(r["number"], r["delta_t_C"]) for r in results])
    if served is not None:
        tally.check(f"{name}: every reading is one the meter served, volts x 1000 to the digit",
                    from_the_meter(readings, served()), readings[:3])
    status, kept_csv, err = run("book", "run", "1", book=book)
    kept = [r for r in csv.DictReader(io.StringIO(kept_csv)) if r["purpose"] == "reading"]
    tally.check(f"{name}: book run shows the run's readings as they came, time-stamped, with their channels",
                status == 0 and [r["emf_mV"] for r in kept] == [r["emf_mV"] for r in readings]
                and [r["channel"] for r in kept[:4]] == ["101", "102", "103", "104"] and kept[0]["taken"][:2] == "20"
                and all(decimal.Decimal(r["reply"]) * 1000 == decimal.Decimal(r["emf_mV"]) for r in kept), err)
    db = sqlite3.connect(book)
    tally.check(f"{name}: the book is whole and the run ended complete",
                db.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
                and db.execute("SELECT outcome FROM run_ends ORDER BY run_id DESC").fetchone()[0] == "complete")
    # Settled by the limits: the standard's last ten readings before each point's first
    # reading, their standard deviation (numpy) and drift (a straight line against time).
    run_id = db.execute("SELECT max(id) FROM runs").fetchone()[0]
    kept = db.execute("SELECT point, purpose, taken, emf_mV FROM run_readings WHERE run_id = ? ORDER BY position",
                      (run_id,)).fetchall()
    settled = True
    for point, t in enumerate((300, 400, 500)):
        first = next(i for i, k in enumerate(kept) if k[0] == point and k[1] == "reading")
        window = [k for k in kept[:first] if k[0] == point and k[1] == "stability"][-10:]
        emf = [Fraction(k[3]) for k in window]
        seconds = [Fraction(int(time.mktime(time.strptime(k[2][:19], "%Y-%m-%d %H:%M:%S")))) + Fraction(k[2][19:])
                   for k in window]
        mean_t, mean_e = sum(seconds) / len(window), sum(emf) / len(window)
        slope = (sum((a - mean_t) * (e - mean_e) for a, e in zip(seconds, emf))
                 / sum((a - mean_t) ** 2 for a in seconds))
        seebeck = Fraction(run("seebeck", "S", str(t))[1].strip())
        drift = abs(slope) * 60 * 1000 / seebeck
        sd = statistics.stdev(float(e) for e in emf) * 1000
        if len(window) != 10 or sd > 1 * (1 + 1e-9) or drift > 5 * Fraction(12, 10):
            settled = False
    tally.check(f"{name}: each point's readings began only once the standard had settled", settled)


try:
    # ---- one channel, and the meter's words ----
    sim = Simulator(*CHANNELS, "--noise", "0")
    # It listens on the loopback address alone: its socket in the kernel's table says so.
    port = int(sim.address.rsplit(":", 1)[1])
    with open("/proc/net/tcp") as f:
        listening = [line.split()[1] for line in f.readlines()[1:] if line.split()[3] == "0A"]
    tally.check("the simulated meter listens on 127.0.0.1 only",
                [a for a in listening if int(a.split(":")[1], 16) == port] == [f"0100007F:{port:04X}"], listening)
    status, out, err = run("meter", "identify", sim.address)
    tally.check("meter identify prints *IDN?", status == 0 and out == "ITS90,Simulated meter its90-meter-sim,0,1.0\n",
                (status, out, err))
    status, out, err = run("meter", "read", sim.address, "--channel", "101", "--count", "3")
    served = sim.served()
    tally.check("meter read prints each EMF in mV with every digit given",
                status == 0 and [decimal.Decimal(w) for w in out.split()] == [decimal.Decimal(s[2]) * 1000 for s in served[-3:]]
                and all(len(w.replace(".", "").lstrip("0")) == 7 for w in out.split())
                and abs(float(out.split()[0]) - 0.113) < 0.0005, (out, served))
    for args, words in [
        (["meter", "read", "192.168.0.2:5025", "--channel", "1"], "is no meter address"),
        (["meter", "read", sim.address, "--channel", "1", "--profile", "no-such"], "no profile 'no-such'"),
        (["meter", "read", "tcp://127.0.0.1:5025x", "--channel", "1"], "port"),
        (["meter", "read", sim.address], "--channel is needed"),
    ]:
        status, _, err = run(*args)
        tally.check(f"refused: {' '.join(args[2:])}", status == 2 and words in err, err)
    status, _, err = run("meter", "read", sim.address, "--channel", "999")
    tally.check("a channel the meter refuses: its error, the command", status == 1
                and "-222" in err and "ROUT:CLOS (@999); MEAS:VOLT:DC?" in err, err)
    sim.stop()
    status, _, err = run("meter", "identify", sim.address)
    tally.check("nobody listening: cannot reach the meter", status == 1 and "cannot reach the meter at " + sim.address in err,
                err)

    # ---- whole runs over TCP and over a pseudo-terminal ----
    sim = Simulator(*CHANNELS, *FURNACE)
    check_run("tcp", sim.address, os.path.join(work, "tcp.sqlite"), sim.served)
    sim.stop()
    if shutil.which("socat") is None:
        tally.check("socat is installed for the pseudo-terminal run", False)
    else:
        script = os.path.join(work, "sim-stdio.sh")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nexec " + " ".join([simulator, "--stdio", *CHANNELS, *FURNACE, "--served",
                                                   os.path.join(work, "pty-served.csv")]) + "\n")
        os.chmod(script, 0o755)
        tty = os.path.join(work, "meter-tty")
        socat = subprocess.Popen(["socat", f"pty,raw,echo=0,link={tty}", f"EXEC:{script}"], stderr=subprocess.DEVNULL)
        sims.append(socat)
        for _ in range(500):
            if os.path.exists(tty):
                break
            time.sleep(0.01)

        def pty_served():
            with open(os.path.join(work, "pty-served.csv")) as f:
                return [line.rstrip("\n").split(",", 2) for line in f if line.strip()]
        check_run("pty", f"serial://{tty}?baud=115200", os.path.join(work, "pty.sqlite"), pty_served)
        socat.kill()

    # ---- faults ----
    sim = Simulator(*CHANNELS, *FURNACE, "--drop-at", "60")
    check_run("dropped link", sim.address, os.path.join(work, "drop.sqlite"), sim.served)
    sim.stop()

    sim = Simulator(*CHANNELS, *FURNACE, "--garbage-at", "30")
    status, out, err = run("compare", "--batch-plan", PLAN, "--meter", sim.address, *SETTINGS, *FIXED,
                           book=os.path.join(work, "garbage.sqlite"))
    tally.check("a reply that is no number: named with the meter, the command and the reply; nothing printed",
                status == 1 and out == "" and sim.address in err and "MEAS:VOLT:DC?" in err
                and "'#?OVLD-garbage', which is no number" in err and "--resume" in err, err)
    sim.stop()

    sim = Simulator(*CHANNELS, *FURNACE, "--wander", "0.5")
    status, out, err = run("compare", "--batch-plan", PLAN, "--meter", sim.address, *SETTINGS, *FIXED,
                           "--point-timeout", "1", book=os.path.join(work, "wander.sqlite"))
    tally.check("a furnace that never settles: the point times out naming the limit",
                status == 1 and "300 \u2103: the furnace did not settle" in err and "above its limit" in err, err)
    sim.stop()

    # ---- killed with SIGKILL mid-run, taken up again ----
    book = os.path.join(work, "killed.sqlite")
    sim = Simulator(*CHANNELS, *FURNACE, "--slow-ms", "20")
    process = run("compare", "--batch-plan", PLAN, "--meter", sim.address, *SETTINGS, *FIXED, book=book, wait=False)
    taken = 0
    for _ in range(3000):
        time.sleep(0.01)
        if os.path.exists(book):
            try:
                taken = sqlite3.connect(book).execute(
                    "SELECT count(*) FROM run_readings WHERE purpose = 'reading' AND point = 1").fetchone()[0]
            except sqlite3.Error:
                continue
            if taken >= 3:
                break
    process.send_signal(signal.SIGKILL)
    process.wait()
    db = sqlite3.connect(book)
    kept = [r[0] for r in db.execute("SELECT emf_mV FROM run_readings WHERE purpose = 'reading' ORDER BY position")]
    tally.check("killed in the second point: the book is whole, the run unfinished",
                taken >= 3 and db.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
                and db.execute("SELECT count(*) FROM run_ends").fetchone()[0] == 0 and len(kept) >= 19, (taken, len(kept)))
    db.close()
    status, out, err = run("compare", "--batch-plan", PLAN, "--meter", sim.address, *SETTINGS, *FIXED, book=book)
    tally.check("started again without --resume: the unfinished run is named", status == 2 and "run 1 of this plan" in err
                and "--resume" in err, err)
    out_path = os.path.join(work, "resumed.csv")
    status, out, err = run("compare", "--batch-plan", PLAN, "--meter", sim.address, *SETTINGS, *FIXED, "--resume",
                           "--readings-out", out_path, "--format", "csv", book=book)
    readings = rows_of(out_path) if status == 0 else []
    tally.check("--resume finishes the run with every reading kept before the kill, first and unchanged",
                status == 0 and f"run 1 taken up again: {len(kept)} readings kept" in err and len(readings) == 48
                and [r["emf_mV"] for r in readings[:len(kept)]] == kept, (status, err))
    batch = run("compare", "--batch", out_path, *FIXED, "--format", "csv")
    tally.check("the resumed run prints what compare --batch prints for its readings", status == 0 and batch[1] == out)
    tally.check("the resumed run's readings are ones the meter served", from_the_meter(readings, sim.served()))
    sim.stop()
finally:
    for p in sims:
        if p.poll() is None:
            p.kill()
            p.wait()
    shutil.rmtree(work, ignore_errors=True)

tally.finish()
