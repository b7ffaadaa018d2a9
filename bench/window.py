#!/usr/bin/env python3
"""The window's search beside dopplet-find's on the same tree, in the same run.

Makes (once) a tree of GROUPS groups of two identical small files each, spread over up to 1000
folders (or takes the folder --tree), then times, RUNS times each, round-robin:
  - dopplet-find --mode MODE TREE (output to /dev/null), wall time;
  - dopplet-window-bench --mode MODE TREE under QT_QPA_PLATFORM (offscreen by default): the
    window's search with the results page visible, from the start to the end message, and in the
    name modes the part of it that the content column (同一/相違) took; the longest delay of a
    10 ms timer meanwhile (how long a click or key waits); the time that closing takes; and any
    other number that the driver's JSON line carries (each gets a column of its own).
For both it takes the peak memory (max RSS) of the program from /usr/bin/time. A run that takes
longer than --timeout seconds is killed and shown as such; that program gets no more runs.
Prints a table of medians and the ratio window / dopplet-find.  Not a test: nothing asserts.
dopplet-find never works out the content column, so in the name modes its time is the name pass
alone.

Usage: bench/window.py [--groups N | --tree DIR] [--mode content|stem|name] [--runs N]
                       [--build DIR] [--platform offscreen|xcb] [--timeout S]
"""

import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.realpath(__file__))
sys.path.insert(0, HERE)
from run import OtherLoad  # noqa: E402

ROOT = "/tmp/dopplet-bench"
TIME_BIN = "/usr/bin/time"
MAX_FOLDERS = 1000
# What the driver's JSON line always carries; every other number in it gets a column.
KNOWN_KEYS = ("search_ms", "content_column_ms", "rows", "worst_input_delay_ms", "close_ms")


def tree_layout(groups):
    """The folders and the names' digits of a tree of `groups` groups: a folder holds about 200
    files, never fewer than 1 folder nor more than MAX_FOLDERS."""
    folders = max(1, min(MAX_FOLDERS, groups // 100))
    return folders, max(6, len(str(groups - 1)))


def make_tree(groups):
    """The tree of `groups` groups: group G is two files "gG-0.txt" and "gG-1.txt" holding
    "group G\\n", in two different folders where there are two. Written once; the marker file
    beside it says which layout it has, and a tree of another layout is made again."""
    tree = os.path.join(ROOT, "window-%d" % groups)
    done = tree + ".done"
    folders, digits = tree_layout(groups)
    layout = "groups %d, folders %d\n" % (groups, folders)
    if os.path.exists(done):
        with open(done) as marker:
            if marker.read() == layout:
                return tree
        os.remove(done)
        shutil.rmtree(tree)
    print("writing %s: %d files in %d folders" % (tree, 2 * groups, folders), file=sys.stderr,
          flush=True)
    started = time.monotonic()
    os.makedirs(tree, exist_ok=True)
    folder_paths = [os.path.join(tree, "d%04d" % folder) for folder in range(folders)]
    for path in folder_paths:
        os.makedirs(path, exist_ok=True)
    name_format = "g%%0%dd-%%d.txt" % digits
    flags = os.O_WRONLY | os.O_CREAT | os.O_TRUNC | os.O_CLOEXEC
    for group in range(groups):
        data = b"group %d\n" % group
        for copy in range(2):
            folder = folder_paths[(group * 7 + copy * 31) % folders]
            fd = os.open(os.path.join(folder, name_format % (group, copy)), flags, 0o644)
            try:
                os.write(fd, data)
            finally:
                os.close(fd)
    with open(done, "w") as marker:
        marker.write(layout)
    print("written in %.0f s" % (time.monotonic() - started), file=sys.stderr, flush=True)
    return tree


MODES = {"content": 0, "stem": 1, "name": 2}


class Run:
    """One run of a program: its wall time, peak memory and output, or that it was cut off."""

    def __init__(self, seconds, max_rss_kib, status, stdout):
        self.seconds = seconds
        self.max_rss_mib = max_rss_kib / 1024
        self.status = status  # "ok", "timeout" or "exit N"
        self.stdout = stdout


def run_measured(command, env, timeout):
    """Runs `command` under /usr/bin/time, which reports the peak memory of the program alone
    (the resource use that this script's wait4 gives would include the script's own memory:
    the kernel counts it in a child that was forked from it)."""
    with tempfile.TemporaryFile() as out, tempfile.NamedTemporaryFile("r") as rss:
        start = time.monotonic()
        child = subprocess.Popen([TIME_BIN, "-f", "%M", "-o", rss.name] + command, env=env,
                                 stdout=out, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            status = child.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()
            status = None
        seconds = time.monotonic() - start
        out.seek(0)
        stdout = out.read().decode(errors="replace")
        lines = rss.read().split()
    max_rss_kib = int(lines[-1]) if lines and lines[-1].isdigit() else 0
    if status is None:
        result = "timeout"
    elif status != 0:
        result = "exit %d" % status
    else:
        result = "ok"
    return Run(seconds, max_rss_kib, result, stdout)


def run_find(find, tree, mode, timeout):
    return run_measured([find, "--mode", mode, tree], dict(os.environ), timeout)


def run_window(bench, tree, mode, platform, timeout):
    env = dict(os.environ, QT_QPA_PLATFORM=platform)
    run = run_measured([bench, "--mode", str(MODES[mode]), tree], env, timeout)
    run.values = {}
    if run.status == "ok":
        lines = run.stdout.strip().splitlines()
        run.values = json.loads(lines[-1]) if lines else {}
    return run


def median_of(runs, key):
    values = [run.values[key] for run in runs if key in run.values]
    return statistics.median(values) if values else None


def failure_of(runs, timeout):
    """What the cell of a program that did not finish says, or None."""
    for run in runs:
        if run.status == "timeout":
            return "timeout (> %g s)" % timeout
        if run.status != "ok":
            return "error (%s)" % run.status
    return None


def peak_cell(runs):
    peak = max(run.max_rss_mib for run in runs)
    return "%.0f" % peak if peak > 0 else "-"


def table(tree, mode, finds, windows, timeout):
    ok_finds = [run for run in finds if run.status == "ok"]
    ok_windows = [run for run in windows if run.status == "ok"]
    extra = sorted({key for run in ok_windows for key, value in run.values.items()
                    if key not in KNOWN_KEYS and isinstance(value, (int, float))})

    find_s = statistics.median(run.seconds for run in ok_finds) if ok_finds else None
    find_cell = failure_of(finds, timeout) or "%.2f" % find_s
    find_rss = peak_cell(finds)
    window_failure = failure_of(windows, timeout)
    window_rss = peak_cell(windows)
    if window_failure:
        rows = "-"
        cells = [window_failure, "-", "-", "-", "-"] + ["-"] * len(extra)
    else:
        rows = "%d" % ok_windows[0].values["rows"]
        search_s = median_of(ok_windows, "search_ms") / 1000
        ratio = "%.2f" % (search_s / find_s) if find_s else "-"
        cells = ["%.2f" % search_s, "%.2f" % (median_of(ok_windows, "content_column_ms") / 1000),
                 ratio, "%d" % max(run.values["worst_input_delay_ms"] for run in ok_windows),
                 "%d" % median_of(ok_windows, "close_ms")]
        cells += ["%g" % median_of(ok_windows, key) for key in extra]

    heads = ["tree", "mode", "rows", "dopplet-find (s)", "dopplet-find peak RSS (MiB)",
             "window search (s)", "of it, content column (s)", "window / find",
             "worst input delay (ms)", "close (ms)"] + ["%s (median)" % key for key in extra] + [
             "window peak RSS (MiB)"]
    values = [os.path.basename(tree), mode, rows, find_cell, find_rss] + cells + [window_rss]
    return ["| " + " | ".join(heads) + " |",
            "|" + "---|" * len(heads),
            "| " + " | ".join(values) + " |"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--groups", type=int, default=50000)
    parser.add_argument("--tree", help="an existing folder to search instead")
    parser.add_argument("--mode", choices=sorted(MODES), default="content")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--platform", default="offscreen")
    parser.add_argument("--timeout", type=float, default=900,
                        help="seconds after which a run is killed (default 900)")
    args = parser.parse_args()
    if args.groups < 1 or args.runs < 1:
        parser.error("--groups and --runs take a positive number")
    if not os.access(TIME_BIN, os.X_OK):
        parser.error("needs %s for the peak memory (Debian package time)" % TIME_BIN)

    find = os.path.join(args.build, "src", "cli", "dopplet-find")
    bench = os.path.join(args.build, "bench", "window", "dopplet-window-bench")
    tree = args.tree or make_tree(args.groups)
    run_find(find, tree, args.mode, args.timeout)  # warms the page cache

    load = OtherLoad()
    load.start()
    finds, windows = [], []
    for _ in range(args.runs):
        if failure_of(finds, args.timeout) is None:
            finds.append(run_find(find, tree, args.mode, args.timeout))
        if failure_of(windows, args.timeout) is None:
            windows.append(run_window(bench, tree, args.mode, args.platform, args.timeout))
    other = load.stop()

    print("\n".join(table(tree, args.mode, finds, windows, args.timeout)))
    if other is not None:
        busy = " (other work was running: times are not reliable)" if other > 0.1 else ""
        print("\nCPU used by other processes during the runs: %.0f%% of the machine%s"
              % (100 * other, busy))
    return 0


if __name__ == "__main__":
    sys.exit(main())
