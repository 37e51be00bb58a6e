"""Installing and removing Norvista under Wine as a user does, and checking the result from outside.

Shared by the installation, failure and whole-cycle tests and by the demo walk. Every change a
test makes to the shared prefix (the record's key, installation folders, shortcuts, the
quick-launch folder, temporary folders) is undone by cleanups registered when it is made, so the
scripts can run in any order in one prefix.
"""

import shutil
import struct
import subprocess
import tempfile
import zlib
from pathlib import Path

from harness import SETUP_KEY, WIZARD, Wine
from wizard import WizardTestCase

PRODUCT_WINDOW = "Norvista"
COMPANY_KEY = r"HKLM\Software\Halvorn"
# The product's entry in Windows' list of installed programs.
LIST_ENTRY = "Norvista"
LIST_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvista"

# The product's files as the demo product ships them, and where each is installed.
PRODUCT_FILES = {
    "Norvis.exe": "Norvis.exe",
    "Norvis.hlp": "Norvis.hlp",
    "Norvis_uk.hlp": "Norvis_uk.hlp",
    "Deutsch.lng": "Deutsch.lng",
    "English.lng": "English.lng",
    "NV.OBJ": "NV.OBJ",
    "brannok.wav": "brannok.wav",
    "Sorvelin.exe": "Updates\\Sorvelin.exe",
}
LINK_VALUES = ("DesktopLink", "QuicklaunchLink", "StartmenuLink", "SetupLink")
RECORD_VALUES = ("InstallPath",) + LINK_VALUES
QUICK_LAUNCH = r"\Microsoft\Internet Explorer\Quick Launch"


class Language:
    """The captions and texts a user sees in one language of the wizard."""

    def __init__(self, **texts):
        self.__dict__.update(texts)


ENGLISH = Language(
    name="English", choice="&English", next="&Next", previous="&Previous", cancel="&Cancel",
    finish="&Finish", licence="License Agreement", agree="I &agree.", disagree="I do n&ot agree.",
    desktop="&D", quick="&Q", startmenu="&M", start_product="&Start Norvista",
    installing="Installing Norvista. Please wait...",
    no_package="No installationpackage found. Setup.exe is damaged.",
    success="was installed successfully.",
    folder_error="The installationdirectory could not be created.",
    removal_offer="Uninstall Norvista", removed="Norvista was uninstalled",
    greeting="Welcome to Norvista! Glad to have you here.")
GERMAN = Language(
    name="Deutsch", choice="&Deutsch", next="&Weiter", previous="&Zur\u00fcck", cancel="&Abbrechen",
    finish="&Beenden", licence="Lizenzvertrag", agree="Ich &stimme dem Vertrag zu.",
    disagree="Ich stimme dem Vertrag &nicht zu.", desktop="&D", quick="&S", startmenu="&M",
    start_product="&Norvista starten", installing="Norvista wird installiert. Bitte warten...",
    no_package="Kein Installationspaket gefunden. Setup.exe ist unvollst\u00e4ndig.",
    success="wurde erfolgreich installiert.",
    folder_error="Das Installationsverzeichnis konnte nicht erstellt werden.",
    removal_offer="Norvista deinstallieren", removed="Norvista wurde deinstalliert",
    greeting="Willkommen bei Norvista! Sch\u00f6n, dass Sie da sind.")


class QuietWine(Wine):
    """Wine whose helper programs write their output to files rather than pipes.

    A Wine program may start a service process of the prefix (the desktop's explorer, for
    one) that inherits its output handles and lives on; reading a pipe to its end would then
    wait for that process. Files have no such end to wait for.
    """

    def run(self, args, timeout=60, check=True, cwd=None):
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.Popen(["wine", *map(str, args)], env=self.env, cwd=cwd,
                                    stdout=out, stderr=err, stdin=subprocess.DEVNULL)
            try:
                code = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(args, code, out.read(), err.read())
        if check and code != 0:
            raise AssertionError(
                f"wine {args} exited {code}: {result.stderr.decode(errors='replace')}")
        return result

    def reg_values(self, key):
        """The values of a registry key by lower-case name, or None without the key: texts as
        str, DWORDs as int.

        Read through an export file: `reg query` writes in the console's OEM code page,
        which would garble the non-ASCII letters of a path.
        """
        with tempfile.TemporaryDirectory() as scratch:
            export = Path(scratch) / "key.reg"
            if self.run(["reg", "export", key, self.windows_path(export), "/y"],
                        check=False).returncode != 0:
                return None
            lines = export.read_bytes().decode("utf-16").splitlines()
        header = "[" + key.replace("HKLM\\", "HKEY_LOCAL_MACHINE\\", 1) + "]"
        values = {}
        inside = False
        for line in lines:
            if line.startswith("["):
                inside = line.lower() == header.lower()
            elif inside and line.startswith('"'):
                name, value = self._reg_line(line)
                if value is not None:
                    values[name.lower()] = value
        return values

    @staticmethod
    def _reg_line(line):
        """Name and value of one line of an export: the text of `"name"="text"`, the number of
        `"name"=dword:hex`, None for other types."""
        def quoted(text, start):
            out, i = [], start + 1
            while text[i] != '"':
                if text[i] == "\\":
                    i += 1
                out.append(text[i])
                i += 1
            return "".join(out), i + 1

        name, end = quoted(line, 0)
        rest = line[end:]
        if rest.startswith("=dword:"):
            return name, int(rest[len("=dword:"):], 16)
        if not rest.startswith('="'):
            return name, None
        return name, quoted(rest, 1)[0]

    def reg_query(self, key, value):
        values = self.reg_values(key)
        return None if values is None else values.get(value.lower())

    def reg_key_exists(self, key):
        return self.reg_values(key) is not None

    def listed_programs(self):
        """Windows' list of installed programs as Wine's own uninstaller lists it: (key,
        display name) pairs. It writes them to its error output, one "key|||name" a line."""
        proc = self.run(["uninstaller", "--list"])
        listed = []
        for line in (proc.stdout + proc.stderr).decode("cp1252", errors="replace").splitlines():
            key, bar, name = line.partition("|||")
            if bar:
                listed.append((key, name))
        return listed

    def running_programs(self):
        """The Windows programs running in this prefix, as the paths they were started by.
        Wine shows each one's path as the command line of its Linux process."""
        programs = []
        for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
            try:
                args = cmdline.read_bytes().split(b"\0")
                environ = (cmdline.parent / "environ").read_bytes().split(b"\0")
            except OSError:
                continue  # ended meanwhile, or not ours to read
            if f"WINEPREFIX={self.prefix}".encode() in environ and args[0]:
                programs.append(args[0].decode("utf-8", errors="replace"))
        return programs

    def shell_folders(self):
        """The prefix's own folders, as its command shell names them."""
        if not hasattr(self, "_folders"):
            names = ("APPDATA", "PUBLIC", "ProgramData", "ProgramFiles")
            line = self.run(["cmd", "/c", "echo " + "^|".join(f"%{n}%" for n in names)])
            values = line.stdout.decode("cp1252").strip().split("|")
            self._folders = dict(zip(names, values))
        return self._folders

    def unix_path(self, windows_path):
        """The Unix path of a C: or Z: path, letters matched without regard to case."""
        drive, _, rest = windows_path.partition(":")
        root = {"c": self.drive_c, "z": Path("/")}[drive.lower()]
        path = root
        for part in (p for p in rest.split("\\") if p):
            exact = path / part
            if not exact.exists() and path.is_dir():
                for entry in path.iterdir():
                    if entry.name.lower() == part.lower():
                        exact = entry
                        break
            path = exact
        return path


def expected_links(folders):
    """The four shortcut files the installation makes, by record value."""
    programs = folders["ProgramData"] + r"\Microsoft\Windows\Start Menu\Programs\Norvista"
    return {
        "DesktopLink": folders["PUBLIC"] + r"\Desktop\Norvista.lnk",
        "QuicklaunchLink": folders["APPDATA"] + QUICK_LAUNCH + r"\Norvista.lnk",
        "StartmenuLink": programs + r"\Norvista.lnk",
        "SetupLink": programs + r"\Uninstall.lnk",
    }


def damaged_setup(stub, product_dir, checksum_offset=1):
    """A setup whose payload holds the product's files but a stored checksum that is off."""
    entries = bytearray()
    total = 0
    for name in PRODUCT_FILES:
        data = (Path(product_dir) / name).read_bytes()
        total += sum(data)
        encoded = name.encode("cp1252")
        entries += struct.pack("<H", len(encoded)) + encoded + struct.pack("<I", len(data)) + data
    entries += struct.pack("<HI", 0, (total + checksum_offset) & 0xFFFFFFFF)
    blocks = bytearray()
    for start in range(0, len(entries), 16384):
        block = zlib.compress(bytes(entries[start:start + 16384]), 9)
        blocks += struct.pack("<H", len(block)) + block
    blocks += struct.pack("<H", 0)
    stub_bytes = Path(stub).read_bytes()
    return stub_bytes + bytes(blocks) + struct.pack("<I", len(stub_bytes))


class InstallTestCase(WizardTestCase):
    """A wizard test that installs: a scratch current folder and full clean-up afterwards."""

    @classmethod
    def setUpClass(cls):
        cls.wine = QuietWine()

    def setUp(self):
        super().setUp()
        self.folders = self.wine.shell_folders()
        self.links = expected_links(self.folders)
        self.default_folder = self.folders["ProgramFiles"] + "\\Norvista\\"
        self.scratch = Path(tempfile.mkdtemp(prefix="nv-e2e-"))
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)
        self.addCleanup(self.close_product)
        self.addCleanup(self.remove_installation_traces)
        self.installed_folders = [self.default_folder]
        self.remove_installation_traces()

    # --- clean-up ------------------------------------------------------------------------
    def remove_installation_traces(self):
        """Removes everything an installation of Norvista may leave in the prefix."""
        self.wine.reg_delete_key(COMPANY_KEY)  # the record's key and its parent, both ours
        self.wine.reg_delete_key(LIST_KEY)
        for folder in self.installed_folders:
            shutil.rmtree(self.wine.unix_path(folder), ignore_errors=True)
        for value in ("DesktopLink", "QuicklaunchLink"):
            self.wine.unix_path(self.links[value]).unlink(missing_ok=True)
        shutil.rmtree(self.wine.unix_path(self.links["StartmenuLink"]).parent, ignore_errors=True)
        shutil.rmtree(self.wine.drive_c / "tempnv", ignore_errors=True)

    def close_product(self):
        while self.wine.has_window(PRODUCT_WINDOW):
            self.wine.close(PRODUCT_WINDOW)
            self.wine.wait_gone(PRODUCT_WINDOW)

    def quick_launch_folder(self, present):
        """Makes the quick-launch folder exist or not for this test; restored afterwards."""
        folder = self.wine.unix_path(self.folders["APPDATA"] + QUICK_LAUNCH)
        if present and not folder.exists():
            first_missing = folder
            while not first_missing.parent.exists():
                first_missing = first_missing.parent
            folder.mkdir(parents=True)
            self.addCleanup(shutil.rmtree, first_missing, ignore_errors=True)
        elif not present and folder.exists():
            aside = folder.with_name(folder.name + ".nv-e2e-aside")
            folder.rename(aside)
            self.addCleanup(aside.rename, folder)
            self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        return folder

    # --- the user's steps ----------------------------------------------------------------
    def start_setup(self, exe=None, cwd=None):
        """Starts a setup with its current folder in `cwd` (the scratch folder by default)."""
        return self.start_wizard(exe or self.wine.dist / "Setup.exe", cwd=str(cwd or self.scratch))

    def choose_language(self, lang):
        self.click(lang.choice)
        self.wine.poll(lambda: self.button(lang.next)["enabled"], 20, f"{lang.next} enabled")

    def walk_to_folder_page(self, lang=ENGLISH):
        self.choose_language(lang)
        self.click(lang.next)
        self.wait_text(lang.agree)
        self.assertFalse(self.button(lang.next)["enabled"], "Next before agreeing")
        self.click(lang.agree)
        self.click_when_enabled(lang.next)
        self.wait_text("...")

    def set_folder(self, folder):
        self.wine.set_text(WIZARD, 0, folder)
        self.wine.poll(lambda: self.edit_text() == folder, 20, f"folder field {folder!r}")

    def set_shortcuts(self, lang, desktop=True, quick=True, startmenu=True):
        for caption, wanted in ((lang.desktop, desktop), (lang.quick, quick),
                                (lang.startmenu, startmenu)):
            if self.button(caption)["checked"] != wanted:
                self.click(caption)
                self.wine.poll(lambda c=caption: self.button(c)["checked"] == wanted, 20,
                               f"{caption} checked={wanted}")

    def install(self, lang=ENGLISH, folder=None, exe=None, cwd=None, **shortcuts):
        """Walks a fresh setup to the success page; returns the setup's process."""
        proc = self.start_setup(exe, cwd)
        self.walk_to_folder_page(lang)
        if folder is not None:
            self.set_folder(folder)
        if shortcuts:
            self.set_shortcuts(lang, **shortcuts)
        self.click(lang.next)
        self.wait_success(lang)
        return proc

    def wait_success(self, lang):
        self.wait_text(lang.success, timeout=120)
        self.assertFalse(self.button(lang.next)["enabled"])
        self.assertFalse(self.button(lang.previous)["enabled"])
        self.assertTrue(self.button(lang.finish)["enabled"])

    def finish(self, proc, lang=ENGLISH, start_product=False):
        """Presses Finish on the success page with the start box as asked."""
        if self.button(lang.start_product)["checked"] != start_product:
            self.click(lang.start_product)
            self.wine.poll(lambda: self.button(lang.start_product)["checked"] == start_product,
                           20, "start box")
        self.click(lang.finish)
        self.assertEqual(self.wine.wait_exit(proc, timeout=60), 0)

    def start_removal_from_list(self):
        """Starts the removal the way the list of installed programs does: Wine's uninstaller
        runs the entry's UninstallString and waits for it. Returns the uninstaller's process."""
        proc = subprocess.Popen(["wine", "uninstaller", "--remove", LIST_ENTRY], env=self.wine.env,
                                cwd=str(self.scratch), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        self.wine.wait_window(WIZARD)
        return proc

    def product_greeting(self):
        """Waits for the product's window and returns the greeting it shows."""
        self.wine.wait_window(PRODUCT_WINDOW)
        texts = [c["text"] for c in self.wine.controls(PRODUCT_WINDOW)
                 if c["class"] == "Static" and c["visible"]]
        self.assertEqual(len(texts), 1, texts)
        return texts[0]

    # --- checks from outside -------------------------------------------------------------
    def record(self):
        values = self.wine.reg_values(SETUP_KEY) or {}
        return {name: values.get(name.lower()) for name in RECORD_VALUES}

    def assert_no_temporary_folder(self, *current_folders):
        for folder in (self.wine.drive_c, *current_folders):
            self.assertFalse((Path(folder) / "tempnv").exists(), f"tempnv left in {folder}")

    def assert_product_files(self, folder, setup):
        """The eight product files and the setup copy, byte for byte."""
        unix = self.wine.unix_path(folder)
        for name, installed in PRODUCT_FILES.items():
            path = unix / installed.replace("\\", "/")
            self.assertTrue(path.is_file(), f"{installed} missing")
            self.assertEqual(path.read_bytes(), (self.wine.dist / "product" / name).read_bytes(),
                             f"{installed} differs from the shipped file")
        self.assertEqual((unix / "Setup.exe").read_bytes(), Path(setup).read_bytes(),
                         "Setup.exe is not a copy of the setup that ran")

    def assert_language(self, folder, language):
        ini = self.wine.read_ini(self.wine.unix_path(folder) / "norvis.ini")
        self.assertEqual(ini["GENERAL"]["LANGUAGE"], language)

    def assert_link(self, link, target, folder):
        """A shortcut file pointing at `target` in `folder` (which ends in a backslash)."""
        path = self.wine.unix_path(link)
        self.assertTrue(path.is_file(), f"shortcut {link} missing")
        info = self.wine.lnkinfo(path)
        self.assertEqual(info.get("Local path"), target, link)
        self.assertEqual(info.get("Working directory"), folder, link)
        self.assertEqual(info.get("Icon location"), target, link)
        self.assertEqual(info.get("Icon index"), "0", link)

    def assert_listed(self, folder, setup):
        """Norvista, installed in `folder`, once in Windows' list of installed programs."""
        self.assertEqual([entry for entry in self.wine.listed_programs() if "Norvista" in entry[1]],
                         [(LIST_ENTRY, "Norvista")])
        size = Path(setup).stat().st_size + sum(
            (self.wine.dist / "product" / name).stat().st_size for name in PRODUCT_FILES)
        self.assertEqual(self.wine.reg_values(LIST_KEY), {
            "displayname": "Norvista",
            "publisher": "Halvorn",
            "installlocation": folder,
            "displayicon": folder + "Norvis.exe",
            "uninstallstring": '"' + folder + 'Setup.exe"',
            "estimatedsize": (size + 1023) // 1024,
            "nomodify": 1,
            "norepair": 1,
        })

    def assert_not_listed(self):
        self.assertEqual([entry for entry in self.wine.listed_programs() if "Norvista" in entry[1]],
                         [])
        self.assertFalse(self.wine.reg_key_exists(LIST_KEY))

    def assert_installed(self, folder, language, setup, quick_file=True, shortcuts=True):
        """Everything a successful installation into `folder` leaves behind."""
        self.assert_product_files(folder, setup)
        self.assert_language(folder, language)
        self.assert_listed(folder, setup)
        record = self.record()
        self.assertEqual(record["InstallPath"], folder)
        if not shortcuts:
            self.assertEqual([record[v] for v in LINK_VALUES], ["", "", "", ""])
            for value in LINK_VALUES:
                self.assertFalse(self.wine.unix_path(self.links[value]).exists(), value)
            return
        for value in LINK_VALUES:
            self.assertEqual(record[value], self.links[value], value)
        product = folder + "Norvis.exe"
        self.assert_link(self.links["DesktopLink"], product, folder)
        self.assert_link(self.links["StartmenuLink"], product, folder)
        self.assert_link(self.links["SetupLink"], folder + "Setup.exe", folder)
        if quick_file:
            self.assert_link(self.links["QuicklaunchLink"], product, folder)
        else:
            self.assertFalse(self.wine.unix_path(self.links["QuicklaunchLink"]).exists())

