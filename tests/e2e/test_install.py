"""Installing Norvista with the shipped setup, checked from outside the program."""

import unittest

from install_steps import ENGLISH, GERMAN, InstallTestCase


class InstallTest(InstallTestCase):
    def test_default_installation_without_quick_launch_folder_then_product_starts(self):
        self.quick_launch_folder(present=False)
        setup = self.wine.dist / "Setup.exe"
        proc = self.start_setup(setup)
        self.walk_to_folder_page(ENGLISH)
        self.assertEqual(self.edit_text(), self.default_folder.rstrip("\\"))
        for caption in (ENGLISH.desktop, ENGLISH.quick, ENGLISH.startmenu):
            self.assertTrue(self.button(caption)["checked"], caption)
        self.click(ENGLISH.next)
        self.wait_success(ENGLISH)
        self.assertTrue(self.button(ENGLISH.start_product)["checked"])
        self.wine.screenshot("install-success-english")

        # The field now shows the folder as installed, with its closing backslash.
        self.assertEqual(self.edit_text(), self.default_folder)
        self.assert_installed(self.default_folder, "English", setup, quick_file=False)
        self.assert_no_temporary_folder(self.scratch)

        self.finish(proc, ENGLISH, start_product=True)
        self.assertEqual(self.product_greeting(), ENGLISH.greeting)
        self.wine.screenshot("install-product-english")

    def test_german_installation_with_quick_launch_folder_then_product_greets_in_german(self):
        self.quick_launch_folder(present=True)
        setup = self.wine.dist / "Setup.exe"
        proc = self.install(GERMAN, exe=setup)
        self.assert_installed(self.default_folder, "Deutsch", setup, quick_file=True)
        self.assert_no_temporary_folder(self.scratch)

        self.finish(proc, GERMAN, start_product=True)
        self.assertEqual(self.product_greeting(), GERMAN.greeting)

    def test_folder_without_backslash_and_no_shortcuts_writes_empty_link_values(self):
        folder = r"C:\Norvista E2E\Ohne Verkn" "\u00fc" "pfung"
        self.installed_folders.append(r"C:\Norvista E2E")
        setup = self.wine.dist / "Setup.exe"
        proc = self.install(ENGLISH, folder=folder, exe=setup,
                            desktop=False, quick=False, startmenu=False)
        self.assertEqual(self.edit_text(), folder + "\\")
        self.assert_installed(folder + "\\", "English", setup, shortcuts=False)
        self.assertFalse(self.wine.unix_path(self.links["StartmenuLink"]).parent.exists(),
                         "start-menu folder made although not asked for")
        self.assertFalse(self.wine.unix_path(self.default_folder).exists())
        self.assert_no_temporary_folder(self.scratch)
        self.finish(proc, ENGLISH, start_product=False)


if __name__ == "__main__":
    unittest.main()
