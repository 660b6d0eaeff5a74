#!/usr/bin/python3
"""Runs zibconv's export, check and import beside programs that do the same
work on the same generated sets, in one run, and prints their times and
peak memory with the ratios: a short Python script with lxml and the csv
module (export_peer.py), and libxml2's own parse of the file, streaming and
into a DOM (xmllint). Figures only; nothing is asserted but that the
peer's table is byte for byte zibconv's.

Usage: peer_benchmark.py ZIBCONV QUIZ_BENCHMARK [--runs N] [COUNT...]
(COUNT problems with two branches each; 10000 and 20000 by default)."""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def run(command):
    """Wall time in seconds and peak resident memory in bytes."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    took = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return took, usage.ru_maxrss * 1024


def median_of(command, runs):
    results = [run(command) for _ in range(runs)]
    return statistics.median(t for t, _ in results), max(m for _, m in results)


def measure(zibconv, quiz_benchmark, count, runs, folder):
    quiz = os.path.join(folder, f"set-{count}.xml")
    table = os.path.join(folder, f"set-{count}.csv")
    peer_table = os.path.join(folder, f"peer-{count}.csv")
    back = os.path.join(folder, f"back-{count}.xml")
    subprocess.run([quiz_benchmark, "--write-set", str(count), quiz], check=True)
    commands = {
        "zibconv export": [zibconv, "export", quiz, table, "--force"],
        "zibconv check": [zibconv, "check", quiz],
        "python lxml+csv": [sys.executable, os.path.join(HERE, "export_peer.py"), quiz, peer_table],
        "xmllint --stream": ["xmllint", "--noout", "--stream", quiz],
        "xmllint (DOM)": ["xmllint", "--noout", quiz],
        "zibconv import": [zibconv, "import", table, back, "--force"],
    }
    figures = {}
    for name, command in commands.items():
        figures[name] = median_of(command, runs)
    with open(table, "rb") as ours, open(peer_table, "rb") as theirs:
        if ours.read() != theirs.read():
            sys.exit("the peer's table differs from zibconv's")
    file_size = os.path.getsize(quiz)
    table_size = os.path.getsize(table)
    print(f"{count} problems (+{2 * count} branches): file {file_size / 1e6:.2f} MB, table {table_size / 1e6:.2f} MB,"
          f" median of {runs} runs")
    for name, (seconds, peak) in figures.items():
        print(f"  {name:18} {seconds:7.3f} s  peak {peak / 1e6:7.1f} MB")
    python = figures["python lxml+csv"][0]
    stream = figures["xmllint --stream"][0]
    for name in ("zibconv export", "zibconv check"):
        seconds, peak = figures[name]
        print(f"  {name}: {python / seconds:5.2f} times as fast as the script (target >= 4),"
              f" {seconds / stream:5.2f} times the streaming parse (target <= 2),"
              f" peak {peak / file_size:5.2f} times the file (target <= 4)")
    print(f"  zibconv import: peak {figures['zibconv import'][1] / table_size:5.2f} times the table (target <= 6)")
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zibconv")
    parser.add_argument("quiz_benchmark")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("counts", type=int, nargs="*", default=[10000, 20000])
    arguments = parser.parse_intermixed_args()
    with tempfile.TemporaryDirectory() as folder:
        for count in arguments.counts:
            measure(arguments.zibconv, arguments.quiz_benchmark, count, arguments.runs, folder)


main()
