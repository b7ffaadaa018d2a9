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
  photos --files N      a photo library (default 5000 files, ~19.5 GB):
                        YYYY/YYYY-MM-DD/ folders of 1..10 MB photos that all
                        start with the same 2 KiB camera header, 15% of the
                        files copies in other folders (backups, albums,
                        second imports), some renamed "IMG_1234 (1).JPG".
  videos --files N      videos of 0.5..2 GB (default 24 files, ~30 GB):
                        identical copies, and same-size twins that differ
                        only in the byte 100 bytes before the end.
  (photos and videos take --scale F to multiply the file sizes by F.)
  copies --files N --mb M
                        N identical files of M MB (one group) in folders of
                        at most 50: a finder must read every byte of every
                        copy, and many at once.

Next to the tree DIR it writes DIR.manifest.json (outside the tree, so it
is not scanned) with the parameters and the expected duplicate groups
(non-empty files only, paths relative to DIR).  A tree whose manifest
matches the requested parameters is not generated again; use --force to
rebuild.  The generator only ever deletes a folder that it made itself
(one that has a manifest) or, with --force, an existing folder.

The trees contain no hard links and no symlinks.
"""

import argparse
import datetime
import hashlib
import itertools
import json
import math
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


def pool_pieces(pool, rng, n, piece=4 * MiB):
    """n bytes cut from the pool (a memoryview) at random offsets, piece
    bytes at a time: random-looking bodies at the speed of a memory copy."""
    span = len(pool) - piece
    while n > 0:
        k = min(piece, n)
        off = rng.randrange(span)
        yield pool[off: off + k]
        n -= k


def log_uniform(rng, lo, hi):
    return int(math.exp(rng.uniform(math.log(lo), math.log(hi))))


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

    def write_stream(self, rel, pieces, key, mtime_offset=0):
        """Write a file from an iterable of bytes-like pieces (large ones:
        each is one write call)."""
        path = os.path.join(self.out, rel)
        size = 0
        with open(path, "wb", buffering=0) as f:
            for piece in pieces:
                f.write(piece)
                size += len(piece)
        t = self.base_mtime + mtime_offset
        os.utime(path, (t, t))
        self.files.append((rel, size, key))
        self.bytes += size

    def copy(self, src_rel, rel, key, patches=(), mtime_offset=0):
        """Copy a file already written (the kernel copies the bytes); the
        bytes at the positions in patches are then inverted in the copy."""
        path = os.path.join(self.out, rel)
        shutil.copyfile(os.path.join(self.out, src_rel), path)
        if patches:
            with open(path, "r+b", buffering=0) as f:
                for p in patches:
                    f.seek(p)
                    b = f.read(1)
                    f.seek(p)
                    f.write(bytes([b[0] ^ 0xFF]))
        size = os.stat(path).st_size
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
# photos

PHOTO_HEADER_SIZE = 2 * KiB
PHOTO_ALBUMS = [
    "Holiday 2019", "Wedding", "Best of 2021", "Kids", "Garden", "Paris trip",
    "Für Oma", "写真 Tokyo", "Print order", "Calendar 2024", "Éclairs & co",
]
PHOTO_IMPORTS = ["iPhone", "SD card", "Pixel", "old laptop"]


class Names:
    """Keeps file names unique within each folder: a name already taken gets
    " (2)", " (3)", ... before its extension."""

    def __init__(self):
        self.taken = {}

    def unique(self, d, name):
        taken = self.taken.setdefault(d, set())
        stem, ext = split_ext(name)
        cand = name
        i = 2
        while cand in taken:
            cand = "%s (%d)%s" % (stem, i, ext)
            i += 1
        taken.add(cand)
        return cand

    def folders(self):
        return sorted(self.taken)


def camera_header(rng):
    """The first 2 KiB that every photo of the library shares: a JPEG/Exif
    start and the camera's fixed maker block."""
    head = b"\xff\xd8\xff\xe1\x07\xfeExif\x00\x00MM\x00\x2a\x00\x00\x00\x08"
    return head + rng.randbytes(PHOTO_HEADER_SIZE - len(head))


def gen_photos(out, n_files, seed, scale):
    rng = random.Random("photos:%d:%d:%r" % (seed, n_files, scale))
    pool = memoryview(make_pool(rng, 68 * MiB))
    header = camera_header(rng)
    lo, hi = 1_000_000 * scale, 10_000_000 * scale
    w = Writer(out, base_mtime=0)  # mtimes are given as they are
    n_copies = round(0.15 * n_files)
    n_orig = n_files - n_copies

    # ---- shooting days from 2015 to 2024, about 25 photos a day, some busier
    first = datetime.date(2015, 1, 1).toordinal()
    n_span = datetime.date(2024, 12, 31).toordinal() - first + 1
    n_days = max(1, min(n_span, n_orig // 25))
    days = [datetime.date.fromordinal(first + k) for k in sorted(rng.sample(range(n_span), n_days))]
    weights = [rng.choice((1, 1, 1, 2, 3, 8)) for _ in days]
    per_day = [0] * n_days
    for k in rng.choices(range(n_days), weights, k=n_orig):
        per_day[k] += 1
    epoch = datetime.date(1970, 1, 1).toordinal()

    names = Names()
    # ---- originals: (dir, name, size, body seed, mtime); content number = index
    counters = {"IMG": rng.randrange(1, 10000), "DSC": rng.randrange(1, 10000)}
    originals = []
    for day, count in zip(days, per_day):
        d = "%04d/%s" % (day.year, day.isoformat())
        device = rng.choices(("IMG", "DSC", "PXL"), (6, 3, 2))[0]
        t = rng.randrange(8 * 3600, 18 * 3600)
        for _ in range(count):
            t = min(t + rng.randrange(5, 900), 86399)
            if device == "PXL":
                name = "PXL_%s_%02d%02d%02d%03d.jpg" % (day.strftime("%Y%m%d"), t // 3600,
                                                       t // 60 % 60, t % 60, rng.randrange(1000))
            else:
                name = "%s_%04d.JPG" % (device, counters[device])
                counters[device] = counters[device] % 9999 + 1
            size = log_uniform(rng, lo, hi)
            mtime = (day.toordinal() - epoch) * 86400 + t
            originals.append((d, names.unique(d, name), size, rng.getrandbits(64), mtime))
    day_dirs = sorted({o[0] for o in originals})

    # ---- copies in other folders, some renamed; a few photos copied twice
    copies = []  # (dir, name, content number, mtime)
    while len(copies) < n_copies:
        src = rng.randrange(n_orig)
        d0, name0, _, _, mtime0 = originals[src]
        stem, ext = split_ext(name0)
        k = 1 if rng.random() < 0.8 else 2
        for _ in range(min(k, n_copies - len(copies))):
            r = rng.random()
            renamed = "%s (1)%s" % (stem, ext)
            if r < 0.35 and len(day_dirs) > 1:
                # imported twice, the second time under another day
                d = rng.choice(day_dirs)
                while d == d0:
                    d = rng.choice(day_dirs)
                name = name0 if rng.random() < 0.4 else renamed
            elif r < 0.65:
                d = "Backup/" + d0  # a backup of the day's folder
                name = name0
            elif r < 0.85:
                d = "Albums/" + rng.choice(PHOTO_ALBUMS)
                name = name0 if rng.random() < 0.5 else renamed
            else:
                when = datetime.date.fromordinal(epoch + mtime0 // 86400 + rng.randrange(1, 60))
                d = "Imports/%s %s" % (when.isoformat(), rng.choice(PHOTO_IMPORTS))
                name = name0 if rng.random() < 0.7 else renamed
            copies.append((d, names.unique(d, name), src, mtime0 + rng.randrange(0, 30 * 86400)))

    # ---- write: originals, then the copies (copied by the kernel), in path order
    for d in names.folders():
        os.makedirs(os.path.join(out, d), exist_ok=True)
    for cid in sorted(range(n_orig), key=lambda i: originals[i][:2]):
        d, name, size, body_seed, mtime = originals[cid]
        head = header + stamp(cid)
        body = pool_pieces(pool, random.Random(body_seed), size - len(head))
        w.write_stream(d + "/" + name, itertools.chain((head,), body), ("photo", cid), mtime)
    for d, name, cid, mtime in sorted(copies):
        src = originals[cid]
        w.copy(src[0] + "/" + src[1], d + "/" + name, ("photo", cid), mtime_offset=mtime)
    return w, {"folders": len(names.folders())}, hashlib.sha256(pool).digest() + header


# ---------------------------------------------------------------------------
# videos

# Families of videos of one size, repeated in this order until there are
# enough files (the last one cut short).  A member is a list of changes to
# the family's content: [] is the content itself, ["T"] the content with the
# byte VIDEO_TAIL bytes before the end inverted.  Equal lists are copies.
VIDEO_FAMILIES = [
    ("copies-and-tail", [[], [], ["T"]]),
    ("tail-pair", [[], ["T"]]),
    ("single", [[]]),
    ("copy-pair", [[], []]),
    ("tail-copies", [[], ["T"], ["T"]]),
    ("single", [[]]),
]
VIDEO_TAIL = 100


def gen_videos(out, n_files, seed, scale):
    rng = random.Random("videos:%d:%d:%r" % (seed, n_files, scale))
    pool = memoryview(make_pool(rng, 68 * MiB))
    lo, hi = int(500_000_000 * scale), int(2_000_000_000 * scale)
    ftyp = b"\x00\x00\x00\x20ftypisom\x00\x00\x02\x00isomiso2avc1mp41"
    w = Writer(out, base_mtime=1_560_000_000)
    names = Names()
    used_sizes = set()
    seq = 0
    left = n_files
    fam_no = 0
    while left > 0:
        _, members = VIDEO_FAMILIES[fam_no % len(VIDEO_FAMILIES)]
        members = members[:left]
        left -= len(members)
        while True:
            size = rng.randrange(lo, hi + 1)
            if size not in used_sizes:
                used_sizes.add(size)
                break
        year = rng.randrange(2016, 2025)
        style = rng.randrange(3)
        if style == 0:
            stem, ext = "VID_%d%02d%02d_%06d" % (year, rng.randrange(1, 13), rng.randrange(1, 29),
                                                 rng.randrange(80000, 220000)), ".mp4"
        elif style == 1:
            stem, ext = "GX01%04d" % rng.randrange(10000), ".MP4"
        else:
            stem, ext = "MVI_%04d" % rng.randrange(10000), ".MOV"
        home = "Camera/%d" % year
        base_rel = None
        for m_no, changes in enumerate(members):
            pos = [size - VIDEO_TAIL for _ in changes]
            key = ("video", fam_no, tuple(pos))
            if m_no == 0:
                d, name = home, stem + ext
            else:
                r = rng.random()
                if changes:  # an edited or re-tagged copy
                    d, name = (("Edits", stem + "_edit" + ext) if r < 0.5
                               else ("Backup/" + home, stem + ext))
                elif r < 0.4:
                    d, name = "Backup/" + home, stem + ext
                elif r < 0.7:
                    d, name = "Phone/DCIM/Camera", stem + ext
                else:
                    d, name = "Exports", "%s (%d)%s" % (stem, m_no, ext)
            os.makedirs(os.path.join(out, d), exist_ok=True)
            rel = "%s/%s" % (d, names.unique(d, name))
            if base_rel is None:
                head = ftyp + stamp(fam_no)
                body = pool_pieces(pool, random.Random(rng.getrandbits(64)), size - len(head))
                w.write_stream(rel, itertools.chain((head,), body), key, seq)
                base_rel = rel
            else:
                w.copy(base_rel, rel, key, patches=pos, mtime_offset=seq)
            seq += 1
        fam_no += 1
    return w, {"folders": len(names.folders())}, hashlib.sha256(pool).digest()


# ---------------------------------------------------------------------------
# copies


def gen_copies(out, n_files, mb, seed):
    rng = random.Random("copies:%d:%d:%d" % (seed, n_files, mb))
    pool = memoryview(make_pool(rng, 68 * MiB))
    size = mb * 1_000_000
    w = Writer(out, base_mtime=1_620_000_000)
    per_dir = 50
    first = None
    for i in range(n_files):
        d = "set%02d" % (i // per_dir)
        os.makedirs(os.path.join(out, d), exist_ok=True)
        rel = "%s/copy%04d.bin" % (d, i)
        if first is None:
            w.write_stream(rel, pool_pieces(pool, rng, size), ("copy",), i)
            first = rel
        else:
            w.copy(first, rel, ("copy",), mtime_offset=i)
    return w, {"folders": (n_files + per_dir - 1) // per_dir}, hashlib.sha256(pool).digest()


# ---------------------------------------------------------------------------
# driver


def default_name(kind, args):
    if kind in ("realistic", "photos", "videos"):
        name = "%s-%d" % (kind, args.files)
    elif kind == "copies":
        name = "copies-%dx%d" % (args.files, args.mb)
    else:
        name = kind
    if kind in ("photos", "videos") and args.scale != 1:
        name += "-x%g" % args.scale
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
    elif args.kind in ("photos", "videos"):
        p.update(files=args.files, scale=args.scale)
    elif args.kind == "copies":
        p.update(files=args.files, mb=args.mb)
    return p


def estimated_bytes(args):
    """About how much the photos, videos and copies trees take (the mean file
    size times the number of files); None for the others, which are small."""
    if args.kind == "photos":
        return args.files * 9_000_000 / math.log(10) * args.scale  # mean of log-uniform 1..10 MB
    if args.kind == "videos":
        return args.files * 1_250_000_000 * args.scale
    if args.kind == "copies":
        return args.files * args.mb * 1_000_000
    return None


def check_args(args):
    """Exit with a message when the options cannot make a tree."""
    if args.kind == "tail4k" and not (8 <= args.tail <= args.size):
        sys.exit("gen_tree: need 8 <= --tail <= --size")
    if args.kind == "realistic" and args.files < 10:
        sys.exit("gen_tree: need --files >= 10")
    if args.kind in ("photos", "videos") and args.files < 1:
        sys.exit("gen_tree: need --files >= 1")
    if args.kind == "copies" and (args.files < 2 or args.mb < 1):
        sys.exit("gen_tree: need --files >= 2 and --mb >= 1")
    # the smallest photo must hold the camera header and the photo's number
    if args.kind == "photos" and not 0.005 <= args.scale <= 100:
        sys.exit("gen_tree: need 0.005 <= --scale <= 100 for photos")
    if args.kind == "videos" and not 0.00001 <= args.scale <= 10:
        sys.exit("gen_tree: need 0.00001 <= --scale <= 10 for videos")


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
    check_args(args)
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
    need = estimated_bytes(args)
    if need:
        free = shutil.disk_usage(out).free
        if free < need * 1.05 + 1e9:
            os.rmdir(out)
            sys.exit("gen_tree: %s needs about %.1f GB and only %.1f GB are free there; "
                     "use --root elsewhere, fewer --files or a --scale below 1"
                     % (out, need / 1e9, free / 1e9))
    log("gen_tree: generating %s into %s" % (json.dumps(params), out))
    t0 = time.monotonic()
    if args.kind == "realistic":
        w, extra, pool_digest = gen_realistic(out, args.files, args.seed)
    elif args.kind == "tail4k":
        w, extra, pool_digest = gen_tail4k(out, args.files, args.size, args.tail, args.seed)
    elif args.kind == "photos":
        w, extra, pool_digest = gen_photos(out, args.files, args.seed, args.scale)
    elif args.kind == "videos":
        w, extra, pool_digest = gen_videos(out, args.files, args.seed, args.scale)
    elif args.kind == "copies":
        w, extra, pool_digest = gen_copies(out, args.files, args.mb, args.seed)
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
    log("gen_tree: %d files in %d folders, %.1f MB, %d expected groups (%d files), "
        "%.1f s (%.0f MB/s)" %
        (man["files"], man["folders"], man["bytes"] / 1e6, man["expected_groups"],
         man["expected_files_in_groups"], dt, man["bytes"] / 1e6 / max(dt, 1e-3)))
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

    def scaled(p):
        """The media trees' options: --scale, then the common ones."""
        p.add_argument("--scale", type=float, default=1.0,
                       help="multiply the file sizes by this, e.g. 0.01 for a quick try "
                       "(default %(default)s)")
        common(p)

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
    p = sub.add_parser("photos", help="photo library: 1..10 MB photos sharing a camera header, "
                       "15%% copies")
    p.add_argument("--files", type=int, default=5000, help="number of files, copies included "
                   "(default %(default)s: about 19.5 GB)")
    scaled(p)
    p = sub.add_parser("videos", help="0.5..2 GB videos: copies, and same-size twins differing "
                       "%d bytes before the end" % VIDEO_TAIL)
    p.add_argument("--files", type=int, default=24, help="number of files (default %(default)s: "
                   "about 30 GB; 1.25 GB a file on average)")
    scaled(p)
    p = sub.add_parser("copies", help="many identical large files")
    p.add_argument("--files", type=int, default=300, help="number of copies (default %(default)s)")
    p.add_argument("--mb", type=int, default=20, help="size of each in MB (default %(default)s)")
    common(p)
    return ap


def main(argv=None):
    args = build_parser().parse_args(argv)
    print(generate(args))


if __name__ == "__main__":
    main()
