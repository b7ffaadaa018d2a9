#!/usr/bin/env python3
"""The window's search beside dopplet-find's on the same tree, in the same run.

Makes (once) a tree of GROUPS groups of two identical small files each, spread over 100 folders
(or takes the folder --tree), then times, RUNS times each, round-robin:
  - dopplet-find --mode MODE TREE (output to /dev/null), wall time;
  - dopplet-window-bench --mode MODE TREE under QT_QPA_PLATFORM (offscreen by default): the
    window's search with the results page visible, from the start to the end message, and in the
    name modes the part of it that the content column (同一/相違) took; the longest delay of a
    10 ms timer meanwhile (how long a click or key waits); the time that closing takes.
Prints a table of medians and the ratio window / dopplet-find.  Not a test: nothing asserts.
dopplet-find never works out the content column, so in the name modes its time is the name pass
alone.

Usage: bench/window.py [--groups N | --tree DIR] [--mode content|stem|name] [--runs N]
                       [--build DIR] [--platform offscreen|xcb]
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


MODES = {"content": 0, "stem": 1, "name": 2}


def time_find(find, tree, mode):
    start = time.monotonic()
    subprocess.run([find, "--mode", mode, tree], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def time_window(bench, tree, mode, platform):
    env = dict(os.environ, QT_QPA_PLATFORM=platform)
    out = subprocess.run([bench, "--mode", str(MODES[mode]), tree], env=env,
                         capture_output=True, text=True, check=True)
    return json.loads(out.stdout.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--groups", type=int, default=50000)
    parser.add_argument("--tree", help="an existing folder to search instead")
    parser.add_argument("--mode", choices=sorted(MODES), default="content")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--platform", default="offscreen")
    args = parser.parse_args()

    find = os.path.join(args.build, "src", "cli", "dopplet-find")
    bench = os.path.join(args.build, "bench", "window", "dopplet-window-bench")
    tree = args.tree or make_tree(args.groups)
    time_find(find, tree, args.mode)  # warm the page cache

    finds, windows = [], []
    for _ in range(args.runs):
        finds.append(time_find(find, tree, args.mode))
        windows.append(time_window(bench, tree, args.mode, args.platform))

    find_s = statistics.median(finds)
    search_s = statistics.median(w["search_ms"] for w in windows) / 1000
    column_s = statistics.median(w["content_column_ms"] for w in windows) / 1000
    delay_ms = max(w["worst_input_delay_ms"] for w in windows)
    close_ms = statistics.median(w["close_ms"] for w in windows)
    rows = windows[0]["rows"]
    print("| tree | mode | rows | dopplet-find (s) | window search (s) | of it, content column (s) "
          "| window / find | worst input delay (ms) | close (ms) |")
    print("|---|---|---|---|---|---|---|---|---|")
    print("| %s | %s | %d | %.2f | %.2f | %.2f | %.2f | %d | %d |"
          % (os.path.basename(tree), args.mode, rows, find_s, search_s, column_s,
             search_s / find_s, delay_ms, close_ms))
    return 0


if __name__ == "__main__":
    sys.exit(main())
