"""Installations that cannot succeed: no payload, a damaged payload, an unusable folder."""

import subprocess
import unittest

from harness import SETUP_KEY
from install_steps import ENGLISH, InstallTestCase, damaged_setup


class InstallFailureTest(InstallTestCase):
    def assert_nothing_installed(self):
        self.assertFalse(self.wine.unix_path(self.default_folder).exists())
        self.assertFalse(self.wine.reg_key_exists(SETUP_KEY))
        for link in self.links.values():
            self.assertFalse(self.wine.unix_path(link).exists(), link)

    def wait_package_message(self):
        """The installation page with the missing-package message; returns its snapshot."""
        self.wait_text(ENGLISH.no_package)
        snap = self.snapshot()
        self.assertEqual(snap.page(), "pInstall")
        self.assertTrue(snap.shown("lbError"))
        self.assertFalse(snap.shown("lbInstalling"))
        self.assertFalse(snap.shown("pbInstall"))
        self.assertFalse(snap.enabled("btnNext"))
        self.assertFalse(snap.enabled("btnPrev"))
        self.assertTrue(snap.enabled("btnCancel"))
        self.assertEqual(snap.text("btnCancel"), ENGLISH.cancel)
        return snap

    def cancel(self, proc):
        self.click(ENGLISH.cancel)
        self.assertEqual(self.wine.wait_exit(proc, timeout=60), 0)

    def test_setup_without_payload_reports_the_missing_package(self):
        proc = self.start_setup(self.wine.dist / "Setup-stub.exe")
        self.walk_to_folder_page(ENGLISH)
        self.click(ENGLISH.next)
        self.wait_package_message()
        self.wine.screenshot("install-failure-no-package")
        self.assert_nothing_installed()
        self.assertFalse((self.scratch / "tempnv").exists(), "temporary folder made for nothing")
        self.cancel(proc)

    def test_payload_with_wrong_checksum_reports_the_damaged_package(self):
        nvpack = str(self.wine.dist / "nvpack")
        product = self.wine.dist / "product"
        # The same payload with the right checksum reads back whole, so only the checksum
        # is wrong in the one the setup meets.
        sound = self.scratch / "sound.exe"
        sound.write_bytes(damaged_setup(self.wine.dist / "Setup-stub.exe", product, 0))
        self.assertEqual(subprocess.run([nvpack, "verify", sound], capture_output=True)
                         .returncode, 0)
        setup = self.scratch / "Setup.exe"
        setup.write_bytes(damaged_setup(self.wine.dist / "Setup-stub.exe", product, 1))
        self.assertEqual(subprocess.run([nvpack, "verify", setup], capture_output=True)
                         .returncode, 1)

        proc = self.start_setup(setup)
        self.walk_to_folder_page(ENGLISH)
        self.click(ENGLISH.next)
        self.wait_package_message()
        self.wine.screenshot("install-failure-damaged-package")
        self.assert_nothing_installed()
        self.cancel(proc)

    def test_folder_that_cannot_be_created_then_another_folder_succeeds(self):
        self.quick_launch_folder(present=False)
        win_ini = self.wine.drive_c / "windows" / "win.ini"
        win_ini_bytes = win_ini.read_bytes()
        good = r"C:\Norvista E2E\Second Try"
        self.installed_folders.append(r"C:\Norvista E2E")
        setup = self.wine.dist / "Setup.exe"
        proc = self.start_setup(setup)
        self.walk_to_folder_page(ENGLISH)

        # A path through an existing file, then one on a drive that does not exist.
        for bad in (r"C:\windows\win.ini\Norvista", r"Q:\Norvista"):
            self.set_folder(bad)
            self.click(ENGLISH.next)
            self.wait_text(ENGLISH.folder_error, timeout=120)
            snap = self.snapshot()
            self.assertEqual(snap.page(), "pError")
            self.assertTrue(snap.enabled("btnPrev"))
            self.assertFalse(snap.enabled("btnNext"))
            self.wine.screenshot("install-failure-folder")
            self.assertFalse(self.wine.reg_key_exists(SETUP_KEY))

            self.click(ENGLISH.previous)
            snap = self.wait_page("pInstallpath")
            self.assertTrue(snap.enabled("btnNext"))
            self.assertTrue(snap.enabled("btnPrev"))
            self.assertEqual(snap.text("edInstallpath"), bad)
        self.assertEqual(win_ini.read_bytes(), win_ini_bytes)

        self.set_folder(good)
        self.click(ENGLISH.next)
        self.wait_success(ENGLISH)
        self.assert_installed(good + "\\", "English", setup, quick_file=False)
        self.assertFalse(self.wine.unix_path(self.default_folder).exists())
        self.assert_no_temporary_folder(self.scratch)
        self.finish(proc, ENGLISH, start_product=False)


if __name__ == "__main__":
    unittest.main()
