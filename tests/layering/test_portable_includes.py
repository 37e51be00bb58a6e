#!/usr/bin/env python3
"""The portable-include check, against small planted source trees."""

import contextlib
import io
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check_portable_includes.py"
sys.path.insert(0, str(SCRIPT.parent))
import check_portable_includes as check  # noqa: E402

# (file under the root, its line, reported?)
CASES = [
    ("src/wizard/a.cpp", "#include <windows.h>", True),
    ("src/wizard/a.cpp", "#include <Windows.h>", True),
    ("src/base/a.h", '#include "windows.h"', True),
    ("src/host/a.cpp", "  #  include <shlobj.h>", True),
    ("src/host/a.cpp", "#include <aclapi.h>", True),
    ("src/package/a.c", "#include <io.h>", True),
    ("src/lang/a.cpp", "#include <winreg.h>", True),
    ("src/host/win32/a.cpp", "#include <windows.h>", False),
    ("src/toolkit/win32/sub/a.h", "#include <commctrl.h>", False),
    ("src/host/win32x/a.cpp", "#include <windows.h>", True),
    ("src/host/a.cpp", '#include "host/windows_version.h"', False),
    ("src/host/a.cpp", "// #include <windows.h>", False),
    ("src/wizard/a.txt", "#include <windows.h>", False),
    ("app/installer/a.cpp", "#include <windows.h>", False),
    ("src/win32/a.h", "#include <windows.h>", False),
    ("src/toolkit/win32/a.cpp", '#include "host/win32/unique_handle.h"', True),
    ("src/toolkit/win32/a.cpp", '#include "host/host.h"', False),
    ("src/host/win32/a.cpp", '#include "host/win32/final_path.h"', False),
]


def plant(root, rel, line):
    path = root / rel
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("#include <string>\n" + line + "\n")
    (root / "src").mkdir(exist_ok=True)


class PortableIncludeCheck(unittest.TestCase):
    def test_cases(self):
        for rel, line, reported in CASES:
            with self.subTest(file=rel, line=line), tempfile.TemporaryDirectory() as tmp:
                root = pathlib.Path(tmp)
                plant(root, rel, line)
                found = list(check.offending_includes(root))
                self.assertEqual([f[:2] for f in found], [(rel, 2)] if reported else [])
                out = io.StringIO()
                with contextlib.redirect_stdout(out):
                    status = check.main(["check", tmp])
                self.assertEqual(status, 1 if reported else 0, out.getvalue())
                if reported:
                    self.assertIn(f"{rel}:2:", out.getvalue())

    def test_a_root_without_src_is_a_clear_error(self):
        with tempfile.TemporaryDirectory() as tmp:
            run = subprocess.run([sys.executable, str(SCRIPT), tmp], capture_output=True,
                                 text=True, check=False)
            self.assertEqual(run.returncode, 2)
            self.assertIn("is not a folder", run.stderr)


if __name__ == "__main__":
    unittest.main()
