#!/usr/bin/env python3
"""Fails when portable code includes a Windows header, or one Win32 backend another's header.

Everything under src/ is portable except the two Win32 backends, src/host/win32 and
src/toolkit/win32, and what both share below them, src/win32. The toolkit's backend reaches
the file system only through the host's interface: nothing in src/toolkit/win32 includes a
header of src/host/win32. A Windows header is one of WINDOWS_HEADERS below: <windows.h> and the
rest of the win*.h family, the shell, COM, security and common-control headers of the
Windows SDK, and the Microsoft C run-time's own headers (<io.h>, <direct.h>, <tchar.h>).
Names compare without case, as they do on Windows; quoted includes count as well as angled
ones. Project headers such as "host/windows_version.h" are not Windows headers.

Usage: check_portable_includes.py SOURCE_ROOT   (the folder that holds src/)
Prints one line per offending include and exits 1; exits 0 when there is none.
"""

import pathlib
import re
import sys

BACKENDS = ("src/host/win32", "src/toolkit/win32", "src/win32")
# (folder, include prefix it may not use)
SIDEWAYS = (("src/toolkit/win32", "host/win32/"),)
SOURCE_SUFFIXES = {".h", ".hpp", ".c", ".cc", ".cpp", ".inc", ".ipp"}

WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "windef.h", "winbase.h", "wincon.h", "wincrypt.h", "winerror.h",
    "wingdi.h", "winhttp.h", "wininet.h", "winioctl.h", "winnetwk.h", "winnls.h", "winnt.h",
    "winreg.h", "winsock.h", "winsock2.h", "winspool.h", "winsvc.h", "winternl.h", "wintrust.h",
    "winuser.h", "winver.h",
    "accctrl.h", "aclapi.h", "commctrl.h", "commdlg.h", "dbghelp.h", "exdisp.h", "knownfolders.h",
    "lmcons.h", "mmsystem.h", "ntsecapi.h", "objbase.h", "objidl.h", "ole2.h", "oleauto.h",
    "propidl.h", "psapi.h", "richedit.h", "sddl.h", "securitybaseapi.h", "servprov.h",
    "shellapi.h", "shldisp.h", "shlguid.h", "shlobj.h", "shlobj_core.h", "shlwapi.h",
    "shobjidl.h", "softpub.h", "tlhelp32.h", "unknwn.h", "userenv.h", "uxtheme.h", "wtsapi32.h",
    # Microsoft C run-time headers.
    "direct.h", "io.h", "tchar.h",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def is_windows_header(name):
    return name.replace("\\", "/").lower() in WINDOWS_HEADERS


def offending_includes(root):
    """Yields (relative path, line number, header, rule) for each forbidden include."""
    src = root / "src"
    if not src.is_dir():
        raise FileNotFoundError(f"{src} is not a folder: give the folder that holds src/")
    for path in sorted(src.rglob("*")):
        rel = path.relative_to(root).as_posix()
        if not path.is_file() or path.suffix not in SOURCE_SUFFIXES:
            continue
        portable = not any(rel.startswith(backend + "/") for backend in BACKENDS)
        barred = [prefix for folder, prefix in SIDEWAYS if rel.startswith(folder + "/")]
        if not portable and not barred:
            continue
        text = path.read_text(encoding="latin-1")
        for number, line in enumerate(text.splitlines(), start=1):
            match = INCLUDE.match(line)
            header = match.group(1) if match else ""
            if portable and is_windows_header(header):
                yield rel, number, header, "only " + " and ".join(BACKENDS) + " may"
            elif any(header.replace("\\", "/").startswith(prefix) for prefix in barred):
                yield rel, number, header, "the Win32 backends share only src/win32"


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    try:
        found = list(offending_includes(pathlib.Path(argv[1])))
    except FileNotFoundError as error:
        print(f"check_portable_includes: {error}", file=sys.stderr)
        return 2
    for rel, number, header, rule in found:
        print(f"{rel}:{number}: includes <{header}>; {rule}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
