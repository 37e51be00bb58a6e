"""nvpack from the outside: a payload written by an independent writer (Python's zlib) read
back by nvpack, nvpack's payload read by an independent reader, byte-identical output for any
--jobs, and the command-line errors.

usage: python3 nvpack_cli_test.py NVPACK SCRATCH_DIR
"""

import os
import pty
import shutil
import signal
import struct
import subprocess
import sys
import time
import unittest
import zlib

NVPACK = ""
SCRATCH = ""


STUB_MARK = b"Norvista setup stub\0"


def stub_mark_resources(rva):
    """A resource tree holding the setup stub's mark: RCDATA "NVSETUPSTUB", language 0x409."""
    tree = bytearray(0x70)
    struct.pack_into("<12xHHII", tree, 0x00, 0, 1, 10, 0x80000018)
    struct.pack_into("<12xHHII", tree, 0x18, 1, 0, 0x80000058, 0x80000030)
    struct.pack_into("<12xHHII", tree, 0x30, 0, 1, 0x409, 0x48)
    struct.pack_into("<II", tree, 0x48, rva + 0x70, len(STUB_MARK))
    struct.pack_into("<H", tree, 0x58, 11)
    tree[0x5A:0x70] = "NVSETUPSTUB".encode("utf-16-le")
    return bytes(tree) + STUB_MARK


def make_stub(directories=16, mark=True):
    """A minimal PE32+ image with one 512-byte section; its image ends at 1024. With `mark` the
    section holds the setup stub's mark, as Setup-stub.exe carries it. A signing tool needs
    `directories` of 5 or more (the security directory is the fifth)."""
    stub = bytearray(1024)
    stub[0:2] = b"MZ"
    struct.pack_into("<I", stub, 0x3C, 0x40)
    stub[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH", stub, 0x44, 0x8664, 1)
    struct.pack_into("<HH", stub, 0x54, 240, 0x22)
    struct.pack_into("<H", stub, 0x58, 0x20B)
    struct.pack_into("<I", stub, 0x58 + 108, directories)
    section = 0x40 + 24 + 240
    stub[section:section + 5] = b".text"
    struct.pack_into("<IIII", stub, section + 8, 512, 0x1000, 512, 512)
    if mark:
        tree = stub_mark_resources(0x1000)
        stub[512:512 + len(tree)] = tree
        struct.pack_into("<II", stub, 0x58 + 112 + 8 * 2, 0x1000, len(tree))
    return bytes(stub)


def entry_stream(entries):
    out = bytearray()
    for name, data in entries:
        out += struct.pack("<H", len(name)) + name + struct.pack("<I", len(data)) + data
    out += struct.pack("<HI", 0, sum(b for _, data in entries for b in data) & 0xFFFFFFFF)
    return bytes(out)


def write_setup(stub, entries, piece, level, ignored=b""):
    """Our own writer of the payload format; `ignored` goes between end marker and trailer."""
    stream = entry_stream(entries)
    out = bytearray(stub)
    for at in range(0, len(stream), piece):
        block = zlib.compress(stream[at:at + piece], level)
        assert len(block) <= 32768
        out += struct.pack("<H", len(block)) + block
    out += struct.pack("<H", 0) + ignored + struct.pack("<I", len(stub))
    return bytes(out)


def read_setup(setup):
    """Our own reader: returns [(name, data)] and checks the checksum."""
    (offset,) = struct.unpack_from("<I", setup, len(setup) - 4)
    at = offset
    stream = bytearray()
    while True:
        (length,) = struct.unpack_from("<H", setup, at)
        at += 2
        if length == 0:
            break
        assert length <= 32768
        stream += zlib.decompress(setup[at:at + length])
        at += length
    entries = []
    at = 0
    while True:
        (name_length,) = struct.unpack_from("<H", stream, at)
        at += 2
        if name_length == 0:
            break
        name = bytes(stream[at:at + name_length])
        (size,) = struct.unpack_from("<I", stream, at + name_length)
        at += name_length + 4
        entries.append((name, bytes(stream[at:at + size])))
        at += size
    (stored,) = struct.unpack_from("<I", stream, at)
    assert stored == sum(b for _, data in entries for b in data) & 0xFFFFFFFF
    return entries


def noise(size, seed):
    out = bytearray(size)
    x = seed * 2654435761 + 1
    for i in range(size):
        x = (x * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        out[i] = x >> 56
    return bytes(out)


def text(size, seed):
    words = [b"norvista ", b"setup ", b"payload ", b"\r\n", b"entry ", b"zlib "]
    out = bytearray()
    x = seed
    while len(out) < size:
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        out += words[(x >> 16) % len(words)]
    return bytes(out[:size])


PRODUCT = [
    (b"Sorvelin.exe", noise(30000, 1)),
    (b"Norvis.exe", text(120000, 2)),
    (b"Norvis.hlp", text(16384, 3)),
    (b"Norvis_uk.hlp", text(8191, 4)),
    (b"brannok.wav", noise(3272, 5)),
    (b"NV.OBJ", text(55, 6)),
    (b"Deutsch.lng", b""),
    (b"English.lng", b""),
]


def run(*args, env=None, cwd=None):
    return subprocess.run([NVPACK, *args], capture_output=True, text=True, errors="replace",
                          timeout=120, env=env, cwd=cwd)


class Base(unittest.TestCase):
    def setUp(self):
        self.dir = os.path.join(SCRATCH, self.id().split(".")[-1])
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def product_files(self):
        os.makedirs(self.path("in"), exist_ok=True)
        return [self.write(os.path.join("in", name.decode()), data) for name, data in PRODUCT]


class IndependentWriterAndReader(Base):
    def test_nvpack_reads_a_payload_written_with_pythons_zlib(self):
        for piece, level in ((32768, 9), (5000, 6), (100, 1), (40000, 9)):
            setup = self.write("setup.exe", write_setup(make_stub(), PRODUCT, piece, level))
            result = run("verify", setup)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            shutil.rmtree(self.path("out"), ignore_errors=True)
            result = run("extract", setup, self.path("out"))
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(sorted(os.listdir(self.path("out"))),
                             sorted(name.decode() for name, _ in PRODUCT))
            for name, data in PRODUCT:
                self.assertEqual(self.read(os.path.join("out", name.decode())), data)

    def test_pythons_reader_reads_a_payload_written_by_nvpack(self):
        stub = self.write("stub.exe", make_stub())
        result = run("build", "--stub", stub, "--out", self.path("setup.exe"), *self.product_files())
        self.assertEqual(result.returncode, 0, result.stderr)
        setup = self.read("setup.exe")
        self.assertEqual(setup[:1024], make_stub())
        self.assertEqual(read_setup(setup), PRODUCT)
        self.assertEqual(setup[1024 + 2:1024 + 4], b"\x78\xda")

    def test_list_shows_offset_blocks_entries_and_checksums(self):
        setup = self.write("setup.exe", write_setup(make_stub(), PRODUCT, 32768, 9))
        result = run("list", setup)
        self.assertEqual(result.returncode, 0, result.stderr)
        checksum = "0x%08X" % (sum(b for _, d in PRODUCT for b in d) & 0xFFFFFFFF)
        self.assertIn("payload offset     1024", result.stdout)
        self.assertIn("blocks             %d" % -(-len(entry_stream(PRODUCT)) // 32768),
                      result.stdout)
        self.assertIn("stored checksum    " + checksum, result.stdout)
        self.assertIn("computed checksum  " + checksum, result.stdout)
        self.assertIn("signature          none\n", result.stdout)
        for name, data in PRODUCT:
            self.assertRegex(result.stdout, r"\s%d  %s\n" % (len(data), name.decode()))


class Build(Base):
    def build(self, *options):
        stub = self.write("stub.exe", make_stub())
        out = self.path("setup.exe")
        result = run("build", "--stub", stub, "--out", out, *options, *self.product_files())
        self.assertEqual(result.returncode, 0, result.stderr)
        return self.read("setup.exe")

    def test_output_is_byte_identical_for_any_jobs(self):
        for piece in ("32768", "3000"):
            one = self.build("--jobs", "1", "--piece", piece)
            for jobs in ("2", "3", "16"):
                self.assertEqual(self.build("--jobs", jobs, "--piece", piece), one, jobs)
            self.assertEqual(self.build("--piece", piece), one)

    def test_level_and_piece_change_the_blocks_but_not_the_content(self):
        default = self.build()
        for options in (("--level", "0"), ("--level", "1", "--piece", "777")):
            setup = self.build(*options)
            self.assertNotEqual(setup, default)
            self.assertEqual(read_setup(setup), PRODUCT)


class CommandLineErrors(Base):
    def expect(self, args, code, *texts):
        result = run(*args)
        self.assertEqual(result.returncode, code, result.stdout + result.stderr)
        for text_ in texts:
            self.assertIn(text_, result.stdout + result.stderr)
        return result

    def build_args(self, *files, stub=None):
        return ["build", "--stub", stub or self.write("stub.exe", make_stub()), "--out",
                self.path("setup.exe"), "--any-files", *files]

    def test_help_and_usage_mistakes(self):
        self.expect(["--help"], 0, "usage: nvpack build", "nvpack verify [--any-files] [--] SETUP",
                    "build first, then sign", "extract [--force] [--] SETUP DIR")
        self.expect([], 2, "no command given", "--help")
        self.expect(["pack"], 2, "unknown command")
        self.expect(["verify"], 2, "wrong number of arguments")
        self.expect(["build", "--out", "x", "f"], 2, "--stub and --out")
        self.expect(self.build_args(), 2, "at least one FILE")
        self.expect(self.build_args("--level", "10", "f"), 2, "--level takes a number from 0 to 9")
        self.expect(self.build_args("--jobs", "0", "f"), 2, "--jobs takes a number")
        self.expect(self.build_args("--piece", "x", "f"), 2, "--piece takes a number")
        self.expect(self.build_args("--frobnicate", "f"), 2, "unknown option --frobnicate")
        self.expect(self.build_args("--jobs"), 2, "--jobs needs a value")
        self.expect(["extract", "--force", "setup.exe"], 2, "wrong number of arguments")
        self.expect(["extract", "--overwrite", "setup.exe", "out"], 2, "unknown option")

    def test_missing_or_unreadable_inputs(self):
        self.expect(self.build_args(self.path("missing.bin")), 1, "not found", "missing.bin")
        os.makedirs(self.path("folder"))
        self.expect(self.build_args(self.path("folder")), 1, "input", "a folder, not a file")
        self.expect(self.build_args(self.write("a.bin", b"x"), stub=self.path("nostub.exe")), 1,
                    'stub "%s": not found' % self.path("nostub.exe"))
        self.expect(self.build_args(self.write("b.bin", b"x"), stub=self.write("s", b"MZ" * 600)),
                    1, "not a Windows executable")
        self.assertFalse(os.path.exists(self.path("setup.exe")))

    def test_names_that_are_not_plain_file_names(self):
        for name in ("CON", "lpt1.txt", "package.dld", "a:b", "a*b", "trailing.", "x\x01y", "COM0",
                     "lpt0.txt", "CONIN$", "conout$.log", "Clock$", "COM\u00b9", "lpt\u00b3.txt"):
            self.expect(self.build_args(self.write(name, b"data")), 1, "plain file name")
        self.expect(self.build_args(self.path("in") + "/"), 1, "plain file name")
        os.makedirs(self.path("d1"))
        os.makedirs(self.path("d2"))
        self.expect(self.build_args(self.write("d1/same.txt", b"1"), self.write("d2/SAME.txt", b"2")),
                    1, "would both be extracted as")
        self.assertFalse(os.path.exists(self.path("setup.exe")))

    def test_output_that_is_an_input_or_the_stub(self):
        stub = self.write("stub.exe", make_stub())
        data = self.write("data.bin", b"payload")
        self.expect(["build", "--stub", stub, "--out", data, "--any-files", data], 1,
                    "is also an input")
        self.expect(["build", "--stub", stub, "--out", stub, "--any-files", data], 1,
                    "is the stub itself")
        self.assertEqual(self.read("stub.exe"), make_stub())
        self.assertEqual(self.read("data.bin"), b"payload")

    def test_an_entry_of_4_gib_is_refused(self):
        big = self.path("big.bin")
        with open(big, "wb") as f:
            f.truncate(1 << 32)  # sparse
        self.expect(self.build_args(big), 1, "4 GiB or larger")
        self.assertFalse(os.path.exists(self.path("setup.exe")))


class ProductFileSet(Base):
    """build and verify ask for exactly the product files the setup installs, named as the
    setup compares names; --any-files lets other sets through."""

    def test_file_sets_through_build_and_verify(self):
        extra = (b"README.txt", b"read me")
        rows = [  # label, entries, message (empty: the product's set), exit with --any-files
            ("complete", PRODUCT, "", 0),
            ("one missing", [e for e in PRODUCT if e[0] != b"Norvis_uk.hlp"],
             "missing Norvis_uk.hlp", 0),
            ("one extra", PRODUCT + [extra], "unexpected README.txt", 0),
            ("repeated", PRODUCT + [(b"NORVIS.EXE", b"again")], "repeated Norvis.exe", 1),
            ("other letter case", [(n.lower(), d) for n, d in PRODUCT], "", 0),
        ]
        stub = self.write("stub.exe", make_stub())
        for label, entries, message, any_files_code in rows:
            shutil.rmtree(self.path("in"), ignore_errors=True)
            inputs = []
            for i, (name, data) in enumerate(entries):
                os.makedirs(self.path("in", str(i)))
                inputs.append(self.write(os.path.join("in", str(i), name.decode()), data))
            out = self.path("setup.exe")
            for any_files in ([], ["--any-files"]):
                if os.path.exists(out):
                    os.remove(out)
                result = run("build", "--stub", stub, "--out", out, *any_files, *inputs)
                code = any_files_code if any_files else (1 if message else 0)
                self.assertEqual(result.returncode, code, label + ": " + result.stderr)
                self.assertEqual(os.path.exists(out), code == 0, label)
                if message and not any_files:
                    self.assertIn("not the product files the setup installs (" + message,
                                  result.stderr, label)
            setup = self.write("written.exe", write_setup(make_stub(), entries, 32768, 9))
            verified = run("verify", setup)
            self.assertEqual(verified.returncode, 1 if message else 0, label)
            self.assertIn(message or "ok, %d entries" % len(entries),
                          verified.stdout + verified.stderr, label)
            self.assertEqual(run("verify", "--any-files", setup).returncode, 0, label)
            listed = run("list", setup)
            self.assertEqual(listed.returncode, 0, label)
            self.assertIn("product files      " + (message or "exactly the eight"),
                          listed.stdout, label)


class ReleaseProcess(Base):
    """What a release engineer meets: every argument and mistake named, one line on stderr
    with the nvpack: prefix; an interrupted build; names outside ASCII; a terminal."""

    def test_each_mistake_names_the_argument_and_the_cause(self):
        stub = self.write("stub.exe", make_stub())
        files = self.product_files()
        setup, new, out = self.path("setup.exe"), self.path("new.exe"), self.path("out")
        self.assertEqual(run("build", "--stub", stub, "--out", setup, *files).returncode, 0)
        built = self.read("setup.exe")
        os.makedirs(self.path("dup"))
        text_file = self.write("notes.txt", b"just text\r\n" * 50)
        cut = self.write("cut.exe", built[:len(built) // 2])
        cut_image = self.write("cut-image.exe", built[:700])
        other = self.write("other.exe", make_stub(mark=False))
        appended = self.write("appended.exe", make_stub() + bytes(16))
        self.write("-dash.bin", b"x")

        def build(stub_=stub, *extra, output=new):
            return ["build", "--stub", stub_, "--out", output, *extra]
        no_stub, dup, missing = self.path("nostub.exe"), self.path("dup"), self.path("missing.bin")
        bare = "no package: nothing follows the executable image"
        rows = [  # arguments, exit code, text
            (build(no_stub, *files), 1, 'stub "%s": not found.' % no_stub),
            (build(stub, "--any-files", dup), 1, 'input "%s": a folder, not a file.' % dup),
            (build(stub, "--any-files", missing), 1, 'input "%s": not found.' % missing),
            (build(stub, *files, output=dup), 1, 'output "%s": a folder, not a file.' % dup),
            (build(stub, *files, output=self.path("no", "such.exe")), 1,
             "cannot create a new file beside it"),
            (build(setup, *files), 1, "already carries a payload (it is a built setup)"),
            (build(other, *files), 1, 'stub "%s": not this project\'s setup stub' % other),
            (build(text_file, *files), 1, "not a Windows executable"),
            (build(appended, *files), 1, "16 bytes follow its executable image"),
            (build(cut_image, *files), 1, "cut short after 700 of the 1024 bytes"),
            (build(other, "--any-stub", *files), 0, "8 entries"),
            (build(stub, "--out", setup, *files), 2, "--out is given more than once"),
            (build(stub, "--any-files", "--any-files", *files), 2, "given more than once"),
            (build(stub, "--any-files", "-dash.bin"), 2, "unknown option -dash.bin"),
            (build(stub, "--any-files", "--", "-dash.bin"), 0, "1 entry, 22 bytes in 1 block,"),
            (["verify", text_file], 1, 'setup "%s": no package: not a Windows' % text_file),
            (["verify", cut], 1, "no package: no trailer"),
            (["verify", stub], 1, bare),
            (["list", stub], 1, bare),
            (["extract", stub, out], 1, bare),
            (["extract", cut_image, out], 1, "cut short after 700 of the 1024 bytes"),
            (["verify", dup], 1, 'setup "%s": a folder, not a file.' % dup),
            (["verify", "--", setup], 0, "ok, 8 entries"),
            (["extract", "--force", "--force", setup, out], 2, "given more than once"),
            (["--version"], 0, "nvpack 1."),
            (["--help"], 0, "Exit codes: 0 done; 1 a fault"),
        ]
        for args, code, text_ in rows:
            label = " ".join(args)
            result = run(*args, cwd=self.dir)
            self.assertEqual(result.returncode, code, label + ": " + result.stderr)
            if code == 0:
                self.assertIn(text_, result.stdout, label)
                if os.path.exists(new):
                    os.remove(new)
                continue
            lines = result.stderr.splitlines()
            self.assertTrue(lines[0].startswith("nvpack: "), label)
            self.assertIn(text_, lines[0], label)
            self.assertEqual(len(lines), 1 if code == 1 else 2, label)
            self.assertFalse(os.path.exists(new), label)
            self.assertFalse(os.path.exists(out), label)
        self.assertEqual(self.read("setup.exe"), built)

    def test_an_interrupted_build_leaves_the_old_output_as_it_was(self):
        stub = self.write("stub.exe", make_stub())
        setup = self.path("setup.exe")
        self.assertEqual(run("build", "--stub", stub, "--out", setup,
                             *self.product_files()).returncode, 0)
        old = self.read("setup.exe")
        big = self.write("big.bin", os.urandom(96 << 20))
        proc = subprocess.Popen([NVPACK, "build", "--stub", stub, "--out", setup, "--jobs", "1",
                                 "--any-files", big], stderr=subprocess.PIPE)
        temporary = []
        while proc.poll() is None and not temporary:
            # Midway: once the new file beside the output holds more than the stub.
            temporary = [name for name in os.listdir(self.dir) if name.endswith(".tmp") and
                         os.path.getsize(self.path(name)) > len(make_stub())]
            time.sleep(0.01)
        self.assertTrue(temporary, "the build ended before it could be interrupted")
        proc.send_signal(signal.SIGTERM)
        _, stderr = proc.communicate(timeout=120)
        self.assertEqual(proc.returncode, -signal.SIGTERM)
        self.assertIn(b"interrupted; output", stderr)
        self.assertEqual(self.read("setup.exe"), old)
        self.assertEqual(sorted(os.listdir(self.dir)), ["big.bin", "in", "setup.exe", "stub.exe"])

    def test_names_are_stored_in_windows_1252_and_read_back_in_the_locale(self):
        env = dict(os.environ, LC_ALL="C.UTF-8")
        stub = self.write("stub.exe", make_stub())
        setup, out = self.path("setup.exe"), self.path("out")
        overview = self.write("\u00dcbersicht.txt", b"overview")
        result = run("build", "--stub", stub, "--out", setup, "--any-files", overview, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(read_setup(self.read("setup.exe")), [(b"\xdcbersicht.txt", b"overview")])
        self.assertIn("  \u00dcbersicht.txt\n", run("list", setup, env=env).stdout)
        self.assertEqual(run("extract", setup, out, env=env).returncode, 0)
        self.assertEqual(os.listdir(out), ["\u00dcbersicht.txt"])
        # A name the setup could not write is refused, naming the input.
        omega = self.write("\u03a9mega.txt", b"x")
        result = run("build", "--stub", stub, "--out", setup, "--any-files", omega, env=env)
        self.assertEqual(result.returncode, 1)
        self.assertIn('input "%s": its name has no Windows-1252 form' % omega, result.stderr)

    def test_progress_in_a_terminal_ends_before_the_summary(self):
        stub = self.write("stub.exe", make_stub())
        big = self.write("big.bin", text(4 << 20, 7))
        out = self.path("setup.exe")
        controller, terminal = pty.openpty()
        proc = subprocess.Popen([NVPACK, "build", "--stub", stub, "--out", out, "--any-files",
                                 big], stdout=terminal, stderr=terminal)
        os.close(terminal)
        shown = b""
        while True:
            try:
                piece = os.read(controller, 65536)
            except OSError:
                break
            if not piece:
                break
            shown += piece
        os.close(controller)
        self.assertEqual(proc.wait(timeout=120), 0)
        self.assertIn(b"packing 100%", shown)
        self.assertRegex(shown.decode(), r"MB\r +\r%s: 1 entry, \d+ bytes in \d+ blocks, "
                         % out)


class VerifyFaults(Base):
    def setup_bytes(self):
        return bytearray(write_setup(make_stub(), PRODUCT, 32768, 9))

    def verify(self, data):
        result = run("verify", self.write("setup.exe", bytes(data)))
        lines = (result.stdout + result.stderr).strip().splitlines()
        if result.returncode != 0:
            self.assertEqual(result.stdout, "")
            self.assertTrue(all(line.startswith("nvpack: setup ") for line in lines), lines)
        return result.returncode, lines

    def test_intact_setup_passes(self):
        code, lines = self.verify(self.setup_bytes())
        self.assertEqual(code, 0)
        self.assertEqual(len(lines), 1)
        self.assertIn("ok, 8 entries", lines[0])

    def test_each_fault_is_named_in_one_line(self):
        cases = []
        data = self.setup_bytes()
        data[-8] ^= 1  # the last block's Adler-32, just before the end marker
        cases.append((data, "does not inflate"))
        stub_only = make_stub()
        cases.append((stub_only, "no package"))
        no_marker = self.setup_bytes()
        del no_marker[-6:-4]
        cases.append((no_marker, "without its end marker"))
        truncated = self.setup_bytes()
        del truncated[-400:-4]
        cases.append((truncated, "cut short"))
        garbage = self.setup_bytes()
        garbage[1024 + 30] ^= 0xFF
        cases.append((garbage, "does not inflate"))
        for data, text_ in cases:
            code, lines = self.verify(data)
            self.assertEqual(code, 1, lines)
            self.assertEqual(len(lines), 1, lines)
            self.assertIn(text_, lines[0])

    def test_reserved_names_in_a_payload_from_elsewhere(self):
        for name in (b"COM\xb9", b"lpt\xb2.txt", b"Com\xb3", b"COM0", b"LPT0.x", b"CONIN$",
                     b"conout$", b"CLOCK$.txt"):
            setup = write_setup(make_stub(), [(b"ok.txt", b"x"), (name, b"y")], 32768, 9)
            code, lines = self.verify(setup)
            self.assertEqual(code, 1, name)
            self.assertIn("entry 2 has a name that is not a plain file name", lines[0])
            result = run("extract", self.path("setup.exe"), self.path("out"))
            self.assertEqual(result.returncode, 1, name)
            self.assertEqual(os.listdir(self.path("out")), ["ok.txt"])
            shutil.rmtree(self.path("out"))

    def test_checksum_mismatch(self):
        entries = list(PRODUCT)
        stream = bytearray(entry_stream(entries))
        stream[-1] ^= 0x40
        setup = bytearray(make_stub())
        for at in range(0, len(stream), 32768):
            block = zlib.compress(bytes(stream[at:at + 32768]), 9)
            setup += struct.pack("<H", len(block)) + block
        setup += struct.pack("<HI", 0, 1024)
        code, lines = self.verify(setup)
        self.assertEqual(code, 1)
        self.assertIn("checksum mismatch", lines[0])
        result = run("extract", self.path("setup.exe"), self.path("out"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("damaged", result.stderr)
        # What was extracted stays; no intermediate package file is ever left in DIR.
        self.assertEqual(sorted(os.listdir(self.path("out"))),
                         sorted(name.decode() for name, _ in entries))


class ExtractIntoAFolderOthersCanWrite(Base):
    """A folder where someone planted links or files before nvpack extract runs."""

    def plant(self, kind, at):
        if kind == "file":
            with open(at, "wb") as f:
                f.write(b"old")
        elif kind == "link":
            os.symlink(self.path("secret"), at)
        elif kind == "dangling link":
            os.symlink(self.path("created-through-link"), at)
        elif kind == "hard link":
            os.link(self.path("secret"), at)
        elif kind == "folder":
            os.makedirs(at)

    def test_planted_names_are_never_written_through(self):
        setup = self.write("setup.exe", write_setup(make_stub(), PRODUCT, 32768, 9))
        target = "NV.OBJ"  # the sixth entry
        cases = [  # planted, --force, exit code, text
            (None, False, 0, ""),
            ("file", False, 1, "already exists"),
            ("file", True, 0, ""),
            ("link", False, 1, "already exists"),
            ("link", True, 1, "is not a regular file"),
            ("dangling link", True, 1, "is not a regular file"),
            ("hard link", False, 1, "already exists"),
            ("hard link", True, 0, ""),
            ("folder", True, 1, "is not a regular file"),
        ]
        for kind, force, code, message in cases:
            label = "%s, force=%s" % (kind, force)
            out = self.path("out")
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            self.write("secret", b"secret")
            if kind:
                self.plant(kind, os.path.join(out, target))
            result = run("extract", *(["--force"] if force else []), setup, out)
            self.assertEqual(result.returncode, code, label + ": " + result.stderr)
            self.assertIn(message, result.stderr, label)
            self.assertEqual(self.read("secret"), b"secret", label)
            self.assertFalse(os.path.lexists(self.path("created-through-link")), label)
            if code == 0:
                for name, data in PRODUCT:
                    self.assertFalse(os.path.islink(os.path.join(out, name.decode())), label)
                    self.assertEqual(self.read(os.path.join("out", name.decode())), data, label)
            else:
                self.assertIn(os.path.join(out, target), result.stderr, label)
                # Every name is checked before the first file is written.
                self.assertEqual(os.listdir(out), [target], label)

    def test_every_existing_file_stops_extract_until_forced(self):
        setup = self.write("setup.exe", write_setup(make_stub(), PRODUCT, 32768, 9))
        out = self.path("out")
        self.assertEqual(run("extract", setup, out).returncode, 0)
        with open(os.path.join(out, "Norvis.exe"), "wb") as f:
            f.write(b"changed")
        result = run("extract", setup, out)
        self.assertEqual(result.returncode, 1)
        self.assertIn("already exists", result.stderr)
        self.assertIn("--force", result.stderr)
        self.assertEqual(self.read("out/Norvis.exe"), b"changed")
        self.assertEqual(run("extract", setup, out, "--force").returncode, 0)
        self.assertEqual(self.read("out/Norvis.exe"), dict(PRODUCT)[b"Norvis.exe"])

    def test_a_folder_that_is_a_link_is_refused(self):
        setup = self.write("setup.exe", write_setup(make_stub(), PRODUCT, 32768, 9))
        os.makedirs(self.path("real"))
        os.symlink(self.path("real"), self.path("out"))
        result = run("extract", "--force", setup, self.path("out"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("is a symbolic link", result.stderr)
        self.assertEqual(os.listdir(self.path("real")), [])


def block_stream_end(setup, offset):
    """Where the block stream starting at `offset` ends (behind its end marker)."""
    at = offset
    while True:
        (length,) = struct.unpack_from("<H", setup, at)
        at += 2
        if length == 0:
            return at
        at += length


def certificate_table(setup):
    """(offset, size) of the security directory of a PE32+ image."""
    (pe,) = struct.unpack_from("<I", setup, 0x3C)
    return struct.unpack_from("<II", setup, pe + 24 + 112 + 4 * 8)


@unittest.skipUnless(shutil.which("osslsigncode") and shutil.which("openssl"),
                     "needs osslsigncode and openssl")
class SignedSetups(Base):
    """Setups signed after they were built, with a throw-away self-signed certificate."""

    @classmethod
    def setUpClass(cls):
        cls.keys = os.path.join(SCRATCH, "signing-keys")
        shutil.rmtree(cls.keys, ignore_errors=True)
        os.makedirs(cls.keys)
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                        "-keyout", os.path.join(cls.keys, "key.pem"),
                        "-out", os.path.join(cls.keys, "cert.pem"),
                        "-days", "2", "-subj", "/CN=Norvista test signing"],
                       check=True, capture_output=True, timeout=120)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.keys, ignore_errors=True)

    def key(self, name):
        return os.path.join(self.keys, name)

    def sign(self, name):
        signed = self.path("signed-" + name)
        if os.path.exists(signed):
            os.remove(signed)
        result = subprocess.run(["osslsigncode", "sign", "-certs", self.key("cert.pem"),
                                 "-key", self.key("key.pem"), "-in", self.path(name),
                                 "-out", signed], capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        verified = subprocess.run(["osslsigncode", "verify", "-CAfile", self.key("cert.pem"),
                                   "-in", signed], capture_output=True, text=True, timeout=120)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        return signed

    def assert_reads_back(self, setup, entries):
        result = run("verify", "--any-files", setup)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("signature          present", run("list", setup).stdout)
        out = self.path("out")
        shutil.rmtree(out, ignore_errors=True)
        result = run("extract", setup, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(out)), sorted(name.decode() for name, _ in entries))
        for name, data in entries:
            self.assertEqual(self.read(os.path.join("out", name.decode())), data)

    def test_nvpack_pads_so_the_signer_appends_right_behind_the_trailer(self):
        stub = self.write("stub.exe", make_stub(16))
        remainders = set()
        for size in range(3000, 3100):
            entries = [(b"a.bin", noise(size, 3)), (b"b.txt", text(700, 4))]
            inputs = [self.write(name.decode(), data) for name, data in entries]
            result = run("build", "--stub", stub, "--out", self.path("setup.exe"), "--any-files",
                         *inputs)
            self.assertEqual(result.returncode, 0, result.stderr)
            setup = self.read("setup.exe")
            end = block_stream_end(setup, 1024)
            if (end + 4) % 8 in remainders:
                continue
            remainders.add((end + 4) % 8)
            self.assertEqual(len(setup) % 8, 0)
            self.assertEqual(setup[end:-4], bytes(len(setup) - 4 - end))
            self.assertLess(len(setup) - 4 - end, 8)
            signed = self.sign("setup.exe")
            signed_bytes = self.read(os.path.basename(signed))
            self.assertEqual(certificate_table(signed_bytes)[0], len(setup))
            self.assert_reads_back(signed, entries)
            if len(remainders) == 8:
                break
        self.assertEqual(len(remainders), 8)

    def test_setups_of_any_length_are_read_behind_the_signers_padding(self):
        for remainder in range(8):
            ignored = b""
            while (len(write_setup(make_stub(16), PRODUCT[4:], 32768, 9, ignored)) % 8
                   != remainder):
                ignored += b"\xa5"
            self.write("setup.exe", write_setup(make_stub(16), PRODUCT[4:], 32768, 9, ignored))
            signed = self.sign("setup.exe")
            offset, _ = certificate_table(self.read(os.path.basename(signed)))
            self.assertEqual(offset % 8, 0)
            self.assertEqual(offset - os.path.getsize(self.path("setup.exe")), (8 - remainder) % 8)
            self.assert_reads_back(signed, PRODUCT[4:])

    def test_a_signed_setup_changed_afterwards_fails_both_checks(self):
        self.write("setup.exe", write_setup(make_stub(16), PRODUCT[4:], 32768, 9))
        signed = bytearray(open(self.sign("setup.exe"), "rb").read())
        signed[1024 + 40] ^= 0x10
        tampered = self.write("tampered.exe", bytes(signed))
        verified = subprocess.run(["osslsigncode", "verify", "-CAfile", self.key("cert.pem"),
                                   "-in", tampered], capture_output=True, text=True, timeout=120)
        self.assertNotEqual(verified.returncode, 0)
        result = run("verify", tampered)
        self.assertEqual(result.returncode, 1)
        self.assertIn("does not inflate", result.stderr)

    def test_a_signed_stub_is_refused(self):
        stub = self.write("stub.exe", make_stub())
        signed = self.sign("stub.exe")
        result = run("build", "--stub", signed, "--out", self.path("setup.exe"),
                     *self.product_files())
        self.assertEqual(result.returncode, 1)
        self.assertIn("stub \"%s\": signed" % signed, result.stderr)
        self.assertIn("sign the setup after building", result.stderr)
        self.assertFalse(os.path.exists(self.path("setup.exe")))
        self.assertEqual(run("build", "--stub", stub, "--out", self.path("setup.exe"),
                             *self.product_files()).returncode, 0)


if __name__ == "__main__":
    NVPACK, SCRATCH = os.path.abspath(sys.argv[1]), sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=1)
