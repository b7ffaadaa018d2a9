#!/usr/bin/env python3
"""The window's search beside dopplet-find's on the same tree, in the same run.

Makes (once) a tree of GROUPS groups of two identical small files each, spread over 100 folders,
then times, RUNS times each, round-robin:
  - dopplet-find TREE (output to /dev/null), wall time;
  - dopplet-window-bench TREE under QT_QPA_PLATFORM (offscreen by default): the window's search
    with the results page visible, from the start to the end message; the longest delay of a
    10 ms timer meanwhile (how long a click or key waits); the time that closing takes.
Prints a table of medians and the ratio window / dopplet-find.  Not a test: nothing asserts.

Usage: bench/window.py [--groups N] [--runs N] [--build DIR] [--platform offscreen|xcb]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = "/tmp/dopplet-bench"


def make_tree(groups):
    tree = os.path.join(ROOT, "window-%d" % groups)
    done = tree + ".done"
    if os.path.exists(done):
        return tree
    os.makedirs(tree, exist_ok=True)
    for folder in range(100):
        os.makedirs(os.path.join(tree, "d%02d" % folder), exist_ok=True)
    for group in range(groups):
        data = ("group %d\n" % group).encode()
        for copy in range(2):
            folder = (group * 7 + copy * 31) % 100
            name = "g%06d-%d.txt" % (group, copy)
            with open(os.path.join(tree, "d%02d" % folder, name), "wb") as out:
                out.write(data)
    open(done, "w").close()
    return tree


def time_find(find, tree):
    start = time.monotonic()
    subprocess.run([find, tree], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def time_window(bench, tree, platform):
    env = dict(os.environ, QT_QPA_PLATFORM=platform)
    out = subprocess.run([bench, tree], env=env, capture_output=True, text=True, check=True)
    return json.loads(out.stdout.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--groups", type=int, default=50000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--platform", default="offscreen")
    args = parser.parse_args()

    find = os.path.join(args.build, "src", "cli", "dopplet-find")
    bench = os.path.join(args.build, "bench", "window", "dopplet-window-bench")
    tree = make_tree(args.groups)
    time_find(find, tree)  # warm the page cache

    finds, windows = [], []
    for _ in range(args.runs):
        finds.append(time_find(find, tree))
        windows.append(time_window(bench, tree, args.platform))

    find_s = statistics.median(finds)
    search_s = statistics.median(w["search_ms"] for w in windows) / 1000
    delay_ms = max(w["worst_input_delay_ms"] for w in windows)
    close_ms = statistics.median(w["close_ms"] for w in windows)
    rows = windows[0]["rows"]
    print("| groups | rows | dopplet-find (s) | window search (s) | window / find | "
          "worst input delay (ms) | close (ms) |")
    print("|---|---|---|---|---|---|---|")
    print("| %d | %d | %.2f | %.2f | %.2f | %d | %d |"
          % (args.groups, rows, find_s, search_s, search_s / find_s, delay_ms, close_ms))
    return 0


if __name__ == "__main__":
    sys.exit(main())
