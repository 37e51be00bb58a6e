"""The setup runs elevated on other people's machines: what it defends against, seen from outside.

- Planted DLLs: a DLL named like a system one, left in the folder the setup is started from,
  is never loaded, even when Wine is told to prefer such a DLL over its own. A build of the
  same program without that guard must be caught by the same check, so the check is known to
  see planting at all.
- Imports: the program imports only DLLs that the system always takes from its own folder.
- The running setup's own file: it is held open from the start, so no other program can rename
  or rewrite it, and what it installs comes from the file that was started even when that file
  is swapped underneath it (Wine cannot stop a rename made from the Unix side).
"""

import json
import os
import shutil
import subprocess
import unittest
from pathlib import Path

from install_steps import ENGLISH, PRODUCT_FILES as INSTALLED_FILES, InstallTestCase
from wizard import WizardTestCase

# Every DLL the setup loads at run time, and others a program commonly pulls in by name.
# Not "version.dll": Wine's own user32 imports it, so Wine loads it while it starts the
# process, before any of the program's code runs; Windows' user32 does not import it.
PLANTED_NAMES = [
    "riched20.dll", "msftedit.dll", "comctl32.dll", "msimg32.dll", "mpr.dll", "uxtheme.dll",
    "dwmapi.dll", "shfolder.dll", "propsys.dll", "cryptbase.dll",
]
# The ones the program itself asks for: the unguarded build must visibly load these.
LOADED_BY_THE_PROGRAM = ["riched20.dll", "comctl32.dll", "msimg32.dll"]

# DLLs the system loads from its own folder whatever lies beside a program (known DLLs).
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                   "ole32.dll", "oleaut32.dll", "msvcrt.dll"}

PRODUCT_FILES = ["Sorvelin.exe", "Norvis.exe", "Norvis.hlp", "Norvis_uk.hlp", "brannok.wav",
                 "NV.OBJ", "Deutsch.lng", "English.lng"]
TARGET = r"C:\plant-target"


def imports(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], check=True,
                         capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip().lower() for line in out.splitlines()
            if "DLL Name:" in line]


class PlantedDllTest(WizardTestCase):
    def setUp(self):
        super().setUp()
        self.planted_dll = self.wine.win_build / "tests/win/security/planted.dll"
        self.unguarded_stub = self.wine.win_build / "app/installer/Setup-unguarded.exe"
        for needed in (self.planted_dll, self.unguarded_stub):
            self.assertTrue(needed.is_file(), f"{needed} not built")
        self.folder = self.wine.drive_c / "plant"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        shutil.rmtree(self.wine.drive_c / "plant-target", ignore_errors=True)
        for name in PLANTED_NAMES:
            shutil.copyfile(self.planted_dll, self.folder / name)
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.addCleanup(shutil.rmtree, self.wine.drive_c / "plant-target", True)
        self.addCleanup(self.wine.reg_delete_key, r"HKLM\Software\Halvorn\Norvista")

    def planting_environment(self):
        env = dict(self.wine.env)
        # Wine prefers its own built-in DLLs; this makes it take a DLL found on the search
        # path first, the way Windows does.
        names = ",".join(Path(n).stem for n in PLANTED_NAMES)
        env["WINEDLLOVERRIDES"] = f"{env.get('WINEDLLOVERRIDES', '')};{names}=n,b".lstrip(";")
        return env

    def start_planted(self, exe):
        proc = subprocess.Popen(["wine", str(exe)], env=self.planting_environment(),
                                cwd=self.folder, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        return proc

    def markers(self):
        return sorted(p.name[:-len(".loaded")] for p in self.folder.glob("*.loaded"))

    def with_payload(self, stub, name):
        """`stub` with the demo product packed behind it, placed in the planting folder."""
        product = self.wine.dist / "product"
        out = self.folder / name
        subprocess.run([str(self.wine.dist / "nvpack"), "build", "--stub", str(stub), "--out",
                        str(out), *[str(product / f) for f in PRODUCT_FILES]],
                       check=True, capture_output=True)
        return out

    def test_a_whole_installation_loads_no_planted_dll(self):
        setup = self.folder / "Setup.exe"
        shutil.copyfile(self.wine.dist / "Setup.exe", setup)
        self.start_planted(setup)
        self.wine.wait_window("Norvista Installer")
        self.walk_to_folder_page()
        self.wine.set_text("Norvista Installer", 0, TARGET)
        self.click("&Next")
        self.wait_text("&Finish", timeout=120)
        start_box = self.button("&Start Norvista")
        if start_box["checked"]:
            self.click("&Start Norvista")
        self.assertTrue((self.wine.drive_c / "plant-target" / "Norvis.exe").is_file())
        self.click("&Finish")
        self.wine.wait_gone("Norvista Installer")
        self.assertEqual(self.markers(), [])

    def test_the_same_check_catches_a_build_without_the_guard(self):
        setup = self.with_payload(self.unguarded_stub, "Setup.exe")
        self.start_planted(setup)
        self.wine.poll(lambda: set(LOADED_BY_THE_PROGRAM) <= set(self.markers()), 60,
                       f"markers of {LOADED_BY_THE_PROGRAM}")

    def test_only_known_system_dlls_are_imported(self):
        for name in ("Setup.exe", "Setup-stub.exe"):
            with self.subTest(name):
                names = imports(self.wine.dist / name)
                self.assertTrue(names, "no import table found")
                self.assertLessEqual(set(names), ALLOWED_IMPORTS)
        # The guard-less build imports the same: its difference is only how it loads.
        self.assertLessEqual(set(imports(self.unguarded_stub)), ALLOWED_IMPORTS)


# The error Windows reports for an object another handle holds without sharing that access.
ERROR_SHARING_VIOLATION = 32


class RunningSetupTest(InstallTestCase):
    TARGET = "C:\\held-target\\"

    def setUp(self):
        super().setUp()
        self.installed_folders.append(self.TARGET)
        self.setup = self.scratch / "Setup.exe"
        shutil.copyfile(self.wine.dist / "Setup.exe", self.setup)
        self.original = self.scratch / "original.exe"
        shutil.copyfile(self.setup, self.original)

    def other_setup(self):
        """A complete, sound setup whose every file differs from the demo product's."""
        other = self.scratch / "other"
        other.mkdir()
        for name in INSTALLED_FILES:
            data = (self.wine.dist / "product" / name).read_bytes()
            (other / name).write_bytes(data + b"\r\n; not the original\r\n")
        out = self.scratch / "Other.exe"
        subprocess.run([str(self.wine.dist / "nvpack"), "build", "--stub",
                        str(self.wine.dist / "Setup-stub.exe"), "--out", str(out),
                        *[str(other / name) for name in PRODUCT_FILES]],
                       check=True, capture_output=True)
        return out

    def test_a_setup_swapped_while_it_runs_still_installs_the_original(self):
        other = self.other_setup()
        proc = self.start_setup(self.setup)
        self.walk_to_folder_page()
        self.set_folder(self.TARGET)
        # After the elevation prompt has looked at the file, someone who may write to the
        # folder renames it away and puts another setup at its name.
        self.setup.rename(self.scratch / "renamed.exe")
        shutil.copyfile(other, self.setup)
        self.click(ENGLISH.next)
        self.wait_success(ENGLISH)
        self.assert_product_files(self.TARGET, self.original)
        self.finish(proc)

    def test_no_other_program_can_rename_or_rewrite_the_running_setup(self):
        self.start_setup(self.setup)
        attempts = json.loads(self.wine.driver("tamper", self.wine.windows_path(self.setup)).stdout)
        self.assertEqual(attempts, {"rename": ERROR_SHARING_VIOLATION,
                                    "write": ERROR_SHARING_VIOLATION})
        self.assertEqual(self.setup.read_bytes(), self.original.read_bytes())


if __name__ == "__main__":
    unittest.main()
