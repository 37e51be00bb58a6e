"""Steps a user takes in the Norvista wizard, on top of the Wine harness.

The wizard's controls are found by name. nvdriver lists the windows without names, so the
layout below says where each control's window lies: its parent (the window or a page panel), its
window class and its place among the siblings of that class. Siblings come in z-order, and the
wizard keeps the z-order equal to the tab order (controls that take no focus follow in the order
they were made), so a control that sits at the wrong place in the tab order is also found wrong
and its position or text check fails.
"""

from harness import SETUP_KEY, WIZARD, WineTestCase

WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_TABSTOP = 0x00010000
BS_TYPEMASK = 0x0000000F
BS_AUTORADIOBUTTON = 0x00000009
BS_GROUPBOX = 0x00000007
SS_TYPEMASK = 0x0000001F
SS_RIGHT = 0x00000002

CLIENT_WIDTH, CLIENT_HEIGHT = 653, 500
PANEL_LEFT, PANEL_TOP, PANEL_WIDTH, PANEL_HEIGHT = 208, 144, 441, 313
INFO_PICTURE = (46, 240, 110, 145)  # left, top, width, height of the step-number picture

# Page panels in tab order, with the three buttons between them (tab orders 5 to 7).
PANELS = ["pLanguage", "pLicense", "pInstallpath", "pInstall", "pSuccess", "pError",
          "pCopyError", "pAdmin", "pTempdir", "pUninstall", "pUnistalling"]
WINDOW_BUTTONS = ["btnPrev", "btnNext", "btnCancel"]


class Control:
    """Where a control's window is, and what the design says about it."""

    def __init__(self, name, parent, cls, ordinal, left, top, width, height, design,
                 hidden=False, disabled=False, label=None):
        self.name, self.parent, self.cls, self.ordinal = name, parent, cls, ordinal
        self.left, self.top, self.width, self.height = left, top, width, height
        self.design = design
        self.hidden, self.disabled = hidden, disabled
        self.label = label  # None, or the font of an auto-sized label: "window", "title", "large"

    @property
    def right_aligned(self):
        return self.name in ("lbInstallpath", "lbDesktop", "lbQuick", "lbStartmenu")


def _labels(panel, *rows):
    return [Control(name, panel, "Static", i, left, top, width, height, text,
                    hidden=hidden, label=font)
            for i, (name, left, top, width, height, text, font, hidden) in enumerate(rows)]


def _row(name, left, top, width, height, text, font="window", hidden=False):
    return (name, left, top, width, height, text, font, hidden)


# Every control of the window with its design position, size and text (positions relative to
# the parent). Texts are Windows-1252 decoded to str.
LAYOUT = [
    Control("btnPrev", None, "Button", 0, 400, 464, 75, 25, "&Zurück", hidden=True,
            disabled=True),
    Control("btnNext", None, "Button", 1, 480, 464, 75, 25, "&Weiter", disabled=True),
    Control("btnCancel", None, "Button", 2, 558, 464, 78, 25, "&Abbrechen"),
    *[Control(name, None, "NvPanel", i, PANEL_LEFT, PANEL_TOP, PANEL_WIDTH, PANEL_HEIGHT, "",
              hidden=name != "pLanguage") for i, name in enumerate(PANELS)],
    Control("rgLanguage", "pLanguage", "NvRadioGroup", 0, 136, 123, 185, 81,
            "Language/Sprache"),
    Control("reLicense", "pLicense", "RichEdit20A", 0, 16, 40, 409, 217, ""),
    Control("rgLicense", "pLicense", "NvRadioGroup", 0, 16, 256, 409, 49, ""),
    *_labels("pLicense", _row("lbLicense", 16, 8, 111, 24, "Lizenzvertrag", "large")),
    Control("edInstallpath", "pInstallpath", "Edit", 0, 109, 84, 268, 21,
            "C:\\Programme\\Norvista\\"),
    Control("btnInstallpath", "pInstallpath", "Button", 0, 384, 84, 17, 21, "..."),
    Control("cbDesktop", "pInstallpath", "Button", 1, 109, 112, 17, 17, "&D"),
    Control("cbQuick", "pInstallpath", "Button", 2, 109, 136, 17, 17, "&S"),
    Control("cbStartmenu", "pInstallpath", "Button", 3, 109, 160, 17, 17, "&M"),
    *_labels("pInstallpath",
             _row("lbInstallpath", 24, 88, 79, 13, "&Installationspfad:"),
             _row("lbDesktop", 40, 112, 63, 13, "&Desktopicon:"),
             _row("lbQuick", 25, 136, 78, 13, "&Schnellstarticon:"),
             _row("lbStartmenu", 20, 160, 83, 13, "Start&menüeintrag:")),
    Control("pbInstall", "pInstall", "msctls_progress32", 0, 40, 168, 361, 16, "",
            hidden=True),
    *_labels("pInstall",
             _row("lbInstalling", 40, 152, 233, 13, "Norvista wird installiert. Bitte warten..."),
             _row("lbError", 40, 152, 289, 13,
                  "Kein Installationspaket gefunden. Setup.exe ist unvollständig.",
                  hidden=True)),
    Control("cbStartNV", "pSuccess", "Button", 0, 24, 120, 217, 17, "&Norvista starten"),
    *_labels("pSuccess",
             _row("lbFinish", 8, 8, 43, 13, "&Beenden", hidden=True),
             _row("lbSuccess1", 24, 40, 187, 24, "Norvista", "title"),
             _row("lbSuccess2", 24, 72, 127, 13, "wurde erfolgreich installiert."),
             _row("lbSuccess3", 24, 96, 290, 13,
                  "Klicken Sie auf <Beenden> um die Installation abzuschließen.")),
    *_labels("pError",
             _row("lbError1", 24, 40, 68, 24, "Fehler!", "title"),
             _row("lbError2", 24, 72, 266, 13,
                  "Das Installationsverzeichnis konnte nicht erstellt werden."),
             _row("lbError3", 24, 96, 332, 13,
                  "Klicken Sie auf <Zurück> und wählen Sie ein gültiges Verzeichnis aus.")),
    *_labels("pCopyError",
             _row("lbError4", 24, 40, 68, 24, "Fehler!", "title"),
             _row("lbError5", 24, 72, 289, 13,
                  "Beim Kopieren der Dateien. Eventuell verfügen Sie nicht über"),
             _row("lbError6", 24, 96, 305, 13,
                  "ausreichende Rechte. Kontaktieren Sie dazu Ihren Administrator.")),
    *_labels("pAdmin",
             _row("lbError7", 24, 40, 68, 24, "Fehler!", "title"),
             _row("lbError8", 24, 72, 221, 13, "Um Norvista installieren zu können"),
             _row("lbError9", 24, 96, 249, 13,
                  "benötigen Sie die Zugriffsrechte eines Administrators.")),
    *_labels("pTempdir",
             _row("lbError10", 24, 40, 68, 24, "Fehler!", "title"),
             _row("lbError11", 24, 72, 246, 13,
                  "Es konnte kein Temporärverzeichnis erstellt werden."),
             _row("lbError12", 24, 96, 254, 13,
                  'Kopieren Sie die Datei "Setup.exe" in ein Verzeichnis,'),
             _row("lbError13", 24, 120, 154, 13, "in dem Sie Schreibrechte haben.")),
    *_labels("pUninstall",
             _row("lbUninstall1", 24, 40, 318, 24, "Norvista deinstallieren", "title"),
             _row("lbUninstall2", 24, 72, 185, 13, "und alle seine Komponenten entfernen."),
             _row("lbUninstall3", 24, 96, 291, 13,
                  "Klicken Sie auf <Weiter> um die Deinstallation abzuschließen."),
             _row("lbUninstall4", 24, 120, 311, 13,
                  "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen.")),
    *_labels("pUnistalling",
             _row("lbUninstalling1", 24, 40, 363, 24, "Norvista wurde deinstalliert", "title"),
             _row("lbUninstalling2", 24, 72, 284, 13,
                  "Klicken Sie auf <Beenden> um den Vorgang abzuschließen.")),
]
CONTROLS = {control.name: control for control in LAYOUT}

# How the window's fonts are made: face, height (negative: character height), weight.
FONTS = {"window": ("MS Sans Serif", -11, 400), "title": ("MS Sans Serif", -19, 700),
         "large": ("MS Sans Serif", -19, 400)}


class Snapshot:
    """The wizard's windows at one moment, reachable by control name."""

    def __init__(self, items):
        # A window destroyed between listing and describing has no class any more.
        self.items = [item for item in items if item["class"]]
        self._children = {}
        for item in items:
            self._children.setdefault(item.get("parent_hwnd", 0), []).append(item)

    def children(self, parent_item=None):
        """Direct children of a window (of the wizard's client area when None), in z-order."""
        return self._children.get(parent_item["hwnd"] if parent_item else 0, [])

    def __getitem__(self, name):
        control = CONTROLS[name]
        parent = self[control.parent] if control.parent else None
        same_class = [c for c in self.children(parent) if c["class"] == control.cls]
        if control.ordinal >= len(same_class):
            raise AssertionError(f"{name}: no {control.cls} #{control.ordinal} in "
                                 f"{control.parent or 'the window'}")
        return same_class[control.ordinal]

    def shown(self, name):
        """The control's own visibility (its WS_VISIBLE bit, whatever its parent's)."""
        return bool(self[name]["style"] & WS_VISIBLE)

    def enabled(self, name):
        return bool(self[name]["enabled"])

    def text(self, name):
        return self[name]["text"]

    def page(self):
        """The one page panel shown; fails unless exactly one is."""
        shown = [name for name in PANELS if self.shown(name)]
        if len(shown) != 1:
            raise AssertionError(f"page panels shown: {shown}")
        return shown[0]

    def radio_items(self, name):
        """The buttons of a radio group, in item order."""
        return [c for c in self.children(self[name])
                if c["style"] & BS_TYPEMASK == BS_AUTORADIOBUTTON]

    def radio_caption(self, name):
        frames = [c for c in self.children(self[name]) if c["style"] & BS_TYPEMASK == BS_GROUPBOX]
        if len(frames) != 1:
            raise AssertionError(f"{name}: {len(frames)} group boxes")
        return frames[0]["text"]

    def chosen(self, name):
        """Index of the chosen item of a radio group, or -1."""
        checked = [i for i, c in enumerate(self.radio_items(name)) if c.get("checked")]
        if len(checked) > 1:
            raise AssertionError(f"{name}: several items chosen: {checked}")
        return checked[0] if checked else -1

    def name_of(self, hwnd):
        """The name of the control a window belongs to; a radio group's items are named
        "group[index]". None for a window of no named control."""
        for name in CONTROLS:
            item = self[name]
            if item["hwnd"] == hwnd:
                return name
            if item["class"] == "NvRadioGroup":
                for index, radio in enumerate(self.radio_items(name)):
                    if radio["hwnd"] == hwnd:
                        return f"{name}[{index}]"
        return None

    def texts(self):
        """Every window's text, keyed by its handle: a whole-window picture of the wording."""
        return {item["hwnd"]: item["text"] for item in self.items}

    def wording(self):
        """Every text of the window keyed by control name, radio items as "group[i]" and a
        group's caption as "group.caption"; stays comparable when windows are made anew."""
        out = {name: self.text(name) for name in CONTROLS}
        for name, control in CONTROLS.items():
            if control.cls == "NvRadioGroup":
                out[f"{name}.caption"] = self.radio_caption(name)
                for index, item in enumerate(self.radio_items(name)):
                    out[f"{name}[{index}]"] = item["text"]
        return out


class WizardTestCase(WineTestCase):
    """Starts a setup, finds its window, and offers the user's actions by caption or name.

    A test class may share one wizard among its tests: start it in setUpClass with
    start_shared_wizard; it is ended in tearDownClass.
    """

    shared_procs = []

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.shared_procs = []

    @classmethod
    def tearDownClass(cls):
        for proc in cls.shared_procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)
        if cls.shared_procs:
            cls.wine.poll(lambda: not cls.wine.has_window(WIZARD), 20, "the wizard to go")
        super().tearDownClass()

    @classmethod
    def start_shared_wizard(cls, exe=None, cwd=None, record=None):
        """Starts the wizard for the whole class. `record` (value name to text) is written as
        the installation record before the start; the class deletes it at its end."""
        cls.wine.reg_delete_key(SETUP_KEY)
        if record is not None:
            cls.addClassCleanup(cls.wine.reg_delete_key, SETUP_KEY)
            for value, data in record.items():
                cls.wine.reg_add(SETUP_KEY, value, data)
        proc = cls.wine.start(exe or cls.wine.dist / "Setup.exe", cwd=cwd)
        cls.shared_procs.append(proc)
        cls.wine.wait_window(WIZARD)
        return proc

    def setUp(self):
        super().setUp()
        if not self.shared_procs:
            # Each test starts its own wizard: none finds an installation record left behind.
            self.wine.reg_delete_key(SETUP_KEY)

    def start_wizard(self, exe=None, cwd=None):
        proc = self.start(exe or self.wine.dist / "Setup.exe", cwd=cwd)
        self.wine.wait_window(WIZARD)
        return proc

    # --- looking -------------------------------------------------------------------------
    def controls(self, title=WIZARD):
        return self.wine.controls(title)

    def snapshot(self):
        return Snapshot(self.controls())

    def wait_state(self, condition, what, timeout=20):
        """Polls snapshots until condition(snapshot) holds on two in a row that show the same
        windows and texts; returns the later one. A snapshot is taken window by window, so one
        taken while the wizard remakes windows (radio items on a language change) may be torn.
        """
        found = []

        def check():
            snap = self.snapshot()
            try:
                ok = bool(condition(snap))
            except AssertionError:
                ok = False
            previous = found[-1] if found else None
            settled = ok and previous is not None and previous.texts() == snap.texts()
            found.append(snap if ok else None)
            return settled

        self.wine.poll(check, timeout, what)
        return found[-1]

    def wait_page(self, panel, timeout=20):
        return self.wait_state(lambda snap: snap.page() == panel, f"page {panel}", timeout)

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

    def edit_text(self, index=0, title=WIZARD):
        edits = [c for c in self.controls(title) if c["class"] == "Edit"]
        return edits[index]["text"]

    def focused(self):
        """The control holding the keyboard focus (as the driver describes it)."""
        return self.wine.focus(WIZARD)

    def focus_name(self, snap=None):
        """The name of the control holding the focus (see Snapshot.name_of), or None."""
        try:
            hwnd = self.focused()["hwnd"]
        except AssertionError:
            return None  # no focus anywhere
        return (snap or self.snapshot()).name_of(hwnd)

    def wait_focus(self, name, timeout=20):
        snap = self.snapshot()
        self.wine.poll(lambda: self.focus_name(snap) == name, timeout, f"focus on {name}")

    # --- acting --------------------------------------------------------------------------
    def click(self, caption, title=WIZARD):
        self.wine.click(title, caption)

    def click_when_enabled(self, caption, timeout=20):
        self.wine.poll(lambda: self.button(caption)["enabled"], timeout, f"{caption!r} enabled")
        self.click(caption)

    def keys(self, *keys):
        self.wine.keys(WIZARD, *keys)

    def walk_to_folder_page(self, language="&English"):
        english = language == "&English"
        self.click(language)
        self.click_when_enabled("&Next" if english else "&Weiter")
        agree = "I &agree." if english else "Ich &stimme dem Vertrag zu."
        self.wait_text(agree)
        self.click(agree)
        self.click_when_enabled("&Next" if english else "&Weiter")
        self.wait_text("...")

    # --- pictures ---------------------------------------------------------------------------
    @classmethod
    def screenshot(cls, name, title=WIZARD):
        """A screenshot of the screen once the window is painted and has stopped changing."""
        info = cls.wine.window_info(title)
        box = (info["client_left"], info["client_top"], info["client_width"],
               info["client_height"])
        if title != WIZARD:
            return cls.wine.settled_screenshot(name, box)
        width = info["client_width"]

        def painted(pixels):
            # The background picture's dark rule (x = 205) is on screen.
            offset = (300 * width + 205) * 3
            return max(pixels[offset:offset + 3]) < 110

        return cls.wine.settled_screenshot(name, box, painted)

    @classmethod
    def client_region(cls, png, left, top, width, height, title=WIZARD):
        """Pixels of a rectangle given in the window's client coordinates."""
        info = cls.wine.window_info(title)
        return cls.wine.region(png, info["client_left"] + left, info["client_top"] + top,
                                width, height)

    @classmethod
    def info_picture(cls, png):
        """The step-number picture's pixels in a screenshot, as RGB bytes (cheap to compare;
        a failed comparison of pixel lists would make unittest diff thousands of tuples)."""
        info = cls.wine.window_info(WIZARD)
        left, top, width, height = INFO_PICTURE
        return cls.wine.region_bytes(png, info["client_left"] + left,
                                      info["client_top"] + top, width, height)
