#!/usr/bin/env python3
"""Runs a Windows test program under the private Wine environment; passes its output and exit code.

    run_windows_test.py [--version win98|winxp|win10|...] EXE [ARGS...]

--version makes Wine report that Windows version to this program only (AppDefaults).
"""

import argparse
import sys
from pathlib import Path

from harness import Wine


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version")
    parser.add_argument("exe")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    wine = Wine()
    exe = Path(options.exe)
    key = rf"HKCU\Software\Wine\AppDefaults\{exe.name}"
    if options.version:
        wine.reg_add(key, "Version", options.version)
    try:
        proc = wine.run([exe, *options.args], check=False, timeout=300)
    finally:
        if options.version:
            wine.reg_delete_key(key)
    sys.stdout.write(proc.stdout.decode("cp1252", errors="replace"))
    sys.stderr.write(proc.stderr.decode("cp1252", errors="replace"))
    return proc.returncode


if __name__ == "__main__":
    sys.exit(main())
