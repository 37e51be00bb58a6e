"""The folder chooser of the folder page: opened with "...", it shows its fixed German texts;
cancelling changes nothing, a missing folder is created only after "&Ja", and the field then
holds the folder with a trailing backslash.

The class walks one wizard; its tests run in the order of their numbers.
"""

import shutil
import unittest

from install_steps import ENGLISH, InstallTestCase, damaged_setup
from wizard import WIZARD, WS_DISABLED, WizardTestCase

CHOOSER = "Verzeichnis auswählen"
CONFIRM = "Bestätigung"
QUESTION = "Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?"
TOP = "nv-chooser-test"  # a folder of drive C: only these tests use


class FolderChooserTest(WizardTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.top = cls.wine.drive_c / TOP
        shutil.rmtree(cls.top, ignore_errors=True)
        cls.addClassCleanup(shutil.rmtree, cls.top, ignore_errors=True)
        cls.folder = cls.top / "Neuer Ordner" / "Tiefer"
        cls.typed = f"C:\\{TOP}\\Neuer Ordner\\Tiefer"
        cls.start_shared_wizard()

    def open_chooser(self):
        self.click("...")
        self.wine.wait_window(CHOOSER)
        return {item["text"]: item for item in self.wine.controls(CHOOSER)}

    def wizard_disabled(self):
        return bool(self.wine.window_info(WIZARD)["style"] & WS_DISABLED)

    def test_1_chooser_shows_its_texts_and_cancel_changes_nothing(self):
        self.walk_to_folder_page()
        before = self.edit_text()
        self.assertEqual(before, r"C:\Program Files\Norvista")
        controls = self.open_chooser()
        for text in ("Verzeichnis&name:", "&Verzeichnisse:", "&Dateien: (*.*)", "&Laufwerke:",
                     "OK", "Abbrechen"):
            with self.subTest(text):
                self.assertIn(text, controls)
        # The chooser starts at the default folder, or at c:\ while that does not exist (an
        # earlier removal leaves it behind).
        if (self.wine.drive_c / "Program Files" / "Norvista").is_dir():
            self.assertEqual(self.edit_text(0, CHOOSER).lower(), r"c:\program files\norvista")
        else:
            self.assertEqual(self.edit_text(0, CHOOSER).lower(), "c:\\")
        self.assertTrue(self.wizard_disabled(), "the chooser is modal")
        self.screenshot("chooser-open", CHOOSER)
        self.wine.click(CHOOSER, "Abbrechen")
        self.wine.wait_gone(CHOOSER)
        self.wine.poll(lambda: not self.wizard_disabled(), 20, "the wizard enabled again")
        self.assertEqual(self.edit_text(), before)
        self.assertEqual(self.snapshot().page(), "pInstallpath")

    def test_2_nein_keeps_the_chooser_open_and_creates_nothing(self):
        self.open_chooser()
        self.wine.set_text(CHOOSER, 0, self.typed)
        self.wine.click(CHOOSER, "OK")
        self.wine.wait_window(CONFIRM)
        texts = [item["text"] for item in self.wine.controls(CONFIRM)]
        self.assertIn(QUESTION, texts)
        self.assertIn("&Ja", texts)
        self.assertIn("&Nein", texts)
        self.screenshot("chooser-confirm", CONFIRM)
        self.wine.click(CONFIRM, "&Nein")
        self.wine.wait_gone(CONFIRM)
        self.assertTrue(self.wine.has_window(CHOOSER))
        self.assertFalse(self.top.exists())
        self.assertEqual(self.edit_text(0, CHOOSER), self.typed)

    def test_3_ja_creates_the_folder_and_the_field_holds_it_with_a_backslash(self):
        self.assertTrue(self.wine.has_window(CHOOSER))
        self.wine.click(CHOOSER, "OK")
        self.wine.wait_window(CONFIRM)
        self.wine.click(CONFIRM, "&Ja")
        self.wine.wait_gone(CHOOSER)
        self.assertTrue(self.folder.is_dir(), "created with its missing parent")
        self.wine.poll(lambda: self.edit_text() == self.typed + "\\", 20, "the chosen folder")
        snap = self.snapshot()
        self.assertEqual(snap.page(), "pInstallpath")
        self.assertTrue(snap.enabled("btnNext"))
        self.assertFalse(self.wizard_disabled())
        self.screenshot("chooser-chosen")

    def test_4_an_existing_folder_is_taken_without_a_question(self):
        existing = self.top / "Da"
        existing.mkdir()
        self.open_chooser()
        self.wine.set_text(CHOOSER, 0, f"C:\\{TOP}\\Da")
        self.wine.click(CHOOSER, "OK")
        self.wine.wait_gone(CHOOSER)
        self.assertFalse(self.wine.has_window(CONFIRM))
        self.wine.poll(lambda: self.edit_text() == f"C:\\{TOP}\\Da\\", 20, "the chosen folder")


class ChooserMovesTheTemporaryFolderTest(InstallTestCase):
    """The chooser moves the current folder as it shows folders, and the installation makes
    "tempnv" in the last folder it showed. A payload with a wrong checksum keeps the temporary
    files, so the folder can be found afterwards."""

    def test_tempnv_is_made_in_the_last_folder_the_chooser_showed(self):
        program_files = self.wine.unix_path(self.folders["ProgramFiles"])
        (program_files / "Norvista").mkdir(exist_ok=True)  # the chooser starts there
        shown_last = program_files / "tempnv"
        shutil.rmtree(shown_last, ignore_errors=True)
        self.addCleanup(shutil.rmtree, shown_last, ignore_errors=True)
        target = self.wine.drive_c / TOP / "Ziel"
        target.mkdir(parents=True)
        self.addCleanup(shutil.rmtree, self.wine.drive_c / TOP, ignore_errors=True)
        setup = self.scratch / "Setup.exe"
        setup.write_bytes(damaged_setup(self.wine.dist / "Setup-stub.exe",
                                        self.wine.dist / "product"))

        proc = self.start_setup(setup)
        self.walk_to_folder_page(ENGLISH)
        self.click("...")
        self.wine.wait_window(CHOOSER)
        self.assertEqual(self.edit_text(0, CHOOSER).lower(), r"c:\program files\norvista")
        # Up one folder through the folder list ("..", its first item), then a folder typed.
        self.wine.keys(CHOOSER, "Alt+v", "Enter")
        self.wine.poll(lambda: self.edit_text(0, CHOOSER).lower() == r"c:\program files", 20,
                       "the chooser showing C:\\Program Files")
        self.wine.set_text(CHOOSER, 0, f"C:\\{TOP}\\Ziel")
        self.wine.click(CHOOSER, "OK")
        self.wine.wait_gone(CHOOSER)
        self.wine.poll(lambda: self.edit_text() == f"C:\\{TOP}\\Ziel\\", 20, "the chosen folder")

        self.click(ENGLISH.next)
        self.wait_text(ENGLISH.no_package, timeout=120)
        self.assertTrue((shown_last / "package.dlz").is_file(), "tempnv in the folder shown last")
        self.assertFalse((self.scratch / "tempnv").exists(), "tempnv in the starting folder")
        self.assertFalse((target / "tempnv").exists(), "tempnv in the chosen folder")
        self.assertFalse((self.wine.drive_c / "tempnv").exists(), "the fall-back used")
        self.click(ENGLISH.cancel)
        self.assertEqual(self.wine.wait_exit(proc, timeout=60), 0)


if __name__ == "__main__":
    unittest.main()
