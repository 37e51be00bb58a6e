"""nvpack.exe extract under Wine: an existing name stops it, --force replaces regular files only,
and nothing is written through a link planted in the output folder.

Wine shows a Unix symbolic link to a Windows program as the file it points to, never as a
reparse point, so here a planted link must merely not be written through (--force renames the
new file over the link itself); refusing links and junctions outright is for Windows.
"""

import os
import shutil
import subprocess
import unittest

from harness import WineTestCase

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


if __name__ == "__main__":
    unittest.main()
