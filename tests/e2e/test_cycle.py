"""Install, remove with the installed copy of the setup, and install again; and the same cycle
started from Windows' list of installed programs."""

import unittest

from harness import SETUP_KEY
from install_steps import ENGLISH, GERMAN, LIST_KEY, PRODUCT_FILES, InstallTestCase


class CycleTest(InstallTestCase):
    def install_default(self, start_product):
        """Installs in English into the default folder and presses Finish; returns the folder,
        its Unix path and the setup that installed it."""
        setup = self.wine.dist / "Setup.exe"
        self.finish(self.install(ENGLISH, exe=setup), ENGLISH, start_product=start_product)
        return self.default_folder, self.wine.unix_path(self.default_folder), setup

    def confirm_removal(self, proc, lang):
        """From the language page through the removal offer and the removal to Finish."""
        self.choose_language(lang)
        self.click(lang.next)
        self.wait_text(lang.removal_offer)
        self.assertEqual(self.snapshot().page(), "pUninstall")
        self.click(lang.next)
        self.wait_text(lang.removed)
        self.assertEqual(self.snapshot().page(), "pUnistalling")
        self.click(lang.finish)
        self.assertEqual(self.wine.wait_exit(proc, timeout=60), 0)

    def test_install_remove_with_installed_setup_and_install_again(self):
        quick_launch = self.quick_launch_folder(present=True)
        folder, unix_folder, setup = self.install_default(start_product=False)
        self.assert_installed(folder, "English", setup, quick_file=True)
        ini_before = (unix_folder / "norvis.ini").read_bytes()

        # The copy in the installation folder, started there as its shortcut would, offers
        # removal whichever language is picked.
        installed_setup = unix_folder / "Setup.exe"
        proc = self.start_setup(installed_setup, cwd=unix_folder)
        self.choose_language(GERMAN)
        self.click(GERMAN.next)
        self.wait_text(GERMAN.removal_offer)
        snap = self.snapshot()
        self.assertEqual(snap.page(), "pUninstall")
        self.assertTrue(snap.enabled("btnNext") and snap.enabled("btnPrev"))
        self.assertTrue(snap.shown("btnPrev"))
        for path in [unix_folder / "Norvis.exe"] + [self.wine.unix_path(link)
                                                    for link in self.links.values()]:
            self.assertTrue(path.exists(), f"{path} gone before the removal was confirmed")

        self.click(GERMAN.next)
        self.wait_text(GERMAN.removed)
        snap = self.snapshot()
        self.assertEqual(snap.page(), "pUnistalling")
        self.assertFalse(snap.enabled("btnNext"))
        self.assertFalse(snap.shown("btnPrev"))
        self.assertEqual(snap.text("btnCancel"), GERMAN.finish)

        # Checked from outside: the product, its shortcuts and the record's values are gone;
        # the folder with the setup copy and norvis.ini, and the empty key, stay.
        for installed in PRODUCT_FILES.values():
            self.assertFalse((unix_folder / installed.replace("\\", "/")).exists(), installed)
        self.assertFalse((unix_folder / "Updates").exists())
        for value, link in self.links.items():
            self.assertFalse(self.wine.unix_path(link).exists(), f"{value} {link} still there")
        self.assertFalse(self.wine.unix_path(self.links["StartmenuLink"]).parent.exists(),
                         "start-menu folder still there")
        self.assertTrue(quick_launch.is_dir(), "the quick-launch folder itself is not ours")
        self.assertEqual(self.wine.reg_values(SETUP_KEY), {})
        self.assert_not_listed()
        self.assertEqual((unix_folder / "Setup.exe").read_bytes(), setup.read_bytes())
        self.assertEqual((unix_folder / "norvis.ini").read_bytes(), ini_before)
        self.assertEqual(sorted(p.name for p in unix_folder.iterdir()),
                         ["Setup.exe", "norvis.ini"])

        self.click(GERMAN.finish)
        self.assertEqual(self.wine.wait_exit(proc, timeout=60), 0)

        # A new start offers the licence again, and installing in German into the same folder
        # keeps the language the first installation stored.
        proc = self.start_setup(setup)
        self.choose_language(GERMAN)
        self.click(GERMAN.next)
        self.wait_text(GERMAN.licence)
        self.assertEqual(self.snapshot().page(), "pLicense")
        self.click(GERMAN.agree)
        self.click_when_enabled(GERMAN.next)
        self.wait_text("...")
        self.click(GERMAN.next)
        self.wait_success(GERMAN)
        self.assert_installed(folder, "English", setup, quick_file=True)
        self.assert_no_temporary_folder(self.scratch, unix_folder)

        self.finish(proc, GERMAN, start_product=True)
        self.assertEqual(self.product_greeting(), ENGLISH.greeting)

    def test_removal_while_the_product_runs_finishes_at_the_next_restart(self):
        self.quick_launch_folder(present=False)
        _, unix_folder, _ = self.install_default(start_product=True)
        self.assertEqual(self.product_greeting(), ENGLISH.greeting)

        # Removed while Norvis.exe still runs: the running program cannot be deleted now.
        self.confirm_removal(self.start_setup(unix_folder / "Setup.exe", cwd=unix_folder), ENGLISH)
        self.assert_not_listed()
        self.assertEqual(self.wine.reg_values(SETUP_KEY), {})
        self.assertTrue((unix_folder / "Norvis.exe").exists(), "deleted while it ran")

        # The product closed and the session restarted, as Windows' session manager would at
        # boot: the scheduled deletion is carried out, and only the setup and the language stay.
        self.close_product()
        self.wine.poll(lambda: not any(p.lower().endswith("\\norvis.exe")
                                       for p in self.wine.running_programs()),
                       30, "the product's end")
        self.wine.run(["wineboot", "-r"], timeout=120)
        self.wine.poll(lambda: sorted(p.name for p in unix_folder.iterdir()) ==
                       ["Setup.exe", "norvis.ini"], 60, "the deletions at restart")

    def test_remove_from_the_list_of_installed_programs_and_install_elsewhere(self):
        self.quick_launch_folder(present=False)
        folder, unix_folder, setup = self.install_default(start_product=False)
        self.assert_installed(folder, "English", setup, quick_file=False)  # listed, too

        # The list's Uninstall runs the entry's command: the copy in the installation folder,
        # which offers the removal after the language page.
        remover = self.start_removal_from_list()
        installed_setup = folder + "Setup.exe"
        self.assertIn(installed_setup.lower(),
                      [program.lower() for program in self.wine.running_programs()])
        self.assertNotIn(self.wine.windows_path(setup).lower(),
                         [program.lower() for program in self.wine.running_programs()])
        self.assertEqual(self.snapshot().page(), "pLanguage")
        self.confirm_removal(remover, ENGLISH)

        # Gone from the list, with the product; the record's key stays empty.
        self.assert_not_listed()
        self.assertEqual(self.wine.reg_values(SETUP_KEY), {})
        self.assertFalse((unix_folder / "Norvis.exe").exists())
        self.assertEqual(sorted(p.name for p in unix_folder.iterdir()),
                         ["Setup.exe", "norvis.ini"])

        # Installed again into another folder: one entry, naming that folder.
        elsewhere = r"C:\Norvista Elsewhere"
        self.installed_folders.append(elsewhere)
        proc = self.install(ENGLISH, folder=elsewhere, exe=setup)
        self.finish(proc, ENGLISH, start_product=False)
        self.assert_installed(elsewhere + "\\", "English", setup, quick_file=False)
        self.assertEqual(self.wine.reg_values(LIST_KEY)["uninstallstring"],
                         '"' + elsewhere + '\\Setup.exe"')


if __name__ == "__main__":
    unittest.main()
