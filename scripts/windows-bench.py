#!/usr/bin/env python3
"""Times the Linux varnel-cli and the Windows varnel-cli.exe (under Wine) on the same files.

usage: windows-bench.py LINUX-VARNEL-CLI WINDOWS-VARNEL-CLI.EXE > windows.json

Both programs make their own 65,535-unit PG2 E-File from the sample folder (samples, to-csv,
then from-csv --append of a CSV grown to 65,535 rows), and the files of the two are compared
byte for byte before anything is timed. Each operation then runs REPS times per program,
alternating, in a folder of its own; the medians and their ratio go to stdout as JSON.
"""

import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

UNITS = 65535
REPS = 5


def run(program, args, cwd):
    cmd = (["wine", program] if program.endswith(".exe") else [program]) + args
    start = time.perf_counter()
    r = subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = (time.perf_counter() - start) * 1000
    if r.returncode not in (0, 1):
        sys.exit(f"{' '.join(cmd)} failed ({r.returncode}): {r.stderr.decode(errors='replace')}")
    return elapsed


def grow_csv(source, target):
    """The sample CSV with its units repeated up to UNITS rows, codes renumbered, names varied."""
    with open(source, "rb") as f:
        rows = f.read().split(b"\r\n")
    header, units = rows[0], [r for r in rows[1:] if r]
    names = [h.lower() for h in header.lstrip(b"\xef\xbb\xbf").split(b",")]
    code = names.index(b"code")
    # The switches that follow from the unit's country are not set by hand: left out, they
    # keep what the new unit gets.
    keep = [i for i, n in enumerate(names) if n not in (b"special1", b"special2")]
    out = [b",".join(header.split(b",")[i] for i in keep)]
    for i in range(UNITS):
        cells = units[i % len(units)].split(b",")
        cells[code] = b"%d" % i
        out.append(b",".join(cells[k] for k in keep))
    with open(target, "wb") as f:
        f.write(b"\r\n".join(out) + b"\r\n")


def prepare(program, folder):
    os.makedirs(folder)
    run(program, ["samples", "s"], folder)
    run(program, ["to-csv", "s/pg2/EQUIP97.EQP", "-o", "sample.csv"], folder)
    grow_csv(os.path.join(folder, "sample.csv"), os.path.join(folder, "big.csv"))
    run(program, ["from-csv", "s/pg2/EQUIP97.EQP", "big.csv", "--append", "-o", "A.EQP"], folder)
    # B: one unit in ten with another cost, through the same spreadsheet path.
    run(program, ["to-csv", "A.EQP", "-o", "a.csv"], folder)
    with open(os.path.join(folder, "a.csv"), "rb") as f:
        rows = f.read().split(b"\r\n")
    cost = [h.lower() for h in rows[0].lstrip(b"\xef\xbb\xbf").split(b",")].index(b"cost")
    for i in range(1, len(rows), 10):
        if rows[i]:
            cells = rows[i].split(b",")
            cells[cost] = b"%d" % ((int(cells[cost]) + 12) % 3000)
            rows[i] = b",".join(cells)
    with open(os.path.join(folder, "b.csv"), "wb") as f:
        f.write(b"\r\n".join(rows))
    run(program, ["from-csv", "A.EQP", "b.csv", "-o", "B.EQP"], folder)


OPERATIONS = [
    ("start (--version)", ["--version"]),
    ("load (info)", ["info", "A.EQP"]),
    ("to-csv", ["to-csv", "A.EQP", "-o", "out.csv", "--overwrite"]),
    ("from-csv (dry run)", ["from-csv", "A.EQP", "a.csv", "--dry-run"]),
    ("diff", ["diff", "A.EQP", "B.EQP"]),
]


def main(linux, windows):
    linux, windows = os.path.abspath(linux), os.path.abspath(windows)
    load = f"{os.getloadavg()[0]:.1f}"
    work = tempfile.mkdtemp()
    try:
        folders = {p: os.path.join(work, name) for p, name in ((linux, "linux"), (windows, "exe"))}
        for program, folder in folders.items():
            prepare(program, folder)
        for name in ("A.EQP", "A.txt", "B.EQP", "a.csv"):
            with open(os.path.join(folders[linux], name), "rb") as a, \
                    open(os.path.join(folders[windows], name), "rb") as b:
                if a.read() != b.read():
                    sys.exit(f"the two programs made different {name}")
        results = []
        for label, args in OPERATIONS:
            times = {linux: [], windows: []}
            for _ in range(REPS):
                for program in (linux, windows):
                    times[program].append(run(program, args, folders[program]))
            results.append({"operation": label, "linux_ms": statistics.median(times[linux]),
                            "exe_ms": statistics.median(times[windows])})
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
        json.dump({"units": UNITS, "reps": REPS, "wine": wine, "load": load,
                   "results": results}, sys.stdout, indent=1)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
