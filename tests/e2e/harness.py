"""Drives Windows programs under Wine as a user would, and checks their results from outside.

Tests get a `Wine` object bound to the private environment that winenv.py started (its state
folder is named by NV_E2E_STATE). The UI is driven through nvdriver.exe; results are read from
the prefix's drive_c, `wine reg query`, INI files, `lnkinfo` and screenshots.
"""

import configparser
import json
import os
import selectors
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import winenv

WIZARD = "Norvista Installer"
SETUP_KEY = r"HKLM\Software\Halvorn\Norvista"


def decode(text):
    """nvdriver reports Windows-1252 bytes as code points 0-255; turn them into text."""
    return text.encode("latin-1").decode("cp1252", errors="replace")


class SessionFailed(AssertionError):
    def __init__(self, message, before_first_answer):
        super().__init__(message)
        self.before_first_answer = before_first_answer


class DriverSession:
    """One nvdriver process answering many commands ("nvdriver serve"): starting a Windows
    program under Wine costs far more than any command, so tests share one."""

    def __init__(self, wine):
        # Wine's own messages go to a file: they explain a session that ends at once.
        self.stderr = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(["wine", str(wine.driver_exe), "serve"], env=wine.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.stderr)
        self.buffer = b""
        self.answered = 0
        self.wine_said = ""

    def alive(self):
        return self.proc.poll() is None

    def call(self, args, timeout):
        line = "\t".join("hex:" + driver_bytes(arg).hex() for arg in args) + "\n"
        deadline = time.monotonic() + timeout
        try:
            self.proc.stdin.write(line.encode("ascii"))
            self.proc.stdin.flush()
            header = self._read_until(b"\n", deadline).decode("ascii").split()
            code, out_length, err_length = (int(field) for field in header)
            out = self._read_exact(out_length, deadline)
            err = self._read_exact(err_length, deadline)
        except (OSError, ValueError) as error:
            self.close()
            raise SessionFailed(f"nvdriver {list(args)}: session failed: {error}\n"
                                f"{self.wine_said}",
                                before_first_answer=self.answered == 0) from error
        self.answered += 1
        return subprocess.CompletedProcess(list(args), code, out, err)

    def _fill(self, deadline):
        with selectors.DefaultSelector() as selector:
            selector.register(self.proc.stdout, selectors.EVENT_READ)
            left = deadline - time.monotonic()
            if left <= 0 or not selector.select(left):
                self.close()
                raise subprocess.TimeoutExpired("nvdriver serve", 0)
        chunk = os.read(self.proc.stdout.fileno(), 65536)
        if not chunk:
            raise OSError("nvdriver ended")
        self.buffer += chunk

    def _read_until(self, marker, deadline):
        while marker not in self.buffer:
            self._fill(deadline)
        head, _, self.buffer = self.buffer.partition(marker)
        return head

    def _read_exact(self, count, deadline):
        while len(self.buffer) < count:
            self._fill(deadline)
        head, self.buffer = self.buffer[:count], self.buffer[count:]
        return head

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()
                self.proc.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait(timeout=10)
        self.proc.stdout.close()
        if not self.stderr.closed:
            self.stderr.seek(0)
            self.wine_said = self.stderr.read().decode(errors="replace")[-2000:]
            self.stderr.close()


def driver_bytes(arg):
    """The Windows-1252 bytes an argument stands for. They travel to nvdriver hex-encoded:
    Wine converts a program's command line from the Unix locale's encoding, so a title such as
    "Bestätigung" would arrive intact only under a UTF-8 locale."""
    return arg if isinstance(arg, bytes) else str(arg).encode("cp1252")


class Wine:
    def __init__(self, state_dir=None):
        state_dir = Path(state_dir or os.environ["NV_E2E_STATE"])
        state = json.loads((state_dir / winenv.STATE_FILE).read_text())
        self.display = state["display"]
        self.prefix = Path(state["prefix"])
        self.env = winenv.wine_environment(self.prefix, self.display)
        self.dist = Path(os.environ.get("NV_DIST", "dist")).resolve()
        self.win_build = Path(os.environ.get("NV_WIN_BUILD", "build/windows")).resolve()
        self.driver_exe = self.win_build / "tests/e2e/driver/nvdriver.exe"
        self.screens = Path(os.environ.get("NV_SCREENS", "build/screens")).resolve()
        self.session = None

    # --- paths -----------------------------------------------------------------------------
    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    @staticmethod
    def windows_path(unix_path):
        """The path a Windows program sees for a Unix path (Wine maps / to Z:)."""
        return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")

    # --- programs --------------------------------------------------------------------------
    def run(self, args, timeout=60, check=True, cwd=None, env=None):
        """Runs a program to its end, with `env` added to the environment. Its output goes
        through files, not pipes: a Wine service it starts (the desktop process, say) would hold
        a pipe open long after it ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            returncode = subprocess.run(["wine", *map(str, args)], env={**self.env, **(env or {})},
                                        cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                        stderr=err, timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            proc = subprocess.CompletedProcess(args, returncode, out.read(), err.read())
        if check and proc.returncode != 0:
            raise AssertionError(
                f"wine {args} exited {proc.returncode}: {proc.stderr.decode(errors='replace')}")
        return proc

    def start(self, exe, cwd=None):
        """Starts a GUI program; returns its Popen. Its current folder is cwd (a Unix folder)."""
        return subprocess.Popen(["wine", str(exe)], env=self.env, cwd=cwd,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def wait_exit(proc, timeout=20):
        return proc.wait(timeout=timeout)

    def driver(self, *args, check=True, timeout=60):
        if self.session is None or not self.session.alive():
            self.session = DriverSession(self)
        try:
            proc = self.session.call(args, timeout)
        except SessionFailed as failure:
            # A Wine process now and then ends before it runs at all; a session that had
            # answered nothing is started once more. One that fails later fails the test.
            if not failure.before_first_answer:
                raise
            self.session = DriverSession(self)
            proc = self.session.call(args, timeout)
        if check and proc.returncode != 0:
            raise AssertionError(f"nvdriver {args}: {proc.stderr.decode(errors='replace')}")
        return proc

    # --- windows and controls --------------------------------------------------------------
    def wait_window(self, title, timeout_ms=20000):
        self.driver("wait", title, str(timeout_ms))

    def has_window(self, title):
        return self.driver("wait", title, "0", check=False).returncode == 0

    def wait_gone(self, title, timeout_ms=20000):
        self.driver("gone", title, str(timeout_ms))

    def window_info(self, title):
        """Frame (left, top, width, height), client size and screen origin (client_left,
        client_top), style, ex_style and the screen's size."""
        return json.loads(self.driver("window", title).stdout)

    def text_size(self, face, height, weight, *texts):
        """How a font made from (face, height, weight) measures here: face, line_height,
        char_height, weight, and the width of each text as a label draws it."""
        out = self.driver("textsize", face, str(height), str(weight), *texts).stdout
        return json.loads(out)

    def controls(self, title):
        items = []
        for line in self.driver("controls", title).stdout.decode().splitlines():
            item = json.loads(line)
            item["text"] = decode(item["text"])
            item["parent"] = decode(item["parent"])
            items.append(item)
        return items

    def control(self, title, text, cls=None):
        for item in self.controls(title):
            if item["text"] == text and (cls is None or item["class"] == cls):
                return item
        raise AssertionError(f"no control {text!r} in {title!r}")

    def click(self, title, caption):
        self.driver("click", title, caption)

    def set_text(self, title, index, text):
        self.driver("settext", title, str(index), text)

    def keys(self, title, *keys):
        self.driver("keys", title, *keys)

    def focus(self, title):
        item = json.loads(self.driver("focus", title).stdout)
        item["text"] = decode(item["text"])
        return item

    def close(self, title):
        self.driver("close", title)

    def end_driver(self):
        """Ends the shared nvdriver process (a new one starts with the next command)."""
        if self.session is not None:
            self.session.close()
            self.session = None

    @staticmethod
    def poll(condition, timeout=20, what="condition"):
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {what}")
            time.sleep(0.1)

    # --- results from outside --------------------------------------------------------------
    def screenshot(self, name):
        self.screens.mkdir(parents=True, exist_ok=True)
        path = self.screens / f"{name}.png"
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       check=True, capture_output=True)
        return path

    def pixel(self, png, x, y):
        """(r, g, b) of a pixel of a screenshot."""
        out = subprocess.run(["convert", str(png), "-crop", f"1x1+{x}+{y}", "-depth", "8",
                              "rgb:-"], check=True, capture_output=True).stdout
        return tuple(out[:3])

    @staticmethod
    def region_bytes(png, x, y, width, height):
        """The pixels of a rectangle of a screenshot as RGB bytes, row by row."""
        out = subprocess.run(["convert", str(png), "-crop", f"{width}x{height}+{x}+{y}",
                              "+repage", "-depth", "8", "rgb:-"],
                             check=True, capture_output=True).stdout
        if len(out) != width * height * 3:
            raise AssertionError(f"{png}: {width}x{height}+{x}+{y} lies outside the picture")
        return out

    @classmethod
    def region(cls, png, x, y, width, height):
        """The pixels of a rectangle of a screenshot: a list of rows of (r, g, b)."""
        out = cls.region_bytes(png, x, y, width, height)
        return [[tuple(out[(row * width + col) * 3:(row * width + col) * 3 + 3])
                 for col in range(width)] for row in range(height)]

    def settled_screenshot(self, name, box, ready=None, timeout=20):
        """A screenshot taken once the rectangle `box` (x, y, width, height on the screen) has
        stopped changing: two shots in a row alike, and ready(pixels) true when given."""
        previous = None
        deadline = time.monotonic() + timeout
        while True:
            png = self.screenshot(name)
            pixels = self.region_bytes(png, *box)
            if pixels == previous and (ready is None or ready(pixels)):
                return png
            if time.monotonic() > deadline:
                raise AssertionError(f"the screen did not settle for {name}")
            previous = pixels
            time.sleep(0.1)

    # Registry access goes through nvdriver (one running program) rather than `wine reg`
    # (a program start each); both see the same registry.
    REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4

    def reg_query(self, key, value):
        """The data of a registry value as text, or None when it (or its key) is missing.
        Text values come as they are, numbers as "0x..." (as `reg query` prints them)."""
        proc = self.driver("regquery", key, value, check=False)
        if proc.returncode != 0:
            return None
        found = json.loads(proc.stdout)
        data = bytes.fromhex(found["data"])
        if found["type"] in (self.REG_SZ, self.REG_EXPAND_SZ):
            return data.decode("cp1252", errors="replace").split("\0", 1)[0]
        if found["type"] == self.REG_DWORD and len(data) == 4:
            return hex(int.from_bytes(data, "little"))
        return self._reg_query_text(key, value)

    def _reg_query_text(self, key, value):
        proc = self.run(["reg", "query", key, "/v", value], check=False)
        if proc.returncode != 0:
            return None
        for line in proc.stdout.decode("cp1252", errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    def reg_key_exists(self, key):
        return self.driver("regexists", key, check=False).returncode == 0

    def reg_add(self, key, value, data, kind="REG_SZ"):
        if kind == "REG_SZ":
            self.driver("regset", key, value, data)
        else:
            self.run(["reg", "add", key, "/v", value, "/t", kind, "/d", data, "/f"])

    def reg_delete_key(self, key):
        self.driver("regdelete", key, check=False)

    @staticmethod
    def read_ini(path):
        parser = configparser.ConfigParser()
        parser.read_string(Path(path).read_bytes().decode("cp1252"))
        return parser

    @staticmethod
    def lnkinfo(path):
        out = subprocess.run(["lnkinfo", str(path)], check=True, capture_output=True).stdout
        fields = {}
        for line in out.decode(errors="replace").splitlines():
            if ":" in line:
                key, _, value = line.partition(":")
                fields.setdefault(key.strip(), value.strip())
        return fields


class WineTestCase(unittest.TestCase):
    """Base class: one Wine per test class; programs a test started are ended afterwards."""

    @classmethod
    def setUpClass(cls):
        cls.wine = Wine()

    @classmethod
    def tearDownClass(cls):
        cls.wine.end_driver()

    def setUp(self):
        self.procs = []

    def tearDown(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)

    def start(self, exe, cwd=None):
        proc = self.wine.start(exe, cwd=cwd)
        self.procs.append(proc)
        return proc
