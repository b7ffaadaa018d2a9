#!/usr/bin/env python3
"""Finds circles of files that include each other, folder by folder.

For each folder given, the files in it make modules: X.h, X.cpp and the system-specific headers
beside them (X_posix.h, X_win32.h) are one module, X. A header elsewhere that a file of X includes
and that has the same name as X (platform/trash.h for platform/posix/trash.cpp) is X's interface
and belongs to X as well. Module A depends on module B when a file of A includes a header of B,
and also when A's header declares a class whose member functions a file of B defines: whoever
calls those members through A's header lands in B's code (a class spread over the files of several
modules makes them call each other).

Quoted includes are resolved as the build resolves them: first beside the including file, then
under the include root (src/, so "platform/posix/trash_posix.h"). Angle-bracket includes and
headers that are not found (generated ones) are ignored.

Every circle (A -> B -> ... -> A) is printed with the includes that make each step; the exit
status is 1 when there is one, 0 otherwise, 2 on bad arguments.

Usage: tools/file_circles.py [--root SRC] [--includes-only] FOLDER...
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
# A class or struct with a body (not a mention or a forward declaration).
CLASS = re.compile(r'^\s*(?:class|struct)\s+(?:\w+\s+)?(\w+)\s*(?:final\s*)?[:{]', re.MULTILINE)
# A member function defined outside its class, at the start of a line: "void Name::Member(".
MEMBER = re.compile(r'^[A-Za-z_][^;{}()\n]*?\b(\w+)::(~?\w+)\s*\(', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
SYSTEM_SUFFIXES = ("_posix", "_win32")


def module_name(file_name):
    """The module that a file of the folder belongs to: its name without extension or system
    suffix."""
    stem = os.path.splitext(file_name)[0]
    for suffix in SYSTEM_SUFFIXES:
        if stem.endswith(suffix) and len(stem) > len(suffix):
            return stem[: -len(suffix)]
    return stem


def read(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        return source.read()


def quoted_includes(path):
    return INCLUDE.findall(read(path))


def resolve(include, including_file, root):
    """The real path of the header that `include` names in `including_file`, or None."""
    for base in (os.path.dirname(including_file), root):
        candidate = os.path.join(base, include)
        if os.path.isfile(candidate):
            return os.path.realpath(candidate)
    return None


def is_header(path):
    return os.path.splitext(path)[1] in (".h", ".hpp")


class Folder:
    """The modules of one folder and the includes between them."""

    def __init__(self, folder, root, members=True):
        self.folder = os.path.realpath(folder)
        self.root = os.path.realpath(root)
        # file -> module, and for every module its files in a fixed order
        self.module_of = {}
        self.files = {}
        for name in sorted(os.listdir(self.folder)):
            path = os.path.join(self.folder, name)
            if os.path.isfile(path) and name.endswith(SOURCE_SUFFIXES):
                self.add(path, module_name(name))
        self.adopt_interfaces()
        # (module, module) -> the first (including file, included header) that makes the edge
        self.edges = {}
        for module in sorted(self.files):
            for path in self.files[module]:
                for header in self.headers_included(path):
                    target = self.module_of.get(header)
                    if target is not None and target != module:
                        self.edges.setdefault((module, target), (path, "includes", header))
        if members:
            self.add_member_definitions()

    def add(self, path, module):
        self.module_of[path] = module
        self.files.setdefault(module, []).append(path)

    def headers_included(self, path):
        for include in quoted_includes(path):
            header = resolve(include, path, self.root)
            if header is not None and is_header(header):
                yield header

    def adopt_interfaces(self):
        """Headers outside the folder that declare what a module here defines: included by one of
        its files and named like it."""
        for module, paths in sorted(self.files.items()):
            for path in list(paths):
                for header in self.headers_included(path):
                    if header not in self.module_of and module_name(
                            os.path.basename(header)) == module:
                        self.add(header, module)

    def add_member_definitions(self):
        """Edges from the module that declares a class to the modules that define its members."""
        declared = {}
        for module in sorted(self.files):
            for path in self.files[module]:
                if is_header(path):
                    for name in CLASS.findall(read(path)):
                        declared.setdefault(name, (module, path))
        for module in sorted(self.files):
            for path in self.files[module]:
                if is_header(path):
                    continue
                for name, member in MEMBER.findall(read(path)):
                    owner = declared.get(name)
                    if owner is not None and owner[0] != module:
                        self.edges.setdefault(
                            (owner[0], module),
                            (owner[1], "declares %s, whose %s::%s is defined in" % (
                                name, name, member), path))

    def graph(self):
        successors = {module: [] for module in self.files}
        for source, target in sorted(self.edges):
            successors[source].append(target)
        return successors

    def shown(self, path):
        return os.path.relpath(path, self.root)


def strongly_connected(successors):
    """Tarjan's components, each a sorted list; the ones of a single module are left out."""
    index, low, on_stack, stack, components = {}, {}, set(), [], []

    def visit(start):
        work = [(start, iter(successors[start]))]
        index[start] = low[start] = len(index)
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is None:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[node])
                if low[node] == index[node]:
                    component = []
                    while True:
                        member = stack.pop()
                        on_stack.discard(member)
                        component.append(member)
                        if member == node:
                            break
                    if len(component) > 1:
                        components.append(sorted(component))
            elif child not in index:
                index[child] = low[child] = len(index)
                stack.append(child)
                on_stack.add(child)
                work.append((child, iter(successors[child])))
            elif child in on_stack:
                low[node] = min(low[node], index[child])

    for node in sorted(successors):
        if node not in index:
            visit(node)
    return sorted(components)


def circles(successors):
    """Every elementary circle, each once, starting at its smallest module."""
    found = []
    for component in strongly_connected(successors):
        members = set(component)
        for start in component:
            # Circles through `start` over modules that sort after it only: each circle is found
            # from its smallest module alone.
            allowed = {m for m in members if m >= start}
            path = [start]
            work = [iter(sorted(n for n in successors[start] if n in allowed))]
            while work:
                child = next(work[-1], None)
                if child is None:
                    work.pop()
                    path.pop()
                elif child == start:
                    found.append(path + [start])
                elif child not in path:
                    path.append(child)
                    work.append(iter(sorted(n for n in successors[child] if n in allowed)))
    return found


def report(folder, out):
    """Prints the folder's circles; returns how many there are."""
    found = circles(folder.graph())
    name = os.path.relpath(folder.folder)
    if not found:
        print("%s: no circles (%d modules)" % (name, len(folder.files)), file=out)
        return 0
    print("%s: %d circle(s)" % (name, len(found)), file=out)
    for circle in found:
        print("  " + " -> ".join(circle), file=out)
        for source, target in zip(circle, circle[1:]):
            path, how, other = folder.edges[(source, target)]
            print("      %s %s %s" % (folder.shown(path), how, folder.shown(other)), file=out)
    return len(found)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folders", nargs="+", metavar="FOLDER")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), "..", "src"),
                        help="the folder that includes are rooted at (default: src/)")
    parser.add_argument("--includes-only", action="store_true",
                        help="count includes alone, not where a class's members are defined")
    args = parser.parse_args(argv)
    if not os.path.isdir(args.root):
        parser.error("no such folder: %s" % args.root)
    for folder in args.folders:
        if not os.path.isdir(folder):
            parser.error("no such folder: %s" % folder)
    total = sum(report(Folder(folder, args.root, not args.includes_only), sys.stdout) for folder in args.folders)
    return 1 if total else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
