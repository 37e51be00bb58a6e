"""The wizard window as a user first meets it: title, size, border, position, closing."""

import unittest

from harness import WIZARD, WineTestCase

WS_MAXIMIZEBOX = 0x00010000
WS_MINIMIZEBOX = 0x00020000
WS_THICKFRAME = 0x00040000
WS_SYSMENU = 0x00080000
WS_CAPTION = 0x00C00000


class WindowTest(WineTestCase):
    def test_window_opens_centred_with_fixed_dialog_border_and_closes(self):
        proc = self.start(self.wine.dist / "Setup.exe")
        self.wine.wait_window(WIZARD)
        info = self.wine.window_info(WIZARD)
        self.assertEqual((info["client_width"], info["client_height"]), (653, 500))
        style = info["style"]
        self.assertTrue(style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU)
        self.assertFalse(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME))
        self.assertEqual(info["left"], info["screen_width"] // 2 - info["width"] // 2)
        self.assertEqual(info["top"], info["screen_height"] // 2 - info["height"] // 2)
        self.wine.screenshot("window")

        self.wine.close(WIZARD)
        self.assertEqual(self.wine.wait_exit(proc), 0)
        self.assertFalse(self.wine.has_window(WIZARD))


if __name__ == "__main__":
    unittest.main()
