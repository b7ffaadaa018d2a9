#!/usr/bin/env python3
"""Deterministic generator of benchmark trees for dopplet-find and its peers.

Python 3 standard library only.  The same kind, options and seed always
produce the same tree: the same folders, file names, sizes and bytes.

Kinds:
  realistic --files N   a home-folder-like tree: thousands of nested folders,
                        skewed sizes (0 bytes .. a few MB), ~15% duplicated
                        files (copies in other folders, some renamed), shared
                        names on different contents, same-size near twins.
  tail4k                2000 files of 64 KiB, equal except for their last
                        4 KiB (each file unique: nothing to find).
  bigfiles              ~30 files of 50..200 MB in pairs/triples that differ
                        only in their first, middle or last byte, plus real
                        identical copies.

Next to the tree DIR it writes DIR.manifest.json (outside the tree, so it
is not scanned) with the parameters and the expected duplicate groups
(non-empty files only, paths relative to DIR).  A tree whose manifest
matches the requested parameters is not generated again; use --force to
rebuild.  The generator only ever deletes a folder that it made itself
(one that has a manifest) or, with --force, an existing folder.

The trees contain no hard links and no symlinks.
"""

import argparse
import hashlib
import json
import os
import random
import shutil
import sys
import time

GENERATOR_VERSION = 1
DEFAULT_ROOT = "/tmp/dopplet-bench"
KiB = 1024
MiB = 1024 * 1024

# ---------------------------------------------------------------------------
# helpers


def log(msg):
    print(msg, file=sys.stderr, flush=True)


def repo_root():
    return os.path.dirname(os.path.dirname(os.path.realpath(__file__)))


def make_pool(rng, size):
    """A block of pseudo-random bytes that file contents are cut from."""
    parts = []
    left = size
    while left > 0:
        n = min(left, 4 * MiB)
        parts.append(rng.randbytes(n))
        left -= n
    return b"".join(parts)


def stamp(n):
    return n.to_bytes(8, "little")


def flip(data, pos):
    """Return data with the byte at pos inverted."""
    b = bytearray(data)
    b[pos] ^= 0xFF
    return bytes(b)


class Writer:
    """Writes files into the tree and records their content keys."""

    def __init__(self, out, base_mtime):
        self.out = out
        self.files = []  # (relpath, size, key)
        self.bytes = 0
        self.base_mtime = base_mtime

    def write(self, rel, data, key, mtime_offset=0):
        path = os.path.join(self.out, rel)
        with open(path, "wb", buffering=0) as f:
            mv = memoryview(data)
            for i in range(0, len(mv), 4 * MiB):
                f.write(mv[i:i + 4 * MiB])
        t = self.base_mtime + mtime_offset
        os.utime(path, (t, t))
        self.files.append((rel, len(data), key))
        self.bytes += len(data)

    def write_blocks(self, rel, size, block_fn, bs, key, patches=(), mtime_offset=0):
        """Write a big file block by block (block_fn(k) gives block k of bs
        bytes); the bytes at the positions in patches are inverted."""
        path = os.path.join(self.out, rel)
        with open(path, "wb", buffering=0) as f:
            pos = 0
            k = 0
            while pos < size:
                n = min(bs, size - pos)
                blk = block_fn(k)[:n]
                mine = [p - pos for p in patches if pos <= p < pos + n]
                if mine:
                    blk = bytearray(blk)
                    for p in mine:
                        blk[p] ^= 0xFF
                f.write(blk)
                pos += n
                k += 1
        t = self.base_mtime + mtime_offset
        os.utime(path, (t, t))
        self.files.append((rel, size, key))
        self.bytes += size

    def expected_groups(self):
        by_key = {}
        for rel, size, key in self.files:
            if size == 0:
                continue
            by_key.setdefault(key, []).append(rel)
        groups = [sorted(v) for v in by_key.values() if len(v) > 1]
        groups.sort()
        return groups

    def fingerprint(self, extra=b""):
        h = hashlib.sha256(extra)
        for rel, size, key in sorted(self.files):
            h.update(("%s\0%d\0%r\n" % (rel, size, key)).encode("utf-8", "surrogateescape"))
        return h.hexdigest()


# ---------------------------------------------------------------------------
# realistic

TOP_FOLDERS = [
    "Documents", "Pictures", "Music", "Videos", "Downloads", "Desktop",
    "Projects", "Backup", "Archive", "Work", "Photos", "Scans", "Shared",
    "Old Laptop", "Dropbox", "src", "Mail attachments", "Übersicht",
]
WORDS = [
    "alpha", "beta", "budget", "report", "invoice", "holiday", "family",
    "meeting", "notes", "draft", "final", "scan", "export", "assets", "data",
    "logs", "misc", "old", "new", "tmp", "2016", "2017", "2018", "2019",
    "2020", "2021", "2022", "2023", "2024", "January", "March", "June",
    "September", "December", "client", "server", "web", "api", "docs",
    "thesis", "taxes", "receipts", "wedding", "garden", "kitchen", "car",
    "travel", "Berlin", "Paris", "Tokyo", "summer", "winter", "school",
    "lib", "include", "test", "build", "images", "icons", "fonts", "music",
    "podcast", "lectures", "slides", "contracts", "house", "bank", "health",
    "café", "résumé", "写真", "Документы", "misc stuff", "New Folder",
    "camera roll", "WhatsApp Images", "Screenshots", "vendor", "third_party",
]
SHARED_NAMES = [
    "README.md", "README.txt", "index.html", "notes.txt", "config.json",
    "Makefile", "main.c", "main.py", "__init__.py", "LICENSE", "data.csv",
    "report.pdf", "IMG_0001.JPG", "IMG_0002.JPG", "cover.jpg", "Thumbs.db",
    "desktop.ini", ".DS_Store", ".gitignore", "package.json", "style.css",
    "todo.txt", "invoice.pdf", "scan.pdf", "photo.jpg", "track01.mp3",
    "settings.ini", "backup.zip", "log.txt", "Untitled.docx",
]
SMALL_EXT = [".txt", ".md", ".json", ".py", ".c", ".h", ".js", ".css",
             ".html", ".xml", ".ini", ".csv", ".log", ".yml", ".sh", ".cpp"]
MEDIUM_EXT = [".pdf", ".docx", ".xlsx", ".png", ".jpg", ".odt", ".pptx",
              ".zip", ".svg", ".JPG", ".epub"]
LARGE_EXT = [".jpg", ".png", ".mp3", ".pdf", ".zip", ".mp4", ".mov",
             ".tar.gz", ".flac", ".psd", ".NEF"]
HEADERS = {
    ".png": b"\x89PNG\r\n\x1a\n", ".jpg": b"\xff\xd8\xff\xe0\x00\x10JFIF",
    ".JPG": b"\xff\xd8\xff\xe1\x00\x10Exif", ".pdf": b"%PDF-1.5\n%\xe2\xe3",
    ".zip": b"PK\x03\x04", ".docx": b"PK\x03\x04", ".xlsx": b"PK\x03\x04",
    ".pptx": b"PK\x03\x04", ".odt": b"PK\x03\x04", ".epub": b"PK\x03\x04",
    ".mp3": b"ID3\x03\x00", ".flac": b"fLaC", ".mp4": b"\x00\x00\x00\x20ftypisom",
    ".mov": b"\x00\x00\x00\x14ftypqt  ", ".tar.gz": b"\x1f\x8b\x08\x00",
    ".psd": b"8BPS\x00\x01", ".NEF": b"MM\x00\x2a", ".html": b"<!DOCTYPE html>",
    ".svg": b"<?xml version=", ".xml": b"<?xml version=",
}
COPY_PATTERNS = ["Copy of {stem}{ext}", "{stem} (1){ext}", "{stem} (2){ext}",
                 "{stem}_backup{ext}", "{stem} - Copy{ext}", "{stem}.bak{ext}",
                 "{stem}-old{ext}"]


def split_ext(name):
    if name.endswith(".tar.gz"):
        return name[:-7], ".tar.gz"
    stem, ext = os.path.splitext(name)
    if not stem:  # ".gitignore"
        return name, ""
    return stem, ext


def gen_realistic(out, n_files, seed):
    rng = random.Random("realistic:%d:%d" % (seed, n_files))
    pool_size = 16 * MiB
    pool = make_pool(rng, pool_size)
    w = Writer(out, base_mtime=1_500_000_000)

    # ---- folders: a random tree, at most 6 levels, about N/8 folders
    n_dirs = max(30, n_files // 8)
    dirs = [""]  # relative paths; "" is the root
    depth = {"": 0}
    children = {"": set()}
    for name in TOP_FOLDERS:
        dirs.append(name)
        depth[name] = 1
        children[name] = set()
        children[""].add(name)
    while len(dirs) < n_dirs + 1:
        parent = dirs[rng.randrange(1, len(dirs))]
        if depth[parent] >= 6 or rng.random() > 0.6 ** (depth[parent] - 1):
            continue  # prefer shallow parents: most folders 2-4 levels deep
        r = rng.random()
        if r < 0.55:
            name = rng.choice(WORDS)
        elif r < 0.75:
            name = "%s %s" % (rng.choice(WORDS), rng.choice(WORDS))
        elif r < 0.9:
            name = "%s_%d" % (rng.choice(WORDS), rng.randrange(1, 500))
        else:
            name = "%04d-%02d-%02d" % (rng.randrange(2010, 2025), rng.randrange(1, 13),
                                       rng.randrange(1, 29))
        if rng.random() < 0.01:
            name = "." + name.replace(" ", "_")  # a few hidden folders
        if name in children[parent]:
            continue
        children[parent].add(name)
        rel = name if parent == "" else parent + "/" + name
        dirs.append(rel)
        depth[rel] = depth[parent] + 1
        children[rel] = set()
    file_dirs = dirs[1:]
    # some folders are "busy": weight them more
    weights = [rng.choice((1, 1, 1, 2, 3, 8)) for _ in file_dirs]
    for d in file_dirs:
        os.makedirs(os.path.join(out, d), exist_ok=True)

    names_in = {d: set() for d in dirs}

    def unique_name(d, name):
        stem, ext = split_ext(name)
        cand = name
        i = 2
        while cand in names_in[d]:
            cand = "%s (%d)%s" % (stem, i, ext)
            i += 1
        names_in[d].add(cand)
        return cand

    def pick_dir():
        return rng.choices(file_dirs, weights)[0]

    def pick_size():
        r = rng.random()
        if r < 0.02:
            return 0
        if r < 0.035:
            return rng.randrange(1 * MiB, 6 * MiB)  # a few large ones
        s = int(rng.lognormvariate(8.7, 1.9))  # median ~6 KB
        return max(1, min(s, 4 * MiB))

    def ext_for(size):
        if size < 16 * KiB:
            return rng.choice(SMALL_EXT)
        if size < 512 * KiB:
            return rng.choice(MEDIUM_EXT)
        return rng.choice(LARGE_EXT)

    def random_name(size):
        ext = ext_for(size)
        r = rng.random()
        if ext in (".jpg", ".JPG", ".NEF", ".png") and r < 0.6:
            stem = rng.choice(("IMG_%04d", "DSC%05d", "PXL_2021%06d", "Screenshot %d"))
            stem = stem % rng.randrange(1, 99999)
        elif r < 0.5:
            stem = "%s_%s" % (rng.choice(WORDS), rng.choice(WORDS))
        elif r < 0.8:
            stem = "%s %d" % (rng.choice(WORDS), rng.randrange(1, 100))
        else:
            stem = "%s-%s-v%d" % (rng.choice(WORDS), rng.choice(WORDS), rng.randrange(1, 9))
        return stem + ext

    # ---- content descriptions
    # A content is (size, base_id, pool_offset, ext, flips); its bytes are
    # header(ext) + stamp(base_id) + pool[offset:...], with the given bytes
    # flipped.  Files under 32 bytes are random bytes keyed by the bytes.
    contents = []

    def new_content(size, ext):
        cid = len(contents)
        if size < 32:
            data = rng.randbytes(size)
            contents.append(("tiny", data))
        else:
            off = rng.randrange(0, pool_size - size + 1)
            contents.append(("pool", size, cid, off, HEADERS.get(ext, b"")[: size // 4], ()))
        return cid

    def variant_content(base_cid, where):
        c = contents[base_cid]
        if c[0] == "tiny":
            size = len(c[1])
        else:
            size = c[1]
        pos = {"first": 0, "last": size - 1, "middle": size // 2,
               "after4k": min(size - 1, 4096 + rng.randrange(0, 64))}[where]
        if c[0] == "tiny":
            contents.append(("tiny", flip(c[1], pos)))
        else:
            # flipping a byte twice restores it: keep the set of flipped bytes
            flips = tuple(sorted(set(c[5]) ^ {pos}))
            contents.append(c[:5] + (flips,))
        return len(contents) - 1

    def content_bytes(cid):
        c = contents[cid]
        if c[0] == "tiny":
            return c[1]
        _, size, base, off, header, flips = c
        head = header + stamp(base)
        data = head + pool[off: off + size - len(head)]
        for p in flips:
            data = flip(data, p)
        return data

    def content_key(cid):
        c = contents[cid]
        if c[0] == "tiny":
            return ("tiny", c[1].hex())
        return ("pool", c[2], c[5])

    # ---- primary files
    n_copies = round(0.15 * n_files)
    n_primary = n_files - n_copies
    primaries = []  # (dir, name, cid)
    for i in range(n_primary):
        r = rng.random()
        if primaries and r < 0.035:
            # same size as an earlier file, differing in one byte
            j = rng.randrange(len(primaries))
            base = primaries[j][2]
            bsize = contents[base][1] if contents[base][0] == "pool" else len(contents[base][1])
            if bsize == 0:
                cid = base  # another empty file
            else:
                where = rng.choice(("first", "middle", "last", "last", "after4k"))
                cid = variant_content(base, where)
            name = random_name(bsize)
        elif primaries and r < 0.05:
            # same size as an earlier file, unrelated content
            j = rng.randrange(len(primaries))
            base = primaries[j][2]
            bsize = contents[base][1] if contents[base][0] == "pool" else len(contents[base][1])
            name = random_name(bsize)
            cid = new_content(bsize, split_ext(name)[1])
        elif r < 0.13:
            # a shared name, different content
            name = rng.choice(SHARED_NAMES)
            size = 0 if name == "__init__.py" and rng.random() < 0.5 else pick_size()
            cid = new_content(size, split_ext(name)[1])
        else:
            size = pick_size()
            name = random_name(size)
            cid = new_content(size, split_ext(name)[1])
        d = pick_dir()
        primaries.append((d, unique_name(d, name), cid))

    # ---- copies of non-empty primaries
    def csize(cid):
        c = contents[cid]
        return c[1] if c[0] == "pool" else len(c[1])

    candidates = [p for p in primaries if csize(p[2]) > 0]
    copies = []
    while len(copies) < n_copies:
        d0, name0, cid = rng.choice(candidates)
        r = rng.random()
        k = 1 if r < 0.7 else (2 if r < 0.9 else rng.randrange(3, 6))
        for _ in range(min(k, n_copies - len(copies))):
            d = d0 if rng.random() < 0.1 else pick_dir()
            stem, ext = split_ext(name0)
            r = rng.random()
            if r < 0.55 and d != d0:
                name = name0
            elif r < 0.85:
                name = rng.choice(COPY_PATTERNS).format(stem=stem, ext=ext)
            else:
                name = random_name(csize(cid))
            copies.append((d, unique_name(d, name), cid))

    # ---- write everything, in path order
    allfiles = primaries + copies
    order = sorted(range(len(allfiles)), key=lambda i: (allfiles[i][0], allfiles[i][1]))
    mtimes = [rng.randrange(0, 300_000_000) for _ in allfiles]
    for i in order:
        d, name, cid = allfiles[i]
        rel = name if d == "" else d + "/" + name
        w.write(rel, content_bytes(cid), content_key(cid), mtimes[i])
    return w, {"folders": len(file_dirs)}, hashlib.sha256(pool).digest()


# ---------------------------------------------------------------------------
# tail4k


def gen_tail4k(out, n_files, size, tail, seed):
    rng = random.Random("tail4k:%d:%d:%d:%d" % (seed, n_files, size, tail))
    prefix = rng.randbytes(size - tail)
    pool = make_pool(rng, 4 * MiB)
    w = Writer(out, base_mtime=1_600_000_000)
    per_dir = 100
    n_dirs = (n_files + per_dir - 1) // per_dir
    for d in range(n_dirs):
        os.makedirs(os.path.join(out, "d%02d" % d), exist_ok=True)
    for i in range(n_files):
        off = rng.randrange(0, len(pool) - tail)
        t = stamp(i) + pool[off: off + tail - 8]
        rel = "d%02d/f%04d.bin" % (i // per_dir, i)
        w.write(rel, prefix + t, ("tail", i), i)
    return w, {"folders": n_dirs}, hashlib.sha256(prefix + pool).digest()


# ---------------------------------------------------------------------------
# bigfiles

# Each family is a list of members; a member is a list of byte positions to
# flip relative to the family's base content ("F", "M", "L" = first, middle,
# last byte), or "other" for an unrelated content of the same size.
# Members with equal flip lists are identical files.
BIG_FAMILIES = [
    ("pair-first", [[], ["F"]]),
    ("pair-middle", [[], ["M"]]),
    ("pair-last", [[], ["L"]]),
    ("triple-first-last", [[], ["F"], ["L"]]),
    ("triple-middle-last", [[], ["M"], ["L"]]),
    ("triple-first-middle", [[], ["F"], ["M"]]),
    ("copy-pair", [[], []]),
    ("copy-triple", [[], [], []]),
    ("copies-and-last", [[], [], ["L"]]),
    ("copies-and-first", [[], [], ["F"]]),
    ("variant-copies", [[], ["M"], ["M"]]),
    ("same-size-unrelated", [[], "other"]),
]


def gen_bigfiles(out, seed, min_mb, max_mb):
    rng = random.Random("bigfiles:%d:%d:%d" % (seed, min_mb, max_mb))
    bs = 1 * MiB
    pool_size = 16 * MiB
    pool = memoryview(make_pool(rng, pool_size + bs))
    w = Writer(out, base_mtime=1_650_000_000)
    used_sizes = set()

    def block_maker(salt, content_no):
        # block k is a slice of the pool chosen by (salt, k); block 0 also
        # carries the content number, so different contents always differ
        first = bytearray(pool[(salt * 4096) % pool_size:][:bs])
        first[16:24] = stamp(content_no)
        first = bytes(first)

        def block(k):
            if k == 0:
                return first
            off = ((salt + k * 7919) * 4096) % pool_size
            return pool[off: off + bs]
        return block

    seq = 0
    for fam_no, (fam, members) in enumerate(BIG_FAMILIES):
        os.makedirs(os.path.join(out, "%02d-%s" % (fam_no, fam)), exist_ok=True)
        while True:
            size = rng.randrange(min_mb * 1_000_000, max_mb * 1_000_000 + 1)
            if size not in used_sizes:
                used_sizes.add(size)
                break
        base = block_maker(rng.randrange(1 << 30), fam_no * 2)
        other = block_maker(rng.randrange(1 << 30), fam_no * 2 + 1)
        for m_no, flips in enumerate(members):
            if flips == "other":
                block, pos, tag = other, [], "other"
                key = ("big", fam_no * 2 + 1, ())
            else:
                pos = sorted({"F": 0, "M": size // 2, "L": size - 1}[p] for p in flips)
                block = base
                tag = "base" if not flips else "diff-" + "".join(flips)
                key = ("big", fam_no * 2, tuple(pos))
            rel = "%02d-%s/%s-%d-%s.bin" % (fam_no, fam, fam, m_no, tag)
            w.write_blocks(rel, size, block, bs, key, patches=pos, mtime_offset=seq)
            seq += 1
    return w, {"folders": len(BIG_FAMILIES)}, hashlib.sha256(pool).digest()


# ---------------------------------------------------------------------------
# driver


def default_name(kind, args):
    if kind == "realistic":
        name = "realistic-%d" % args.files
    else:
        name = kind
    if args.seed != 1:
        name += "-s%d" % args.seed
    return name


def params_of(args):
    p = {"kind": args.kind, "seed": args.seed, "generator_version": GENERATOR_VERSION}
    if args.kind == "realistic":
        p["files"] = args.files
    elif args.kind == "tail4k":
        p.update(files=args.files, size=args.size, tail=args.tail)
    elif args.kind == "bigfiles":
        p.update(min_mb=args.min_mb, max_mb=args.max_mb)
    return p


def manifest_path(out):
    return out.rstrip("/") + ".manifest.json"


def load_manifest(out):
    try:
        with open(manifest_path(out), encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def generate(args):
    """Make (or reuse) the tree described by args; returns its path."""
    out = os.path.abspath(args.out or os.path.join(args.root, default_name(args.kind, args)))
    out = out.rstrip("/")
    root = repo_root()
    if os.path.realpath(out) == "/" or \
            (os.path.realpath(out) + "/").startswith(root + "/"):
        sys.exit("gen_tree: refusing to generate into %s (must be outside the repository)" % out)
    params = params_of(args)
    man = load_manifest(out)
    if man and man.get("params") == params and os.path.isdir(out) and not args.force:
        log("gen_tree: %s is up to date (%d files, %.1f MB)" %
            (out, man["files"], man["bytes"] / 1e6))
        return out
    if os.path.exists(out):
        if man is None and not args.force and os.listdir(out):
            sys.exit("gen_tree: %s exists and was not made by gen_tree; use --force to replace it" % out)
        log("gen_tree: removing old %s" % out)
        try:
            os.unlink(manifest_path(out))
        except FileNotFoundError:
            pass
        shutil.rmtree(out)
    os.makedirs(out)
    log("gen_tree: generating %s into %s" % (json.dumps(params), out))
    t0 = time.monotonic()
    if args.kind == "realistic":
        w, extra, pool_digest = gen_realistic(out, args.files, args.seed)
    elif args.kind == "tail4k":
        w, extra, pool_digest = gen_tail4k(out, args.files, args.size, args.tail, args.seed)
    else:
        w, extra, pool_digest = gen_bigfiles(out, args.seed, args.min_mb, args.max_mb)
    groups = w.expected_groups()
    dt = time.monotonic() - t0
    man = {
        "params": params,
        "tree": out,
        "files": len(w.files),
        "bytes": w.bytes,
        "empty_files": sum(1 for f in w.files if f[1] == 0),
        "expected_groups": len(groups),
        "expected_files_in_groups": sum(len(g) for g in groups),
        "fingerprint": w.fingerprint(pool_digest),
        "groups": groups,
    }
    man.update(extra)
    tmp = manifest_path(out) + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        json.dump(man, f, indent=1, ensure_ascii=False)
    os.replace(tmp, manifest_path(out))
    log("gen_tree: %d files in %d folders, %.1f MB, %d expected groups (%d files), %.1f s" %
        (man["files"], man["folders"], man["bytes"] / 1e6, man["expected_groups"],
         man["expected_files_in_groups"], dt))
    log("gen_tree: fingerprint %s" % man["fingerprint"])
    return out


def build_parser():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="kind", required=True)

    def common(p):
        p.add_argument("--out", help="tree folder (default ROOT/NAME, e.g. %s/realistic-5000)" % DEFAULT_ROOT)
        p.add_argument("--root", default=DEFAULT_ROOT, help="parent of default tree folders (default %(default)s)")
        p.add_argument("--seed", type=int, default=1, help="seed (default %(default)s)")
        p.add_argument("--force", action="store_true", help="regenerate even if up to date")

    p = sub.add_parser("realistic", help="home-folder-like tree")
    p.add_argument("--files", type=int, default=5000, help="number of files (default %(default)s)")
    common(p)
    p = sub.add_parser("tail4k", help="files equal except for their last 4 KiB")
    p.add_argument("--files", type=int, default=2000, help="number of files (default %(default)s)")
    p.add_argument("--size", type=int, default=64 * KiB, help="file size in bytes (default %(default)s)")
    p.add_argument("--tail", type=int, default=4 * KiB, help="unique tail in bytes (default %(default)s)")
    common(p)
    p = sub.add_parser("bigfiles", help="big files differing in one byte")
    p.add_argument("--min-mb", type=int, default=50, help="smallest size in MB (default %(default)s)")
    p.add_argument("--max-mb", type=int, default=200, help="largest size in MB (default %(default)s)")
    common(p)
    return ap


def main(argv=None):
    args = build_parser().parse_args(argv)
    if args.kind == "tail4k" and not (8 <= args.tail <= args.size):
        sys.exit("gen_tree: need 8 <= --tail <= --size")
    if args.kind == "realistic" and args.files < 10:
        sys.exit("gen_tree: need --files >= 10")
    print(generate(args))


if __name__ == "__main__":
    main()
