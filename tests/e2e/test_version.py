"""The Windows version text through the real host, with Wine reporting different Windows
versions to the probe program: only Windows 98 names one of the three versions for which the
wizard skips the administrator check."""

import unittest

from harness import WineTestCase

NAMES_9X = ("Microsoft Windows 95", "Microsoft Windows 98", "Microsoft Windows Millennium Edition")


class VersionTextTest(WineTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.probe = cls.wine.win_build / "tests/win/host/nv_version_probe.exe"
        if not cls.probe.exists():
            raise AssertionError(f"{cls.probe} is missing: build the Windows tree first")
        cls.key = rf"HKCU\Software\Wine\AppDefaults\{cls.probe.name}"

    def version_text(self, version):
        """Line 1 of the probe's output while Wine reports `version` to it."""
        self.wine.reg_add(self.key, "Version", version)
        self.addCleanup(self.wine.reg_delete_key, self.key)
        self.assertEqual(self.wine.reg_query(self.key, "Version"), version)
        proc = self.wine.run([self.probe])
        lines = proc.stdout.decode("cp1252").splitlines()
        self.assertGreaterEqual(len(lines), 2, lines)
        self.assertTrue(lines[1].startswith("administrator="), lines)
        return lines[0]

    def names(self, text):
        return [name for name in NAMES_9X if name in text]

    def test_windows_98_is_named(self):
        text = self.version_text("win98")
        self.assertIn("Microsoft Windows 98 ", text)
        self.assertEqual(self.names(text), ["Microsoft Windows 98"])
        # No build number is printed for this family.
        self.assertNotIn("Build", text)

    def test_windows_xp_names_none_of_the_three(self):
        text = self.version_text("winxp")
        self.assertTrue(text.startswith("Microsoft Windows XP "), text)
        self.assertIn("(Build 2600)", text)
        self.assertEqual(self.names(text), [])

    def test_windows_10_names_none_of_the_three(self):
        text = self.version_text("win10")
        self.assertIn("(Build ", text)
        self.assertNotIn("Microsoft Windows 9", text)
        self.assertEqual(self.names(text), [])

    def test_setting_is_removed_afterwards(self):
        self.version_text("win98")
        self.doCleanups()
        self.assertFalse(self.wine.reg_key_exists(self.key))


if __name__ == "__main__":
    unittest.main()
