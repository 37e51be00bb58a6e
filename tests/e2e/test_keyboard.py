"""The wizard driven from the keyboard: Tab and Shift+Tab follow the tab order, Alt+letter
reaches a control by its accelerator, and Enter and Escape press no button.

Each class walks one wizard; its tests run in the order of their numbers and each starts
where the one before ended.
"""

import unittest

from wizard import WIZARD, WizardTestCase


class KeyboardTestCase(WizardTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.proc = cls.start_shared_wizard()

    def assert_tab_cycle(self, cycle):
        """From the focused control, Tab walks `cycle` round and Shift+Tab walks it back."""
        snap = self.snapshot()
        start = self.focus_name(snap)
        self.assertIn(start, cycle, f"focus on {start}, not on one of {cycle}")
        index = cycle.index(start)
        for _ in range(len(cycle)):
            index = (index + 1) % len(cycle)
            self.keys("Tab")
            self.wait_focus(cycle[index])
        for _ in range(len(cycle)):
            index = (index - 1) % len(cycle)
            self.keys("Shift+Tab")
            self.wait_focus(cycle[index])
        self.assertEqual(cycle[index], start)

    def tab_to(self, name, steps):
        """Presses Tab, one key at a time, until `name` holds the focus."""
        snap = self.snapshot()
        current = self.focus_name(snap)
        for _ in range(steps):
            if current == name:
                return
            self.keys("Tab")
            previous = current
            current = self.wine.poll(lambda: (self.focus_name(snap) or previous) != previous
                                     and self.focus_name(snap), 20, "the focus to move")
        self.assertEqual(current, name)

    def assert_keys_press_nothing(self, keys, marker_next):
        """Types `keys`, then Tab as a marker: once the focus has moved on to `marker_next`,
        the keys before it have been handled. The page and the window must be as before."""
        before = self.snapshot()
        self.keys(*keys, "Tab")
        self.wait_focus(marker_next)
        after = self.snapshot()
        self.assertIsNone(self.proc.poll(), "the wizard ended")
        self.assertTrue(self.wine.has_window(WIZARD))
        self.assertEqual(after.page(), before.page())
        self.assertEqual(after.texts(), before.texts())
        for name in ("btnPrev", "btnNext", "btnCancel"):
            self.assertEqual((after.shown(name), after.enabled(name)),
                             (before.shown(name), before.enabled(name)), name)


class LanguagePageKeysTest(KeyboardTestCase):
    def test_1_tab_skips_the_disabled_next_and_the_hidden_previous(self):
        # No language is chosen: Tab enters the group at its first item.
        self.wait_focus("rgLanguage[0]")
        self.assert_tab_cycle(["rgLanguage[0]", "btnCancel"])

    def test_2_alt_d_chooses_deutsch(self):
        self.keys("Alt+D")
        snap = self.wait_state(lambda s: s.chosen("rgLanguage") == 1, "Deutsch chosen")
        snap = self.wait_state(lambda s: s.text("btnNext") == "&Weiter", "German texts")
        self.assertTrue(snap.enabled("btnNext"))
        self.assertEqual(snap.text("btnCancel"), "&Abbrechen")
        self.assertEqual(snap.page(), "pLanguage")
        self.wait_focus("rgLanguage[1]")

    def test_3_tab_reaches_next_once_a_language_is_chosen(self):
        # The group is entered at its chosen item now.
        self.assert_tab_cycle(["rgLanguage[1]", "btnNext", "btnCancel"])

    def test_4_enter_and_escape_press_no_button(self):
        self.wait_focus("rgLanguage[1]")
        self.assert_keys_press_nothing(["Enter", "Escape"], marker_next="btnNext")
        self.assertEqual(self.snapshot().page(), "pLanguage")


class KeysAtOnceTest(WizardTestCase):
    def test_keys_typed_as_the_window_shows_reach_a_complete_licence_page(self):
        # The hidden pages' windows are made after the first paint: keys typed the moment the
        # window shows must still find the licence page whole.
        self.start(self.wine.dist / "Setup.exe")
        self.keys("Alt+E", "Alt+N")
        snap = self.wait_page("pLicense")
        self.assertEqual([item["text"] for item in snap.radio_items("rgLicense")],
                         ["I &agree.", "I do n&ot agree."])
        self.assertEqual(snap.chosen("rgLicense"), 1)
        self.assertGreater(len(snap.text("reLicense").split("\r\n")), 40)
        self.assertTrue(snap.shown("btnPrev") and snap.enabled("btnPrev"))


class LaterPagesKeysTest(KeyboardTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.wine.click(WIZARD, "&English")
        cls.wine.poll(lambda: cls.wine.control(WIZARD, "&Next")["enabled"], 20, "Next enabled")
        cls.wine.click(WIZARD, "&Next")

    def test_1_licence_page_tab_order(self):
        self.wait_page("pLicense")
        # The licence box, the chosen refusal, Previous; Next is disabled until agreement.
        self.keys("Tab")
        self.assert_tab_cycle(["reLicense", "rgLicense[1]", "btnPrev", "btnCancel"])

    def test_2_enter_and_escape_in_the_licence_box_press_no_button(self):
        # A multi-line box sends its window a close request on Escape; the wizard stays.
        self.tab_to("reLicense", steps=5)
        self.assert_keys_press_nothing(["Escape", "Enter", "Escape"],
                                       marker_next="rgLicense[1]")

    def test_3_alt_a_agrees_and_enables_next(self):
        self.keys("Alt+A")
        snap = self.wait_state(lambda s: s.chosen("rgLicense") == 0, "agreement chosen")
        self.wait_state(lambda s: s.enabled("btnNext"), "Next enabled")
        self.assertEqual(snap.page(), "pLicense")
        self.wait_focus("rgLicense[0]")
        self.assert_tab_cycle(["reLicense", "rgLicense[0]", "btnPrev", "btnNext", "btnCancel"])

    def test_4_folder_page_tab_order(self):
        self.click("&Next")
        self.wait_page("pInstallpath")
        self.keys("Tab")
        self.assert_tab_cycle(["edInstallpath", "btnInstallpath", "cbDesktop", "cbQuick",
                               "cbStartmenu", "btnPrev", "btnNext", "btnCancel"])

    def test_5_enter_and_escape_in_the_folder_field_press_no_button(self):
        self.tab_to("edInstallpath", steps=8)
        self.assert_keys_press_nothing(["Enter", "Escape"], marker_next="btnInstallpath")
        self.assertEqual(self.snapshot().page(), "pInstallpath")


if __name__ == "__main__":
    unittest.main()
