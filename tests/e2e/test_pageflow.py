"""The page flow as a user walks it: language, licence, folder page and back; and the removal
offer when an installation is recorded. A screenshot of every page reached goes to the screens
folder.

Each class walks one wizard; its tests run in the order of their numbers and each starts where
the one before ended.
"""

import unittest

from wizard import SETUP_KEY, WIZARD, WizardTestCase


def licence_lines(snap):
    return snap.text("reLicense").split("\r\n")


def applied(first_item, last_label):
    """A condition: a language section has been applied up to its last line, and both licence
    items are there again. The radio items are made anew on the way, so a snapshot taken
    meanwhile may lack one of them."""
    def condition(snap):
        items = snap.radio_items("rgLicense")
        return len(items) == 2 and items[0]["text"] == first_item and \
            snap.text("lbUninstall4") == last_label
    return condition


class WalkTestCase(WizardTestCase):
    digits = {}  # step-picture pixels by the digit they show, shared by a class's tests

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.digits = {}

    def shoot(self, name):
        """Screenshot of the current page; returns the step picture's pixels."""
        png = self.screenshot(f"pageflow-{name}")
        return self.info_picture(png)

    def assert_digit(self, digit, pixels):
        """The step picture shows `digit`: the same pixels as wherever it showed it before, and
        not those of any other digit seen so far."""
        for other, seen in self.digits.items():
            if other == digit:
                self.assertTrue(pixels == seen, f"step picture differs from digit {digit}")
            else:
                self.assertTrue(pixels != seen, f"step picture still shows digit {other}")
        self.digits.setdefault(digit, pixels)

    def next_page(self, caption, panel):
        self.click_when_enabled(caption)
        return self.wait_page(panel)

    def prev_page(self, caption, panel):
        self.click_when_enabled(caption)
        return self.wait_page(panel)


class InstallPathWalkTest(WalkTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.start_shared_wizard()

    def test_1_next_stays_disabled_until_a_language_is_chosen(self):
        snap = self.snapshot()
        type(self).english = snap.wording()
        self.assertEqual(snap.page(), "pLanguage")
        self.assertEqual(snap.chosen("rgLanguage"), -1)
        self.assertFalse(snap.enabled("btnNext"))
        self.assertFalse(snap.shown("btnPrev"))
        self.assert_digit(1, self.shoot("1-language"))

    def test_2_deutsch_relabels_the_window_at_once(self):
        self.click("&Deutsch")
        snap = self.wait_state(
            applied("Ich &stimme dem Vertrag zu.",
                    "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen."),
            "German texts")
        german = snap.wording()
        self.assertEqual(snap.chosen("rgLanguage"), 1)
        self.assertTrue(snap.enabled("btnNext"))
        expected = {
            "btnPrev": "&Zurück", "btnCancel": "&Abbrechen", "lbLicense": "Lizenzvertrag",
            "rgLicense[0]": "Ich &stimme dem Vertrag zu.",
            "rgLicense[1]": "Ich stimme dem Vertrag &nicht zu.",
            "lbInstallpath": "&Installationspfad:", "lbStartmenu": "Start&menüeintrag:",
            "cbQuick": "&S", "lbFinish": "&Beenden",
            "lbError8": "Um Norvista installieren/deinstallieren zu können",
            "lbError12": 'Kopieren Sie die Datei "Setup.exe" in ein Verzeichnis,',
            "lbUninstall4": "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen.",
        }
        for key, text in expected.items():
            with self.subTest(key):
                self.assertEqual(german[key], text)
        self.assertNotIn("rgLicense[2]", german)
        # What the script leaves alone stays as it was.
        for key in ("rgLanguage.caption", "rgLanguage[0]", "rgLanguage[1]", "lbSuccess1",
                    "cbDesktop", "cbStartmenu", "btnInstallpath", "edInstallpath"):
            with self.subTest(key):
                self.assertEqual(german[key], self.english[key])
        lines = licence_lines(snap)
        self.assertEqual(lines[0], "NORVISTA ENDBENUTZER-LIZENZVERTRAG")
        self.assertEqual(len(lines), 163)
        self.assertEqual(sum(1 for line in lines if not line.strip()), 27)
        self.assertNotEqual(snap.text("reLicense"), self.english["reLicense"])
        self.shoot("1-deutsch")

    def test_3_english_restores_every_text(self):
        self.click("&English")
        snap = self.wait_state(
            applied("I &agree.", "Click on <Cancel> if you want to abort uninstallation."),
            "English texts")
        wording = snap.wording()
        self.assertEqual(len(licence_lines(snap)), 132)
        for key, text in self.english.items():
            with self.subTest(key):
                self.assertEqual(wording[key], text)
        self.assertEqual(wording.keys(), self.english.keys())
        self.assertEqual(snap.chosen("rgLanguage"), 0)
        self.assertTrue(snap.enabled("btnNext"))

    def test_4_licence_page_enables_next_only_while_agreeing(self):
        snap = self.next_page("&Next", "pLicense")
        self.assertTrue(snap.shown("btnPrev") and snap.enabled("btnPrev"))
        self.assertEqual(snap.chosen("rgLicense"), 1)
        self.assertFalse(snap.enabled("btnNext"))
        self.assert_digit(2, self.shoot("2-licence"))
        self.click("I &agree.")
        self.wait_state(lambda s: s.chosen("rgLicense") == 0 and s.enabled("btnNext"),
                        "Next enabled by agreeing")
        self.click("I do n&ot agree.")
        snap = self.wait_state(lambda s: s.chosen("rgLicense") == 1, "the refusal")
        self.assertFalse(snap.enabled("btnNext"))
        self.click("I &agree.")
        self.wait_state(lambda s: s.enabled("btnNext"), "Next enabled again")

    def test_5_going_back_to_page_one_resets_the_choice_to_the_refusal(self):
        snap = self.prev_page("&Previous", "pLanguage")
        self.assertFalse(snap.shown("btnPrev"))
        self.assertTrue(snap.enabled("btnNext"), "a language is still chosen")
        self.assertEqual(snap.chosen("rgLanguage"), 0)
        self.assert_digit(1, self.info_picture(self.screenshot("pageflow-1-again")))
        snap = self.next_page("&Next", "pLicense")
        self.assertEqual(snap.chosen("rgLicense"), 1)
        self.assertFalse(snap.enabled("btnNext"))
        self.assert_digit(2, self.shoot("2-refusal-again"))

    def test_5a_the_language_chosen_again_is_applied_again(self):
        # The licence read halfway keeps its place over a step back and forth ...
        self.wine.driver("scroll", WIZARD, "40")
        self.wait_state(lambda s: s["reLicense"]["first_line"] >= 40, "the licence scrolled")
        self.prev_page("&Previous", "pLanguage")
        snap = self.next_page("&Next", "pLicense")
        self.assertGreaterEqual(snap["reLicense"]["first_line"], 40)
        # ... and choosing the language already chosen applies its section in full again:
        # the licence starts over at its first line.
        snap = self.prev_page("&Previous", "pLanguage")
        self.assertEqual(snap.chosen("rgLanguage"), 0)
        self.click("&English")
        snap = self.next_page("&Next", "pLicense")
        self.assertEqual(snap["reLicense"]["first_line"], 0)
        self.assertEqual(licence_lines(snap)[0], "NORVISTA END-USER LICENSE AGREEMENT")
        self.assertEqual(snap.chosen("rgLanguage"), 0)

    def test_6_forward_to_the_folder_page_and_back(self):
        self.click("I &agree.")
        snap = self.next_page("&Next", "pInstallpath")
        self.assertTrue(snap.shown("btnPrev") and snap.enabled("btnPrev"))
        self.assertTrue(snap.enabled("btnNext"))
        self.assertEqual(snap.text("edInstallpath"), r"C:\Program Files\Norvista")
        self.assert_digit(3, self.shoot("3-folder"))
        snap = self.prev_page("&Previous", "pLicense")
        # Agreement survives the way back from page 3.
        self.assertEqual(snap.chosen("rgLicense"), 0)
        self.assertTrue(snap.enabled("btnNext"))
        self.assert_digit(2, self.shoot("2-licence-again"))
        snap = self.next_page("&Next", "pInstallpath")
        self.assert_digit(3, self.info_picture(self.screenshot("pageflow-3-again")))


class RemovalOfferTest(WalkTestCase):
    """An installation record names a folder: Next on page 1 offers removal instead."""

    INSTALLED = "C:\\Program Files\\Norvista\\"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.start_shared_wizard(record={"Installpath": cls.INSTALLED})

    def test_1_next_offers_removal_with_the_digit_two(self):
        self.assert_digit(1, self.shoot("removal-1-language"))
        self.click("&English")
        snap = self.next_page("&Next", "pUninstall")
        self.assertTrue(snap.shown("btnPrev") and snap.enabled("btnPrev"))
        self.assertTrue(snap.enabled("btnNext"))
        self.assertEqual(snap.text("btnCancel"), "&Cancel")
        self.assertTrue(snap["lbUninstall1"]["visible"])
        self.assertEqual(snap.text("lbUninstall1"), "Uninstall Norvista")
        type(self).removal_digit = self.shoot("removal-6-offer")
        self.assert_digit(2, self.removal_digit)

    def test_2_previous_returns_to_page_one_with_the_digit_one(self):
        snap = self.prev_page("&Previous", "pLanguage")
        self.assertFalse(snap.shown("btnPrev"))
        self.assertTrue(snap.enabled("btnNext"))
        self.assertEqual(snap.chosen("rgLicense"), 1)
        self.assert_digit(1, self.shoot("removal-1-back"))

    def test_3_without_the_record_next_shows_the_licence_with_the_same_digit(self):
        # The record is read when page 1 is left, so it can go while the wizard runs.
        self.wine.reg_delete_key(SETUP_KEY)
        snap = self.next_page("&Next", "pLicense")
        self.assertEqual(snap.chosen("rgLicense"), 1)
        self.assertFalse(snap.enabled("btnNext"))
        pixels = self.shoot("removal-2-licence")
        self.assertTrue(pixels == self.removal_digit,
                         "the licence page and the removal offer both show the digit 2")

    def test_4_an_empty_record_value_means_not_installed(self):
        self.prev_page("&Previous", "pLanguage")
        self.wine.reg_add(SETUP_KEY, "Installpath", "")
        self.next_page("&Next", "pLicense")


class AdministratorPageTest(unittest.TestCase):
    @unittest.skip("Wine always runs programs as an administrator; native tests cover a "
                   "standard user on an NT system seeing the administrator page")
    def test_standard_user_sees_the_administrator_page(self):
        pass


if __name__ == "__main__":
    unittest.main()
