"""Writes the seed corpora of the fuzz targets (run once; the files are committed).

package_reader: the first byte of each seed picks the mode: 0 setup file, 1 block stream,
2 entry stream. language_script: lines of the wizard's language script (the licence texts cut
short) and edge cases of the script's grammar, object paths and property values."""

import os
import struct
import zlib

CORPUS = os.path.dirname(os.path.abspath(__file__))
HERE = os.path.join(CORPUS, "package_reader")


def stub():
    s = bytearray(1024)
    s[0:2] = b"MZ"
    struct.pack_into("<I", s, 0x3C, 0x40)
    s[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH", s, 0x44, 0x8664, 1)
    struct.pack_into("<HH", s, 0x54, 240, 0x22)
    section = 0x40 + 24 + 240
    struct.pack_into("<II", s, section + 16, 512, 512)
    return bytes(s)


def entries(items):
    out = bytearray()
    for name, data in items:
        out += struct.pack("<H", len(name)) + name + struct.pack("<I", len(data)) + data
    return bytes(out + struct.pack("<HI", 0, sum(sum(d) for _, d in items) & 0xFFFFFFFF))


def blocks(stream, piece):
    out = bytearray()
    for at in range(0, len(stream), piece):
        z = zlib.compress(stream[at:at + piece], 9)
        out += struct.pack("<H", len(z)) + z
    return bytes(out + b"\0\0")


def signed(setup, table_size=300):
    """`setup` signed the way a signing tool lays it out: zero bytes up to a multiple of 8,
    then a certificate table named by the security directory (PE32+, 16 directories)."""
    out = bytearray(setup) + bytes((8 - len(setup) % 8) % 8)
    table = len(out)
    out += bytes((i * 37) & 0xFF for i in range(table_size))
    struct.pack_into("<H", out, 0x58, 0x20B)
    struct.pack_into("<I", out, 0x58 + 108, 16)
    struct.pack_into("<II", out, 0x58 + 112 + 4 * 8, table, table_size)
    return bytes(out)


ITEMS = [(b"a.txt", b"norvista " * 40), (b"empty.lng", b""), (b"b.bin", bytes(range(256)) * 33)]
SEEDS = {
    "setup": b"\0" + stub() + blocks(entries(ITEMS), 3000) + struct.pack("<I", 1024),
    "blocks": b"\1" + blocks(entries(ITEMS), 1000),
    "blocks_short": b"\1" + blocks(entries(ITEMS), 4000)[:-50],
    # As nvpack builds it (a multiple of 8 long), and as another packer might (3 bytes short).
    "setup_signed": b"\0" + signed(stub() + blocks(entries(ITEMS), 3000) + struct.pack("<I", 1024)),
    "setup_signed_padded": b"\0" + signed(stub() + blocks(entries(ITEMS), 3000) + b"\xa5" * 3
                                           + struct.pack("<I", 1024)),
    "entries": b"\2" + entries(ITEMS),
    "entries_bad_name": b"\2" + entries([(b"..", b"x"), (b"CON", b"")]),
    "entries_cut": b"\2" + entries(ITEMS)[:300],
}

os.makedirs(HERE, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# --- language_script ---------------------------------------------------------------------------

SCRIPT = os.path.join(CORPUS, "..", "..", "assets", "lang", "wizard_script.txt")


def script_lines():
    """The wizard's script in Windows-1252, with the long licence values cut short."""
    with open(SCRIPT, encoding="utf-8") as f:
        lines = f.read().splitlines()
    out = []
    for line in lines:
        if len(line) > 300:
            line = line[:300] + "'"
        out.append(line.encode("cp1252"))
    return out


LINES = script_lines()
english_end = LINES.index(b"")
LANGUAGE_SEEDS = {
    "wizard_english": b"\n".join(LINES[:english_end]),
    "wizard_deutsch": b"\n".join(LINES[english_end:]),
    "quotes_and_breaks": b"\n".join([
        b"lbError.Caption = '", b"lbError.Caption = ''", b"btnNext.Caption = 'open",
        b"btnNext.Caption = close'", b"Caption = 'a\\nb\\\\nc\\Nd\\te\\'",
        b"lbTitle.Caption=  ' blanks kept '  ", b"no equals sign", b"= empty key",
        b"a=b=c", b"\t lbError.Caption \x01= x\x00y", b"lbError.Caption = \xfc\xdf\xe4"]),
    "sections": b"\r\n".join([
        b"; comment", b"lbError.Caption = before any header", b"[English", b"Caption = x",
        b"[ English ]", b"[]", b"[English] trailing", b"  ;btnNext.Caption = skipped",
        b"[ENGLISH]", b"btnNext.Caption = &Next", b"[Deutsch]", b"btnNext.Caption = &Weiter"]),
    "object_paths": b"\n".join([
        b"pMain.lbTitle.Caption = through a panel", b"lbError.Font.Color = clRed",
        b"lbError.Font.Color = #0000FF", b"Font.Charset = GREEK_CHARSET", b".Caption = x",
        b"lbError..Caption = x", b"rgLicense.Items[1].Caption = x", b"reLicense.Lines.Text = x",
        b"iInfoPicture.Picture = lbError", b"iInfoPicture.Picture = pic001.up.bmp",
        b"lbError.Font = btnNext.Font", b"btnNext.Font = lbError", b"Items[0 = x",
        b"lbError.Font[2].Color = 1", b"fFuzz.Caption = x", b"Application.Caption = x"]),
    "property_values": b"\n".join([
        b"Left = -2147483648", b"Top = 2147483648", b"Width = $7FFFFFFF", b"Height = 0x80000000",
        b"Tag = 0Xffffffff", b"Tag =  -0", b"Tag = 99999999999999999999", b"Cursor = crHandPoint",
        b"Cursor = crSize", b"Color = clBtnFace", b"Color = #", b"Color = #FFFFFFFFF",
        b"Visible = False", b"Enabled = true", b"Enabled = maybe", b"Align = alClient",
        b"Align = alNowhere", b"BorderIcons = [biSystemMenu, biMinimize]", b"BorderIcons = [",
        b"BorderIcons = biNothing", b"OnClick = btnNextClick", b"pbInstall.Position = 500",
        b"pbInstall.Max = -5", b"rgLicense.ItemIndex = 7", b"rgLicense.Items = ''",
        b"rgLicense.Items = one", b"reLicense.Lines = a\\n\\nb\\n",
        b"rgLicense.Columns = 0", b"ilInfoPictures.Width = 1"]),
    "language_component": b"\n".join([
        b"[English]", b"Multilanguage1.Language = Deutsch",
        b"Multilanguage1.Script = '[English]\\nCaption = again\\nMultilanguage1.Language = English'",
        b"MultilanguageSync1.Language = English", b"Multilanguage1.Name = other",
        b"btnNext.Name = lbError", b"btnNext.Name = ", b"lbError.Name = renamed",
        b"renamed.Caption = found", b"Multilanguage1.Script = Multilanguage1"]),
}

os.makedirs(os.path.join(CORPUS, "language_script"), exist_ok=True)
for name, data in LANGUAGE_SEEDS.items():
    with open(os.path.join(CORPUS, "language_script", name), "wb") as f:
        f.write(data)
