"""Steps a user takes in the Norvista wizard, on top of the Wine harness."""

from harness import WIZARD, WineTestCase

WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000


class WizardTestCase(WineTestCase):
    """Starts a setup, finds its window, and offers the user's actions by caption."""

    def setUp(self):
        super().setUp()
        self.wine.reg_delete_key(r"HKLM\Software\Halvorn\Norvista")

    def start_wizard(self, exe=None, cwd=None):
        proc = self.start(exe or self.wine.dist / "Setup.exe", cwd=cwd)
        self.wine.wait_window(WIZARD)
        return proc

    def controls(self, title=WIZARD):
        return self.wine.controls(title)

    def button(self, caption, title=WIZARD):
        """The visible button, check box or radio item with this caption."""
        for item in self.controls(title):
            if item["class"] == "Button" and item["text"] == caption and item["visible"]:
                return item
        self.fail(f"no visible button {caption!r}")

    def has_text(self, text, title=WIZARD):
        return any(item["text"] == text and item["visible"] for item in self.controls(title))

    def wait_text(self, text, timeout=20, title=WIZARD):
        self.wine.poll(lambda: self.has_text(text, title), timeout, f"text {text!r}")

    def click(self, caption, title=WIZARD):
        self.wine.click(title, caption)

    def click_when_enabled(self, caption, timeout=20):
        self.wine.poll(lambda: self.button(caption)["enabled"], timeout, f"{caption!r} enabled")
        self.click(caption)

    def edit_text(self, index=0, title=WIZARD):
        edits = [c for c in self.controls(title) if c["class"] == "Edit"]
        return edits[index]["text"]

    def walk_to_folder_page(self, language="&English"):
        self.click(language)
        self.click_when_enabled("&Next" if language == "&English" else "&Weiter")
        agree = "I &agree." if language == "&English" else "Ich &stimme dem Vertrag zu."
        self.wait_text(agree)
        self.click(agree)
        self.click_when_enabled("&Next" if language == "&English" else "&Weiter")
        self.wait_text("..." )
