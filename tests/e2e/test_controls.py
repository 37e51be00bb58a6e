"""The wizard window right after start: every control in its place, state and wording, the
window centred, page 1 on screen; and the two ways of closing it."""

import unittest

from wizard import (CLIENT_HEIGHT, CLIENT_WIDTH, CONTROLS, FONTS, INFO_PICTURE, LAYOUT,
                    PANEL_LEFT, PANELS, SS_RIGHT, SS_TYPEMASK, WIZARD, Snapshot, WizardTestCase)

# The texts the English section gives the controls it names.
ENGLISH = {
    "btnNext": "&Next",
    "btnPrev": "&Previous",
    "btnCancel": "&Cancel",
    "lbLicense": "License Agreement",
    "lbInstallpath": "&Installpath:",
    "lbQuick": "&Quicklaunchicon:",
    "lbStartmenu": "Start&menu:",
    "lbDesktop": "&Desktopicon:",
    "cbQuick": "&Q",
    "lbError": "No installationpackage found. Setup.exe is damaged.",
    "lbInstalling": "Installing Norvista. Please wait...",
    "lbFinish": "&Finish",
    "lbSuccess2": "was installed successfully.",
    "lbSuccess3": "Click on <Finish> to complete the setup.",
    "cbStartNV": "&Start Norvista",
    "lbError1": "Error!",
    "lbError2": "The installationdirectory could not be created.",
    "lbError3": "Click on <Previous> and select a valid directory.",
    "lbError4": "Error!",
    "lbError5": "During copying files. Probably you have not sufficient rights.",
    "lbError6": "Please contact your systemadministrator.",
    "lbError7": "Error!",
    "lbError8": "To install/uninstall Norvista you need",
    "lbError9": "administrative rights.",
    "lbError10": "Error!",
    "lbError11": "The temporary directory could not be created.",
    "lbError12": 'Copy "Setup.exe" in a directory where you are',
    "lbError13": "allowed to create and write files.",
    "lbUninstalling1": "Norvista was uninstalled",
    "lbUninstalling2": "Click on <Finish> to complete this transaction.",
    "lbUninstall1": "Uninstall Norvista",
    "lbUninstall2": "and all its components.",
    "lbUninstall3": "Click on <Next> to complete uninstallation.",
    "lbUninstall4": "Click on <Cancel> if you want to abort uninstallation.",
}
# Controls the language script leaves alone keep their design texts.
UNNAMED = ["lbSuccess1", "cbDesktop", "cbStartmenu", "btnInstallpath"]

TEAL = (7, 168, 155)


def origin_of(control):
    """The client-area point a control's design position stands for."""
    if control.parent is None:
        return control.left, control.top
    panel = CONTROLS[control.parent]
    return panel.left + control.left, panel.top + control.top


def is_dark(rgb):
    return max(rgb) < 110


def is_light(rgb):
    return min(rgb) > 200


class StartStateTest(WizardTestCase):
    """One wizard, looked at as it comes up; nothing is clicked."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.start_shared_wizard()
        cls.snap = Snapshot(cls.wine.controls(WIZARD))
        cls.info = cls.wine.window_info(WIZARD)
        cls.shot = cls.screenshot("controls-page1")

    def test_windowed_controls_have_their_design_position_and_size(self):
        for control in LAYOUT:
            if control.label:
                continue
            with self.subTest(control.name):
                item = self.snap[control.name]
                self.assertEqual((item["x"], item["y"], item["w"], item["h"]),
                                 (*origin_of(control), control.width, control.height))

    def test_labels_keep_their_anchored_edge_and_fit_their_text(self):
        labels = [c for c in LAYOUT if c.label]
        by_font = {}
        for control in labels:
            by_font.setdefault(control.label, []).append(control)
        for font, controls in by_font.items():
            # The fonts measured here, made the way the window's fonts are described.
            measured = self.wine.text_size(*FONTS[font], *(self.snap.text(c.name)
                                                            for c in controls))
            expected_char_height = -FONTS[font][1]
            self.assertEqual(measured["char_height"], expected_char_height, font)
            for control, width, inked in zip(controls, measured["widths"], measured["inked"]):
                with self.subTest(control.name):
                    item = self.snap[control.name]
                    left, top = origin_of(control)
                    self.assertEqual(item["y"], top)
                    self.assertEqual(item["h"], measured["line_height"])
                    # As wide as the text's advances, or as its ink where that reaches further.
                    self.assertEqual(item["w"], max(width, inked))
                    right_aligned = item["style"] & SS_TYPEMASK == SS_RIGHT
                    self.assertEqual(right_aligned, control.right_aligned)
                    if control.right_aligned:
                        # The right edge stays at 103 of the panel, whatever the text.
                        self.assertEqual(item["x"] + item["w"], PANEL_LEFT + 103)
                        self.assertEqual(left + control.width, PANEL_LEFT + 103)
                    else:
                        self.assertEqual(item["x"], left)

    def test_visibility_and_enabled_state_are_those_of_page_one(self):
        for control in LAYOUT:
            with self.subTest(control.name):
                self.assertEqual(self.snap.shown(control.name), not control.hidden)
                self.assertEqual(self.snap.enabled(control.name), not control.disabled)
        self.assertEqual(self.snap.page(), "pLanguage")
        self.assertEqual([p for p in PANELS if self.snap.shown(p)], ["pLanguage"])
        # What the user sees: only the language page and two of the three buttons.
        self.assertFalse(self.snap["btnPrev"]["visible"])
        self.assertTrue(self.snap["btnNext"]["visible"])
        self.assertFalse(self.snap["btnNext"]["enabled"])
        self.assertTrue(self.snap["rgLanguage"]["visible"])
        self.assertFalse(self.snap["reLicense"]["visible"])

    def test_english_texts_replace_the_design_texts(self):
        for name, text in ENGLISH.items():
            with self.subTest(name):
                self.assertEqual(self.snap.text(name), text)
        for name in UNNAMED:
            with self.subTest(name):
                self.assertEqual(self.snap.text(name), CONTROLS[name].design)
        self.assertEqual(self.snap.text("btnCancel"), "&Cancel")

    def test_radio_groups_and_check_boxes_start_as_designed(self):
        self.assertEqual(self.snap.radio_caption("rgLanguage"), "Language/Sprache")
        self.assertEqual([i["text"] for i in self.snap.radio_items("rgLanguage")],
                         ["&English", "&Deutsch"])
        self.assertEqual(self.snap.chosen("rgLanguage"), -1)
        # The English items end with a line break, which adds no third item.
        self.assertEqual(self.snap.radio_caption("rgLicense"), "")
        self.assertEqual([i["text"] for i in self.snap.radio_items("rgLicense")],
                         ["I &agree.", "I do n&ot agree."])
        self.assertEqual(self.snap.chosen("rgLicense"), 1)
        for name in ("cbDesktop", "cbQuick", "cbStartmenu", "cbStartNV"):
            with self.subTest(name):
                self.assertIs(self.snap[name].get("checked"), True)
        bar = self.snap["pbInstall"]
        self.assertEqual((bar["position"], bar["max"]), (0, 100))

    def test_licence_box_holds_the_english_agreement(self):
        lines = self.snap.text("reLicense").split("\r\n")
        # 132 lines, the last one ended by the final line break.
        self.assertEqual(len(lines), 132, lines[-3:])
        self.assertEqual(sum(1 for line in lines if not line.strip()), 19)
        self.assertEqual(lines[0], "NORVISTA END-USER LICENSE AGREEMENT")
        self.assertTrue(self.snap["reLicense"]["style"] & 0x0800, "read-only")  # ES_READONLY

    def test_installation_field_proposes_the_program_files_folder(self):
        text = self.snap.text("edInstallpath")
        self.assertEqual(text, r"C:\Program Files\Norvista")
        self.assertFalse(text.endswith("\\"))

    def test_window_is_centred_and_sized_to_its_client_area(self):
        info = self.info
        self.assertEqual((info["client_width"], info["client_height"]),
                         (CLIENT_WIDTH, CLIENT_HEIGHT))
        self.assertEqual(info["left"], info["screen_width"] // 2 - info["width"] // 2)
        self.assertEqual(info["top"], info["screen_height"] // 2 - info["height"] // 2)
        # The frame surrounds the client area.
        self.assertGreater(info["client_left"], info["left"])
        self.assertGreater(info["client_top"], info["top"])
        self.assertLessEqual(info["client_left"] + CLIENT_WIDTH, info["left"] + info["width"])

    def test_screenshot_shows_the_rules_and_the_digit_one(self):
        def pixel(x, y):
            return self.client_region(self.shot, x, y, 1, 1)[0][0]

        for y in (5, 60, 137, 139, 200, 300, 420, 490):
            with self.subTest(rule="vertical", y=y):
                self.assertTrue(is_dark(pixel(205, y)), pixel(205, y))
                self.assertTrue(is_light(pixel(203, y)), pixel(203, y))
                self.assertTrue(is_light(pixel(207, y)), pixel(207, y))
        for x in (3, 100, 204, 206, 300, 500, 640):
            with self.subTest(rule="horizontal", x=x):
                self.assertTrue(is_dark(pixel(x, 138)), pixel(x, 138))
                self.assertTrue(is_light(pixel(x, 136)), pixel(x, 136))
                self.assertTrue(is_light(pixel(x, 140)), pixel(x, 140))
        box = self.info_picture(self.shot)
        teal = sum(1 for i in range(0, len(box), 3) if tuple(box[i:i + 3]) == TEAL)
        self.assertGreater(teal, 500, "the step picture shows its teal digit")
        left, top, width, height = INFO_PICTURE
        around = self.client_region(self.shot, left - 20, top - 20, 10, height)
        self.assertEqual(sum(row.count(TEAL) for row in around), 0)


class ClosingTest(WizardTestCase):
    """Cancel and the title bar's close box end the program at once, without a question."""

    def assert_ends(self, proc):
        self.assertEqual(self.wine.wait_exit(proc), 0)
        self.assertFalse(self.wine.has_window(WIZARD))

    def test_cancel_ends_the_program(self):
        proc = self.start_wizard()
        self.click("&Cancel")
        self.assert_ends(proc)

    def test_cancel_on_the_licence_page_ends_the_program(self):
        proc = self.start_wizard()
        self.click("&English")
        self.click_when_enabled("&Next")
        self.wait_page("pLicense")
        self.click("&Cancel")
        self.assert_ends(proc)

    def test_close_box_ends_the_program(self):
        proc = self.start_wizard()
        self.wine.close(WIZARD)
        self.assert_ends(proc)

    def test_window_stays_open_until_closed(self):
        proc = self.start_wizard()
        self.click("&Deutsch")
        self.wait_text("&Weiter")
        self.assertIsNone(proc.poll())
        self.assertTrue(self.snapshot().shown("pLanguage"))
        self.wine.close(WIZARD)
        self.assert_ends(proc)


if __name__ == "__main__":
    unittest.main()
