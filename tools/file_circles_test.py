#!/usr/bin/env python3
"""Tests of file_circles.py on small trees of files written for each case."""

import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import file_circles  # noqa: E402


class FileCirclesTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.root = self.temp.name

    def tearDown(self):
        self.temp.cleanup()

    def write(self, files):
        for path, text in files.items():
            full = os.path.join(self.root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as out:
                out.write(text)

    def circles(self, folder, members=True):
        checked = file_circles.Folder(os.path.join(self.root, folder), self.root, members)
        return file_circles.circles(checked.graph())

    def test_finds_the_circles_of_includes_and_nothing_else(self):
        cases = [
            ("headers that include each other", {
                "m/a.h": '#include "m/b.h"\n',
                "m/b.h": '#include "m/a.h"\n',
            }, [["a", "b", "a"]]),
            ("a source file that includes the header of a module that includes its own", {
                "m/a.h": "",
                "m/a.cpp": '#include "m/a.h"\n#include "m/b.h"\n',
                "m/b.h": "",
                "m/b.cpp": '#include "m/b.h"\n#include "m/a.h"\n',
            }, [["a", "b", "a"]]),
            ("an include beside the file, without the folder", {
                "m/a.cpp": '#include "b.h"\n',
                "m/b.cpp": '#include "m/a.h"\n',
                "m/a.h": "",
                "m/b.h": "",
            }, [["a", "b", "a"]]),
            ("a chain, system headers and headers that are not there", {
                "m/a.cpp": '#include "m/b.h"\n#include <m/c.h>\n#include "m/generated.h"\n',
                "m/b.h": '#include "m/c.h"\n',
                "m/c.h": "#include <vector>\n",
                "m/c.cpp": '#include "m/c.h"\n#include <m/a.h>\n',
                "m/a.h": "",
            }, []),
            ("every circle once, from its smallest module", {
                "m/a.h": '#include "m/b.h"\n',
                "m/b.h": '#include "m/a.h"\n#include "m/c.h"\n',
                "m/c.h": '#include "m/a.h"\n#include "m/b.h"\n',
            }, [["a", "b", "a"], ["a", "b", "c", "a"], ["b", "c", "b"]]),
        ]
        top = self.root
        for number, (name, files, expected) in enumerate(cases):
            with self.subTest(name):
                self.root = os.path.join(top, str(number))
                self.write(files)
                self.assertEqual(sorted(self.circles("m")), expected)

    def test_a_system_specific_header_belongs_to_its_module(self):
        self.write({
            "m/a.cpp": '#include "m/b_posix.h"\n',
            "m/b.cpp": '#include "m/a.h"\n',
            "m/a.h": "",
            "m/b_posix.h": "",
        })
        self.assertEqual(self.circles("m"), [["a", "b", "a"]])

    def test_a_header_outside_the_folder_belongs_to_the_module_that_defines_it(self):
        # p/posix/file.cpp defines what p/file.h declares; p/posix/trash.cpp includes p/file.h
        # and p/posix/file_posix.h includes p/posix/trash_posix.h.
        self.write({
            "p/file.h": "",
            "p/trash.h": "",
            "p/posix/file.cpp": '#include "p/file.h"\n#include "p/posix/file_posix.h"\n',
            "p/posix/file_posix.h": '#include "p/posix/trash_posix.h"\n',
            "p/posix/trash.cpp": '#include "p/trash.h"\n#include "p/file.h"\n',
            "p/posix/trash_posix.h": '#include "p/trash.h"\n',
        })
        self.assertEqual(self.circles("p/posix"), [["file", "trash", "file"]])
        # Seen from p/, the same headers are modules of their own without a circle.
        self.assertEqual(self.circles("p"), [])

    def test_a_class_defined_over_the_files_of_two_modules_makes_a_circle(self):
        self.write({
            "m/form.h": "class Form : public QWidget {\n  void Load();\n};\n",
            "m/form.cpp": '#include "m/form.h"\nvoid Form::Show() {}\n',
            "m/load.cpp": '#include "m/form.h"\n\nvoid Form::Load() {\n  Show();\n}\n',
            "m/other.h": "class Form;\nstruct Helper {\n};\n",
            "m/other.cpp": '#include "m/other.h"\n#include "m/form.h"\n'
                           "void Helper::Run() { Form::Static(); }\n",
        })
        self.assertEqual(self.circles("m"), [["form", "load", "form"]])
        self.assertEqual(self.circles("m", members=False), [])

    def test_exit_status_and_report_name_the_includes(self):
        self.write({
            "m/a.h": '#include "m/b.h"\n',
            "m/b.h": '#include "m/a.h"\n',
            "n/c.h": '#include "m/a.h"\n',
        })
        out = io.StringIO()
        stdout, sys.stdout = sys.stdout, out
        try:
            failed = file_circles.main(["--root", self.root, os.path.join(self.root, "m")])
            clean = file_circles.main(["--root", self.root, os.path.join(self.root, "n")])
        finally:
            sys.stdout = stdout
        self.assertEqual((failed, clean), (1, 0))
        self.assertIn("a -> b -> a", out.getvalue())
        self.assertIn("m/a.h includes m/b.h", out.getvalue())
        self.assertIn("m/b.h includes m/a.h", out.getvalue())


if __name__ == "__main__":
    unittest.main()
