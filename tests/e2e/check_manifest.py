#!/usr/bin/env python3
"""Reads the application manifest resource out of a built program and checks what it asks for.

    check_manifest.py EXE...

Fails unless the manifest (resource type 24, id 1) asks to run with the user's highest
rights without UI access, and names Windows 7, 8, 8.1 and 10/11 as supported.
"""

import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
RESOURCE_DIRECTORY = 2
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10/11",
}
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        sections, self.time_stamp, optional_size = struct.unpack_from("<HI8xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva, _ = struct.unpack_from("<II", data, directories + 8 * RESOURCE_DIRECTORY)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def entries(self, directory_rva):
        """(id, is_directory, rva) of each entry of a resource directory."""
        at = self.offset(directory_rva)
        named, numbered = struct.unpack_from("<12xHH", self.data, at)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
            is_directory = bool(target & 0x80000000)
            yield name, is_directory, self.resource_rva + (target & 0x7FFFFFFF)

    def resource(self, type_id, name_id):
        if self.resource_rva == 0:
            return None
        for tid, is_dir, rva in self.entries(self.resource_rva):
            if tid != type_id or not is_dir:
                continue
            for nid, is_dir2, rva2 in self.entries(rva):
                if nid != name_id or not is_dir2:
                    continue
                for _, _, leaf in self.entries(rva2):
                    data_rva, size = struct.unpack_from("<II", self.data, self.offset(leaf))
                    start = self.offset(data_rva)
                    return self.data[start:start + size]
        return None


def check(path):
    problems = []
    manifest = PeImage(open(path, "rb").read()).resource(RT_MANIFEST, 1)
    if manifest is None:
        return ["no manifest resource (type 24, id 1)"]
    root = ElementTree.fromstring(manifest)
    levels = root.findall(f".//{ASM_V3}requestedExecutionLevel")
    if len(levels) != 1:
        problems.append(f"{len(levels)} requestedExecutionLevel elements")
    else:
        if levels[0].get("level") != "highestAvailable":
            problems.append(f"execution level {levels[0].get('level')!r}")
        if levels[0].get("uiAccess") != "false":
            problems.append(f"uiAccess {levels[0].get('uiAccess')!r}")
    named = {e.get("Id", "").lower() for e in root.findall(f".//{COMPAT}supportedOS")}
    for guid, system in SUPPORTED_OS.items():
        if guid not in named:
            problems.append(f"{system} not named as supported")
    return problems


def main():
    failed = False
    for path in sys.argv[1:]:
        problems = check(path)
        print(f"{path}: {'manifest ok' if not problems else '; '.join(problems)}")
        failed = failed or bool(problems)
    return 1 if failed or len(sys.argv) < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
