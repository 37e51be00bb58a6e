"""nvpack.exe extract under Wine: an existing name stops it, --force replaces regular files only,
and nothing is written through a link planted in the output folder.

Wine shows a Unix symbolic link to a Windows program as the file it points to, never as a
reparse point, so here a planted link must merely not be written through (--force renames the
new file over the link itself); refusing links and junctions outright is for Windows. Nor can
Wine turn a folder into a mount point; what it can show is that files are named relative to the
held output folder: moved away from Linux (Wine does not stop that) with a new folder put at its
name, the held folder still receives every file.
"""

import os
import re
import selectors
import shutil
import struct
import subprocess
import time
import unittest

from check_manifest import PeImage
from harness import WineTestCase

RT_ICON_GROUP = 14
RT_VERSION = 16

PRODUCT_FILES = ["Sorvelin.exe", "Norvis.exe", "Norvis.hlp", "Norvis_uk.hlp", "brannok.wav",
                 "NV.OBJ", "Deutsch.lng", "English.lng"]


class NvpackExeExtract(WineTestCase):
    def setUp(self):
        super().setUp()
        self.nvpack = self.wine.win_build / "app/nvpack/nvpack.exe"
        self.assertTrue(self.nvpack.is_file(), f"{self.nvpack} not built")
        self.folder = self.wine.drive_c / "nvpack-extract"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        self.addCleanup(shutil.rmtree, self.folder, True)
        product = self.wine.dist / "product"
        self.expected = {name: (product / name).read_bytes() for name in PRODUCT_FILES}
        subprocess.run([str(self.wine.dist / "nvpack"), "build", "--stub",
                        str(self.wine.dist / "Setup-stub.exe"), "--out",
                        str(self.folder / "Setup.exe"), *[str(product / f) for f in PRODUCT_FILES]],
                       check=True, capture_output=True)

    def extract(self, *options):
        proc = self.wine.run([self.nvpack, "extract", *options, "Setup.exe", "out"], check=False,
                             cwd=self.folder)
        return proc.returncode, proc.stderr.decode(errors="replace")

    def plant(self, kind, at):
        if kind == "file":
            at.write_bytes(b"old")
        elif kind == "link":
            os.symlink(self.folder / "secret", at)
        elif kind == "hard link":
            os.link(self.folder / "secret", at)
        elif kind == "folder":
            at.mkdir()

    def test_existing_names_and_planted_links(self):
        cases = [  # planted at NV.OBJ, --force, exit code, text
            (None, False, 0, ""),
            ("file", False, 1, "already exists"),
            ("file", True, 0, ""),
            ("link", False, 1, "already exists"),
            ("link", True, 0, ""),
            ("hard link", True, 0, ""),
            ("folder", True, 1, "is not a regular file"),
        ]
        out = self.folder / "out"
        for kind, force, code, text in cases:
            label = f"{kind}, force={force}"
            shutil.rmtree(out, ignore_errors=True)
            out.mkdir()
            (self.folder / "secret").write_bytes(b"secret")
            if kind:
                self.plant(kind, out / "NV.OBJ")
            returncode, stderr = self.extract(*(["--force"] if force else []))
            self.assertEqual(returncode, code, f"{label}: {stderr}")
            self.assertIn(text, stderr, label)
            self.assertEqual((self.folder / "secret").read_bytes(), b"secret", label)
            if code == 0:
                self.assertEqual(sorted(os.listdir(out)), sorted(PRODUCT_FILES), label)
                for name, data in self.expected.items():
                    self.assertFalse((out / name).is_symlink(), label)
                    self.assertEqual((out / name).read_bytes(), data, label)
            else:
                self.assertIn(r"out\NV.OBJ", stderr, label)

    def test_entry_names_are_judged_in_the_ansi_code_page(self):
        # The bytes A9 F6 are "\u00a9\u00f6" in Windows-1252 and the superscript one in code page
        # 949, Wine's ANSI code page under a Korean locale: there the entry names the port COM1.
        source = self.folder / "names"
        source.mkdir()
        # Named in UTF-8 here; nvpack stores the name in Windows-1252, as the bytes A9 F6.
        (source / "COM\u00a9\u00f6").write_bytes(b"port")
        subprocess.run([str(self.wine.dist / "nvpack"), "build", "--any-files", "--stub",
                        str(self.wine.dist / "Setup-stub.exe"), "--out",
                        str(self.folder / "Names.exe"), *map(str, source.iterdir())],
                       check=True, capture_output=True)
        out = self.folder / "out"
        for locale, code, made, text in [("C.UTF-8", 0, ["COM\u00a9\u00f6"], ""),
                                         ("ko_KR.UTF-8", 1, [], "not a plain file name")]:
            shutil.rmtree(out, ignore_errors=True)
            proc = self.wine.run([self.nvpack, "extract", "Names.exe", "out"], check=False,
                                 cwd=self.folder, env={"LC_ALL": locale})
            stderr = proc.stderr.decode(errors="replace")
            self.assertEqual(proc.returncode, code, f"{locale}: {stderr}")
            self.assertIn(text, stderr, locale)
            self.assertEqual(os.listdir(out), made, locale)

    def test_files_land_in_the_held_folder_after_its_name_is_taken(self):
        probe = self.wine.win_build / "tests/win/package/nv_output_folder_probe.exe"
        self.assertTrue(probe.is_file(), f"{probe} not built")
        held, moved = self.folder / "held", self.folder / "moved"
        held.mkdir()
        (held / "old.bin").write_bytes(b"old")
        proc = subprocess.Popen(["wine", str(probe), "held"], env=self.wine.env, cwd=self.folder,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(read_lines(proc.stdout, 1, 60), ["held"])
            held.rename(moved)
            held.mkdir()
            (held / "old.bin").write_bytes(b"decoy")
            proc.stdin.write(b"go\n")
            proc.stdin.flush()
            created, replaced = read_lines(proc.stdout, 2, 60)
            proc.wait(timeout=60)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
            proc.stdin.close()
            proc.stdout.close()
        # Nothing reached the folder now at the held folder's name.
        self.assertEqual(os.listdir(held), ["old.bin"])
        self.assertEqual((held / "old.bin").read_bytes(), b"decoy")
        self.assertEqual(created, "new.bin: ok")
        self.assertEqual((moved / "new.bin").read_bytes(), b"new")
        # Windows renames relative to the held folder itself. Wine's server carries the rename
        # out on the Unix path it recorded for that folder, which now names the new one, and
        # fails it; the replacement then stops with an error, never lands there.
        if replaced == "old.bin: ok":
            self.assertEqual((moved / "old.bin").read_bytes(), b"replaced")
        else:
            self.assertIn(r"Cannot create", replaced)
            self.assertEqual((moved / "old.bin").read_bytes(), b"old")


def read_lines(stream, count, timeout):
    """The next `count` lines of a program's output, without their ends; fails after `timeout`
    seconds. The program must write nothing more until it is answered."""
    deadline = time.monotonic() + timeout
    data = b""
    with selectors.DefaultSelector() as selector:
        selector.register(stream, selectors.EVENT_READ)
        while data.count(b"\n") < count:
            left = deadline - time.monotonic()
            if left <= 0 or not selector.select(left):
                raise AssertionError(f"no {count} lines within {timeout} s: {data!r}")
            chunk = os.read(stream.fileno(), 4096)
            if not chunk:
                raise AssertionError(f"output ended: {data!r}")
            data += chunk
    return [line.rstrip(b"\r").decode(errors="replace") for line in data.split(b"\n")[:count]]


class SetupStubAsReleased(WineTestCase):
    """What the stub carries into every setup, read back from the built files, and the stubs
    nvpack build takes: a bare stub of this project, nothing else."""

    def test_version_information_and_icon_are_read_back_from_the_stub_and_the_setup(self):
        version = subprocess.run([str(self.wine.dist / "nvpack"), "--version"],
                                 capture_output=True, text=True, check=True).stdout.split()[1]
        for name in ("Setup-stub.exe", "Setup.exe"):
            image = PeImage((self.wine.dist / name).read_bytes())
            info = image.resource(RT_VERSION, 1)
            self.assertIsNotNone(info, name)
            fixed = info.index(struct.pack("<I", 0xFEEF04BD))
            ms, ls = struct.unpack_from("<II", info, fixed + 8)
            self.assertEqual("%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16), version, name)
            strings = info.decode("utf-16-le", errors="replace")
            for key, value in (("CompanyName", "Halvorn"), ("ProductName", "Norvista"),
                               ("FileDescription", "Norvista Setup"), ("FileVersion", version)):
                self.assertRegex(strings, re.escape(key) + "\0+" + re.escape(value) + "\0", name)
            group = image.resource(RT_ICON_GROUP, 1)
            self.assertIsNotNone(group, name)
            (count,) = struct.unpack_from("<H", group, 4)
            sizes = sorted(group[6 + 14 * i] or 256 for i in range(count))
            self.assertEqual(sizes, [16, 32, 48, 256], name)

    def test_only_a_bare_setup_stub_is_taken(self):
        product = self.wine.dist / "product"
        files = [str(product / f) for f in PRODUCT_FILES]
        out = self.scratch_file("Built.exe")
        rows = [  # stub, exit code, text
            (self.wine.dist / "Setup-stub.exe", 0, ""),
            (self.wine.dist / "Setup.exe", 1, "already carries a payload"),
            (self.wine.dist / "nvpack.exe", 1, "not this project's setup stub"),
            (product / "Norvis.exe", 1, "not this project's setup stub"),
        ]
        for stub, code, text in rows:
            result = subprocess.run([str(self.wine.dist / "nvpack"), "build", "--stub", str(stub),
                                     "--out", str(out), *files], capture_output=True, text=True)
            self.assertEqual(result.returncode, code, f"{stub.name}: {result.stderr}")
            self.assertIn(text, result.stderr, stub.name)
            self.assertEqual(out.exists(), code == 0, stub.name)
            if out.exists():
                out.unlink()

    def scratch_file(self, name):
        folder = self.wine.drive_c / "nvpack-stubs"
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir()
        self.addCleanup(shutil.rmtree, folder, True)
        return folder / name


class NamesOutsideAscii(WineTestCase):
    """A name outside ASCII is stored in Windows-1252 by both packers and read back by both."""

    def test_both_packers_store_the_same_bytes_and_each_reads_the_others(self):
        folder = self.wine.drive_c / "nvpack-names"
        shutil.rmtree(folder, ignore_errors=True)
        (folder / "in").mkdir(parents=True)
        self.addCleanup(shutil.rmtree, folder, True)
        (folder / "in" / "\u00dcbersicht.txt").write_bytes(b"overview")
        stub = folder / "stub.exe"
        shutil.copyfile(self.wine.dist / "Setup-stub.exe", stub)
        linux = subprocess.run([str(self.wine.dist / "nvpack"), "build", "--stub", str(stub),
                                "--out", str(folder / "linux.exe"), "--any-files",
                                str(folder / "in" / "\u00dcbersicht.txt")],
                               capture_output=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
        self.assertEqual(linux.returncode, 0, linux.stderr)
        nvpack_exe = self.wine.win_build / "app/nvpack/nvpack.exe"
        proc = self.wine.run([nvpack_exe, "build", "--stub", "stub.exe", "--out", "windows.exe",
                              "--any-files", "in\\\u00dcbersicht.txt"], check=False, cwd=folder)
        self.assertEqual(proc.returncode, 0, proc.stderr)
        self.assertEqual((folder / "windows.exe").read_bytes(),
                         (folder / "linux.exe").read_bytes())
        proc = self.wine.run([nvpack_exe, "extract", "linux.exe", "out"], check=False, cwd=folder)
        self.assertEqual(proc.returncode, 0, proc.stderr)
        self.assertEqual(os.listdir(folder / "out"), ["\u00dcbersicht.txt"])


if __name__ == "__main__":
    unittest.main()
