#!/usr/bin/env python3
"""Fails unless every DLL a program imports is a system DLL (static run-time, static zlib)."""

import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "comctl32.dll", "comdlg32.dll", "msvcrt.dll", "mpr.dll", "shlwapi.dll", "oleaut32.dll",
    "uxtheme.dll",
}


def imports(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True,
                         capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines() if "DLL Name:" in line]


def main():
    failed = False
    for exe in sys.argv[1:]:
        names = imports(exe)
        foreign = [n for n in names if n.lower() not in SYSTEM_DLLS]
        print(f"{exe}: imports {', '.join(names)}")
        if not names:
            print(f"{exe}: no import table found")
            failed = True
        if foreign:
            print(f"{exe}: not system DLLs: {', '.join(foreign)}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
