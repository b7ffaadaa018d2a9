#!/usr/bin/env python3
"""Benchmark dopplet-find against fdupes, jdupes, jdupes -Q, rdfind and rmlint.

For each tree: reads the whole tree once (warm cache), runs every tool once
untimed (warm-up; its output is the one checked), then runs every tool
--reps times round-robin, timing wall clock and reading peak memory (max
RSS) with /usr/bin/time.  It checks that all tools report the same set of
duplicate groups and prints a table per tree.

With --cold the tree is not read beforehand; instead the page cache is
dropped (sync, then 3 into /proc/sys/vm/drop_caches) before every run,
the warm-up included, so every tool reads the tree from the disk.  That
needs root; without it run.py stops instead of measuring a warm cache.

Targets are existing folders or names of generated trees:
  realistic-5000, realistic-50000 (any realistic-N), tail4k, bigfiles,
  photos (= photos-5000, any photos-N), videos (= videos-24, any videos-N),
  all (= realistic-5000 realistic-50000 tail4k bigfiles),
  media (= photos videos),
  copies-NxM (N identical files of M MB; copies-300x20 and copies-9x500 are
  used), copies (= copies-300x20 copies-9x500).
--scale F multiplies the file sizes of the photos and videos trees.
Generated trees are made with gen_tree.py under --root (default
/tmp/dopplet-bench) and reused while their parameters do not change.

Python 3 standard library only.
"""

import argparse
import json
import os
import platform
import re
import resource
import shlex
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.realpath(__file__))
sys.path.insert(0, HERE)
import gen_tree  # noqa: E402

REPO = os.path.dirname(HERE)
# where a build with `cmake -S . -B build && cmake --build build` may put it
DOPPLET_CANDIDATES = [os.path.join(REPO, "build", "dopplet-find"),
                      os.path.join(REPO, "build", "src", "cli", "dopplet-find")]
DEFAULT_DOPPLET = next((p for p in DOPPLET_CANDIDATES if os.path.isfile(p)), DOPPLET_CANDIDATES[0])
ALL_TARGETS = ["realistic-5000", "realistic-50000", "tail4k", "bigfiles"]
MEDIA_TARGETS = ["photos", "videos"]
COPIES_TARGETS = ["copies-300x20", "copies-9x500"]
# dopplet-find with a size filter: only files of at least 1 MiB are searched, the smaller ones
# are never opened. Its groups are checked against the reference's groups among the files that
# `find -size +1048575c` lists (find's own +1M rounds sizes up to whole MiB and means more than
# 1 MiB, one byte off); see filtered_reference.
MIN_SIZE_TOOL = "dopplet-find --min-size 1M"
MIN_SIZE_BYTES = 1 << 20
ALL_TOOLS = ["dopplet-find", MIN_SIZE_TOOL, "fdupes", "jdupes", "jdupes -Q", "rdfind", "rmlint"]
TIME_BIN = "/usr/bin/time"
DROP_CACHES = "/proc/sys/vm/drop_caches"


def log(msg):
    print(msg, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------
# tools: command line and output parser


def parse_blank_separated(path):
    """fdupes / jdupes / dopplet-find: paths one per line, blank line after
    each group."""
    groups, cur = [], []
    with open(path, "rb") as f:
        for raw in f:
            line = raw.rstrip(b"\n")
            if not line:
                if cur:
                    groups.append(cur)
                cur = []
            else:
                cur.append(os.fsdecode(line))
    if cur:
        groups.append(cur)
    return groups


def parse_rdfind(path):
    """rdfind results file: 'duptype id depth size device inode priority name';
    a first occurrence has id N, its duplicates -N."""
    by_id = {}
    with open(path, "rb") as f:
        for raw in f:
            line = raw.rstrip(b"\n")
            if not line or line.startswith(b"#"):
                continue
            parts = line.split(b" ", 7)
            if len(parts) < 8:
                continue
            by_id.setdefault(abs(int(parts[1])), []).append(os.fsdecode(parts[7]))
    return list(by_id.values())


def parse_rmlint_json(path):
    """rmlint json output: duplicate_file entries, grouped by size+checksum."""
    with open(path, "rb") as f:
        data = json.loads(f.read().decode("utf-8", "surrogateescape"))
    by_sum = {}
    for e in data:
        if isinstance(e, dict) and e.get("type") == "duplicate_file":
            by_sum.setdefault((e.get("size"), e.get("checksum")), []).append(e["path"])
    return list(by_sum.values())


class Tool:
    def __init__(self, name, argv, parser, result_file=None):
        self.name = name
        self.argv = argv  # tree path is appended
        self.parser = parser
        self.result_file = result_file  # None: result is stdout

    def command(self, tree):
        return self.argv + [tree]


def make_tools(dopplet_cmd, work, wanted):
    rd_out = os.path.join(work, "rdfind-results.txt")
    rm_out = os.path.join(work, "rmlint.json")
    tools = {
        "dopplet-find": Tool("dopplet-find", dopplet_cmd, parse_blank_separated),
        MIN_SIZE_TOOL: Tool(MIN_SIZE_TOOL, dopplet_cmd + ["--min-size", "1M"],
                            parse_blank_separated),
        "fdupes": Tool("fdupes", ["fdupes", "-r", "-q"], parse_blank_separated),
        "jdupes": Tool("jdupes", ["jdupes", "-r", "-q"], parse_blank_separated),
        "jdupes -Q": Tool("jdupes -Q", ["jdupes", "-r", "-q", "-Q"], parse_blank_separated),
        "rdfind": Tool("rdfind", ["rdfind", "-dryrun", "true", "-makeresultsfile", "true",
                                  "-outputname", rd_out],
                       parse_rdfind, rd_out),
        # -T df: duplicate files only; --hidden: like the others, include
        # dot files and dot folders; -o: write only this json file
        "rmlint": Tool("rmlint", ["rmlint", "-T", "df", "--hidden", "-o", "json:" + rm_out],
                       parse_rmlint_json, rm_out),
    }
    return [tools[n] for n in wanted]


def tool_version(name, dopplet_cmd):
    cmds = {
        "dopplet-find": None,
        "fdupes": ["fdupes", "--version"],
        "jdupes": ["jdupes", "-v"],
        "rdfind": ["rdfind", "-v"],
        "rmlint": ["rmlint", "--version"],
    }
    argv = cmds.get(name.split()[0])
    if not argv:
        return ""
    try:
        p = subprocess.run(argv, capture_output=True, timeout=10)
        text = (p.stdout + p.stderr).decode("utf-8", "replace")
        text = re.sub(r"\x1b\[[0-9;]*m", "", text)
        return text.strip().splitlines()[0] if text.strip() else ""
    except (OSError, subprocess.TimeoutExpired):
        return "(not found)"


# ---------------------------------------------------------------------------
# running


class RunResult:
    def __init__(self, status, wall=None, rss_kib=None, rc=None, stderr_tail=""):
        self.status = status  # "ok", "timeout", "error"
        self.wall = wall
        self.rss_kib = rss_kib
        self.rc = rc
        self.stderr_tail = stderr_tail


def run_once(tool, tree, work, timeout, nice=0):
    """Run one tool once from the work folder; stdout goes to a file."""
    out_path = os.path.join(work, "stdout.txt")
    err_path = os.path.join(work, "stderr.txt")
    time_path = os.path.join(work, "time.txt")
    for p in (time_path, tool.result_file):
        if p and os.path.exists(p):
            os.unlink(p)
    argv = [TIME_BIN, "-f", "%M", "-o", time_path, "--"] + tool.command(tree)
    if nice:
        argv = ["nice", "-n", str(nice)] + argv
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        t0 = time.perf_counter()
        proc = subprocess.Popen(argv, cwd=work, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=err, start_new_session=True)
        timed_out = threading.Event()

        def kill():
            timed_out.set()
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

        # a blocking wait (Popen.wait with a timeout polls, which would
        # round the measured times up to tens of milliseconds)
        timer = threading.Timer(timeout, kill)
        timer.start()
        try:
            rc = proc.wait()
            wall = time.perf_counter() - t0
        finally:
            timer.cancel()
        if timed_out.is_set():
            return RunResult("timeout", wall=None)
    rss = None
    try:
        with open(time_path) as f:
            lines = [l.strip() for l in f if l.strip()]
        rss = int(lines[-1])
    except (OSError, ValueError, IndexError):
        pass
    with open(err_path, "rb") as f:
        tail = f.read()[-2000:].decode("utf-8", "replace")
    if rc != 0:
        return RunResult("error", wall, rss, rc, tail)
    return RunResult("ok", wall, rss, rc, tail)


class OtherLoad:
    """How much CPU other processes (not this script and the tools it runs)
    used between start() and stop(), as a fraction of all cores."""

    @staticmethod
    def _sample():
        try:
            with open("/proc/stat") as f:
                v = [int(x) for x in f.readline().split()[1:]]
        except (OSError, ValueError):
            return None
        hz = os.sysconf("SC_CLK_TCK")
        busy = (sum(v[:8]) - v[3] - v[4]) / hz  # all but idle and iowait
        own = 0.0
        for who in (resource.RUSAGE_SELF, resource.RUSAGE_CHILDREN):
            ru = resource.getrusage(who)
            own += ru.ru_utime + ru.ru_stime
        return busy, own, time.monotonic()

    def start(self):
        self.a = self._sample()

    def stop(self):
        b = self._sample()
        if self.a is None or b is None or b[2] <= self.a[2]:
            return None
        other = (b[0] - self.a[0]) - (b[1] - self.a[1])
        return max(0.0, other / ((b[2] - self.a[2]) * (os.cpu_count() or 1)))


def drop_caches():
    """Write dirty pages back, then drop the page cache, dentries and inodes
    (as `sync; echo 3 > /proc/sys/vm/drop_caches`).  Returns None, or why it
    could not."""
    os.sync()
    try:
        with open(DROP_CACHES, "w") as f:
            f.write("3\n")
    except OSError as e:
        return "%s: %s" % (DROP_CACHES, e.strerror or e)
    return None


def cold_or_exit(work):
    """Drop the caches before a run; a cold run that cannot do that stops."""
    why = drop_caches()
    if why:
        shutil.rmtree(work, ignore_errors=True)
        log("run: --cold: cannot drop the page cache (%s); stopping, the times would be "
            "warm-cache times" % why)
        sys.exit(2)


def storage_of(path):
    """'ext4 on /dev/vda (not rotational)' for the file system holding path."""
    best, dev, fstype = "", "?", "?"
    try:
        with open("/proc/self/mounts") as f:
            for line in f:
                parts = line.split()
                if len(parts) < 3:
                    continue
                mnt = parts[1].replace("\\040", " ")
                inside = path == mnt or path.startswith(mnt.rstrip("/") + "/")
                if inside and len(mnt) >= len(best):
                    best, dev, fstype = mnt, parts[0], parts[2]
    except OSError:
        pass
    rot = ""
    name = os.path.basename(os.path.realpath(dev)) if dev.startswith("/dev/") else ""
    for block in (name, re.sub(r"p?\d+$", "", name)):
        try:
            with open("/sys/class/block/%s/queue/rotational" % block) as f:
                rot = " (rotational)" if f.read().strip() == "1" else " (not rotational)"
            break
        except OSError:
            continue
    return "%s on %s%s" % (fstype, dev, rot)


def read_whole_tree(tree):
    """Read every file once so that all tools start with a warm page cache."""
    t0 = time.perf_counter()
    total = 0
    buf = bytearray(4 << 20)
    for dirpath, dirnames, filenames in os.walk(tree):
        for fn in filenames:
            p = os.path.join(dirpath, fn)
            try:
                with open(p, "rb", buffering=0) as f:
                    while True:
                        n = f.readinto(buf)
                        if not n:
                            break
                        total += n
            except OSError:
                pass
    log("  read %.1f MB in %.1f s to warm the cache" % (total / 1e6, time.perf_counter() - t0))


# ---------------------------------------------------------------------------
# result checking


class SizeOf:
    def __init__(self):
        self.cache = {}

    def __call__(self, p):
        if p not in self.cache:
            try:
                self.cache[p] = os.lstat(p).st_size
            except OSError:
                self.cache[p] = None
        return self.cache[p]


def normalise(groups, base, size_of):
    """Set of groups, each a frozenset of absolute paths; zero-byte groups
    and groups of fewer than two distinct paths dropped."""
    result = set()
    for g in groups:
        paths = frozenset(os.path.normpath(os.path.join(base, p)) for p in g)
        if len(paths) < 2:
            continue
        if any(size_of(p) == 0 for p in paths):
            continue
        result.add(paths)
    return result


def describe_diff(got, ref, tree, limit=4):
    """Human readable account of how got differs from ref."""
    missing = ref - got
    extra = got - ref
    if not missing and not extra:
        return []
    where = {}
    for g in got:
        for p in g:
            where[p] = g

    def short(g):
        names = sorted(os.path.relpath(p, tree) for p in g)
        if len(names) > 4:
            names = names[:4] + ["... %d more" % (len(names) - 4)]
        return "{" + ", ".join(names) + "}"

    lines = ["%d reference group(s) not reported as such, %d unexpected group(s)"
             % (len(missing), len(extra))]
    for g in sorted(missing, key=lambda g: sorted(g))[:limit]:
        parts = {where[p] for p in g if p in where}
        unreported = [p for p in g if p not in where]
        if not parts:
            how = "not reported at all"
        else:
            how = []
            if len(parts) > 1:
                how.append("split over %d groups" % len(parts))
            if unreported:
                how.append("%d member(s) missing" % len(unreported))
            if any(not part <= g for part in parts):
                how.append("merged with other files")
            how = ", ".join(how) or "different"
        lines.append("missing %s: %s" % (short(g), how))
    if len(missing) > limit:
        lines.append("... and %d more missing" % (len(missing) - limit))
    for g in sorted(extra, key=lambda g: sorted(g))[:limit]:
        lines.append("unexpected %s" % short(g))
    if len(extra) > limit:
        lines.append("... and %d more unexpected" % (len(extra) - limit))
    return lines


# ---------------------------------------------------------------------------
# one tree


def resolve_target(target, args):
    """Return (label, tree path, manifest or None)."""
    if "/" in target or os.path.isdir(target):
        tree = os.path.abspath(target).rstrip("/")
        if not os.path.isdir(tree):
            sys.exit("run: %s is not a folder" % target)
        return os.path.basename(tree), tree, gen_tree.load_manifest(tree)
    label = target
    m = re.fullmatch(r"(realistic|photos|videos)-(\d+)", target)
    copies = re.fullmatch(r"copies-(\d+)x(\d+)", target)
    if m:
        gargs = [m.group(1), "--files", m.group(2)]
    elif copies:
        gargs = ["copies", "--files", copies.group(1), "--mb", copies.group(2)]
    elif target in ("tail4k", "bigfiles", "photos", "videos"):
        gargs = [target]
    else:
        sys.exit("run: unknown target %r (a folder, realistic-N, tail4k, bigfiles, photos, "
                 "photos-N, videos, videos-N, copies-NxM, all, media or copies)" % target)
    gargs += ["--root", args.root, "--seed", str(args.seed)]
    if gargs[0] in ("photos", "videos"):
        gargs += ["--scale", repr(args.scale)]
    gen_args = gen_tree.build_parser().parse_args(gargs)
    if gargs[0] in ("photos", "videos"):
        label = "%s-%d" % (gargs[0], gen_args.files)
        if args.scale != 1:
            label += " (sizes ×%g)" % args.scale
    tree = gen_tree.generate(gen_args)
    return label, tree, gen_tree.load_manifest(tree)


def files_of_at_least(tree, size):
    """The files of the tree of at least `size` bytes, as `find` lists them."""
    out = subprocess.run(["find", tree, "-type", "f", "-size", "+%dc" % (size - 1), "-print0"],
                         check=True, capture_output=True).stdout
    return {os.path.normpath(os.fsdecode(p)) for p in out.split(b"\0") if p}


def filtered_reference(groups, files):
    """The groups that a search of only `files` finds: each group's members among them, where
    two or more are left."""
    result = set()
    for g in groups:
        kept = frozenset(p for p in g if p in files)
        if len(kept) >= 2:
            result.add(kept)
    return result


def check_min_size(found, ref, tree, checks):
    """The size-filtered run against the reference and against the unfiltered run, both cut to
    the files that a `find` pre-filter lets through."""
    if MIN_SIZE_TOOL not in found:
        return
    big = files_of_at_least(tree, MIN_SIZE_BYTES)
    checks[MIN_SIZE_TOOL] = describe_diff(found[MIN_SIZE_TOOL], filtered_reference(ref, big), tree)
    if "dopplet-find" in found:
        unfiltered = filtered_reference(found["dopplet-find"], big)
        if unfiltered != found[MIN_SIZE_TOOL]:
            checks[MIN_SIZE_TOOL].append(
                "differs from the unfiltered dopplet-find's groups among the %d files of "
                "`find -size +%dc`" % (len(big), MIN_SIZE_BYTES - 1))


def bench_tree(label, tree, manifest, args, dopplet_cmd):
    log("== %s: %s" % (label, tree))
    work = tempfile.mkdtemp(prefix="dopplet-bench-work-", dir=args.workdir)
    tools = make_tools(dopplet_cmd, work, args.tools)
    size_of = SizeOf()
    results = {t.name: [] for t in tools}
    found = {}
    status = {}
    repeats = {}  # tool -> number of paths it printed more than once
    if args.cold:
        log("  cold cache: the page cache is dropped before every run")
    else:
        read_whole_tree(tree)
    other_load = OtherLoad()
    other_load.start()

    for t in tools:
        if t.name.startswith("dopplet-find") or shutil.which(t.argv[0]):
            continue
        status[t.name] = "not installed"

    def out_file(t):
        return t.result_file or os.path.join(work, "stdout.txt")

    # warm-up run, also the run whose output is checked
    for t in tools:
        if t.name in status:
            continue
        log("  warm-up %-13s %s" % (t.name, " ".join(shlex.quote(a) for a in t.command(tree))))
        if args.cold:
            cold_or_exit(work)
        r = run_once(t, tree, work, args.timeout, args.nice)
        if r.status == "timeout":
            status[t.name] = "timeout"
            log("    timeout after %g s" % args.timeout)
            continue
        if r.status == "error":
            status[t.name] = "error (exit %s)" % r.rc
            log("    exit %s; stderr:\n%s" % (r.rc, r.stderr_tail))
            continue
        log("    %.2f s, %s KiB" % (r.wall, r.rss_kib))
        try:
            groups = t.parser(out_file(t))
        except (OSError, ValueError) as e:
            status[t.name] = "unreadable output"
            log("    cannot read output: %s" % e)
            continue
        found[t.name] = normalise(groups, work, size_of)
        seen, repeated = set(), 0
        for g in groups:
            for p in g:
                repeated += p in seen
                seen.add(p)
        if repeated:
            repeats[t.name] = repeated
        if args.keep_work:
            shutil.copy(out_file(t), os.path.join(work, "output-%s.txt" % t.name.replace(" ", "")))

    # timed runs, round-robin
    for rep in range(args.reps):
        for t in tools:
            if t.name in status:
                continue
            if args.cold:
                cold_or_exit(work)
            r = run_once(t, tree, work, args.timeout, args.nice)
            if r.status == "ok":
                results[t.name].append(r)
                log("  rep %d %-13s %.2f s, %s KiB" % (rep + 1, t.name, r.wall, r.rss_kib))
            else:
                status[t.name] = "timeout" if r.status == "timeout" else "error (exit %s)" % r.rc
                log("  rep %d %-13s %s" % (rep + 1, t.name, status[t.name]))

    # check results
    if manifest is not None:
        ref = {frozenset(os.path.join(tree, p) for p in g) for g in manifest["groups"]}
        ref_name = "generator manifest"
    else:
        ref_name = next((n for n in found if n != MIN_SIZE_TOOL), None)
        ref = found.get(ref_name, set())
    checks = {}
    for t in tools:
        if t.name not in found:
            checks[t.name] = ["no result (%s)" % status.get(t.name, "?")]
        else:
            checks[t.name] = describe_diff(found[t.name], ref, tree)
            if t.name in repeats:
                msg = "%d path(s) printed more than once" % repeats[t.name]
                if checks[t.name]:
                    checks[t.name].append(msg)
                else:
                    checks[t.name] = [msg]
    check_min_size(found, ref, tree, checks)
    shutil.rmtree(work) if not args.keep_work else log("  kept work folder %s" % work)

    return {
        "other_load": other_load.stop(),
        "label": label, "tree": tree, "manifest": manifest, "ref_name": ref_name,
        "cache": "cold" if args.cold else "warm", "storage": storage_of(tree),
        "ref_groups": len(ref), "ref_files": sum(len(g) for g in ref),
        "tools": [t.name for t in tools],
        "commands": {t.name: " ".join(shlex.quote(a) for a in t.command(tree)) for t in tools},
        "results": results, "status": status, "found": found, "checks": checks,
    }


# ---------------------------------------------------------------------------
# report


def fmt_s(x):
    if x is None:
        return "-"
    return "%.3f" % x if x < 10 else "%.2f" % x if x < 100 else "%.1f" % x


def report(r, args):
    lines = []
    m = r["manifest"]
    if m:
        desc = "%d files, %.1f MB, %d expected groups (%d files)" % (
            m["files"], m["bytes"] / 1e6, m["expected_groups"], m["expected_files_in_groups"])
    else:
        desc = "reference: %s" % r["ref_name"]
    lines.append("### %s — %s cache — %s" % (r["label"], r["cache"], desc))
    lines.append("")
    lines.append("| tool | median wall s | min s | max s | × dopplet-find | peak RSS MiB | groups | result |")
    lines.append("|---|---:|---:|---:|---:|---:|---:|---|")
    med = {}
    for name in r["tools"]:
        runs = r["results"][name]
        if runs and name not in r["status"]:
            med[name] = statistics.median(x.wall for x in runs)
    base = med.get("dopplet-find")
    for name in r["tools"]:
        runs = r["results"][name]
        st = r["status"].get(name)
        walls = [x.wall for x in runs]
        rss = [x.rss_kib for x in runs if x.rss_kib is not None]
        if st:
            median = st if st != "timeout" else "timeout (>%g s)" % args.timeout
            mn = mx = "-"
        else:
            median = fmt_s(med[name])
            mn, mx = fmt_s(min(walls)), fmt_s(max(walls))
        if base and name in med:
            ratio = "%.2f" % (med[name] / base)
        elif name in med and r["status"].get("dopplet-find") == "timeout":
            ratio = "< %.3g" % (med[name] / args.timeout)  # dopplet-find took longer
        else:
            ratio = "-"
        peak = "%.1f" % (max(rss) / 1024) if rss else "-"
        groups = str(len(r["found"][name])) if name in r["found"] else "-"
        chk = r["checks"][name]
        result = "same" if not chk else ("differs" if name in r["found"] else "-")
        lines.append("| %s | %s | %s | %s | %s | %s | %s | %s |" %
                     (name, median, mn, mx, ratio, peak, groups, result))
    if r["cache"] == "cold":
        lines.append("")
        lines.append("Cold cache: read from %s; page cache dropped before every run" % r["storage"])
    if r["other_load"] is not None:
        busy = " (other work was running: times are not reliable)" \
            if r["other_load"] > 0.1 else ""
        lines.append("")
        lines.append("CPU used by other processes during the runs: %.0f%% of the machine%s"
                     % (100 * r["other_load"], busy))
    lines.append("")
    lines.append("Result check against %s (%d groups, %d files; zero-byte groups ignored; "
                 "for %s only its groups among the files of at least 1 MiB, which "
                 "`find -size +%dc` lists):"
                 % (r["ref_name"], r["ref_groups"], r["ref_files"], MIN_SIZE_TOOL,
                    MIN_SIZE_BYTES - 1))
    for name in r["tools"]:
        chk = r["checks"][name]
        if not chk:
            lines.append("- %s: same groups" % name)
        else:
            lines.append("- %s: %s" % (name, chk[0]))
            for c in chk[1:]:
                lines.append("    - %s" % c)
    return "\n".join(lines)


def environment(args, dopplet_cmd):
    lines = []
    cpu = ""
    try:
        with open("/proc/cpuinfo") as f:
            for l in f:
                if l.startswith("model name"):
                    cpu = l.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    mem = ""
    try:
        with open("/proc/meminfo") as f:
            mem = "%.0f GiB RAM" % (int(f.readline().split()[1]) / 1024 / 1024)
    except (OSError, ValueError, IndexError):
        pass
    lines.append("Machine: %s, %d cores, %s, Linux %s" % (cpu, os.cpu_count(), mem, platform.release()))
    lines.append("dopplet-find command: %s" % " ".join(shlex.quote(a) for a in dopplet_cmd))
    vers = []
    for t in args.tools:
        if not t.startswith("dopplet-find") and t != "jdupes -Q":
            vers.append(tool_version(t, dopplet_cmd))
    lines.append("Peers: %s" % "; ".join(v for v in vers if v))
    if args.cold:
        cache = ("Cold cache (sync, then 3 into %s before every run, the warm-up included)"
                 % DROP_CACHES)
    else:
        cache = "Warm cache (the tree read once before the first tool)"
    lines.append("%s, 1 untimed warm-up run, median of %d runs, timeout %g s per run%s"
                 % (cache, args.reps, args.timeout, ", nice %d" % args.nice if args.nice else ""))
    return "\n".join(lines)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0], epilog=__doc__.split("\n\n", 1)[1],
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("targets", nargs="+", metavar="TARGET",
                    help="folder, realistic-N, tail4k, bigfiles, photos[-N], videos[-N], "
                         "copies-NxM, all, media or copies")
    ap.add_argument("--dopplet", default=DEFAULT_DOPPLET, metavar="CMD",
                    help="dopplet-find command, split like a shell would; the folder is appended "
                         "(default %(default)s; stand-in: --dopplet 'fdupes -r -q')")
    ap.add_argument("--reps", type=int, default=5, help="timed runs per tool (default %(default)s)")
    ap.add_argument("--timeout", type=float, default=600, help="seconds per run before a tool is "
                    "reported as timeout (default %(default)s)")
    ap.add_argument("--tools", default=",".join(ALL_TOOLS),
                    help="comma separated subset of: %s" % ", ".join(ALL_TOOLS))
    ap.add_argument("--root", default=gen_tree.DEFAULT_ROOT,
                    help="where generated trees live (default %(default)s)")
    ap.add_argument("--seed", type=int, default=1, help="generator seed (default %(default)s)")
    ap.add_argument("--workdir", default=None,
                    help="parent of the temporary work folder (default: system temp)")
    ap.add_argument("--nice", type=int, default=0,
                    help="run the tools at this nice value, e.g. -10 (as root) so that other "
                         "work on the machine disturbs the times less (default %(default)s)")
    ap.add_argument("--cold", action="store_true",
                    help="drop the page cache (sync; echo 3 > %s) before every run, so that the "
                         "tools read the tree from the disk; needs root" % DROP_CACHES)
    ap.add_argument("--scale", type=float, default=1.0,
                    help="multiply the file sizes of the photos and videos trees by this, e.g. "
                         "0.01 for a quick try (default %(default)s)")
    ap.add_argument("--keep-work", action="store_true", help="keep tool outputs in the work folder")
    ap.add_argument("--json", metavar="FILE", help="also write raw timings to FILE")
    args = ap.parse_args(argv)

    args.tools = [t.strip() for t in args.tools.split(",") if t.strip()]
    for t in args.tools:
        if t not in ALL_TOOLS:
            ap.error("unknown tool %r" % t)
    if args.reps < 1:
        ap.error("--reps must be at least 1")
    if not os.path.exists(TIME_BIN):
        sys.exit("run: %s is missing (apt-get install time)" % TIME_BIN)
    dopplet_cmd = shlex.split(args.dopplet)
    if "dopplet-find" in args.tools:
        exe = dopplet_cmd[0] if dopplet_cmd else ""
        if not (shutil.which(exe) or (os.path.isfile(exe) and os.access(exe, os.X_OK))):
            sys.exit("run: dopplet-find command %r not found; build it (cmake -S . -B build && "
                     "cmake --build build) or pass e.g. --dopplet 'fdupes -r -q' as a stand-in" % exe)
        if os.path.isfile(exe):
            dopplet_cmd[0] = os.path.abspath(exe)

    if args.cold:
        # find out now, not after generating a tree, whether this is allowed
        why = "not running as root" if os.geteuid() != 0 else drop_caches()
        if why:
            log("run: --cold needs to drop the page cache (sync; echo 3 > %s) before every "
                "run, and cannot: %s. Run as root, or leave out --cold for warm-cache times."
                % (DROP_CACHES, why))
            return 2

    targets = []
    for t in args.targets:
        targets.extend(ALL_TARGETS if t == "all" else MEDIA_TARGETS if t == "media"
                       else COPIES_TARGETS if t == "copies" else [t])

    env = environment(args, dopplet_cmd)
    reports = []
    raw = []
    for t in targets:
        label, tree, manifest = resolve_target(t, args)
        r = bench_tree(label, tree, manifest, args, dopplet_cmd)
        text = report(r, args)
        reports.append(text)
        print(text + "\n", file=sys.stderr, flush=True)
        raw.append({
            "label": r["label"], "tree": r["tree"], "commands": r["commands"],
            "cache": r["cache"], "storage": r["storage"],
            "other_cpu": r["other_load"],
            "status": r["status"], "checks": r["checks"],
            "runs": {n: [{"wall": x.wall, "max_rss_kib": x.rss_kib} for x in v]
                     for n, v in r["results"].items()},
        })
    print(env)
    print()
    print("\n\n".join(reports))
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump({"environment": env, "trees": raw}, f, indent=1, ensure_ascii=False)
    # timings are printed either way; the exit status tells whether every
    # tool that finished reported the expected groups
    bad = any(chk and not chk[0].startswith("no result")
              for tree in raw for chk in tree["checks"].values())
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
