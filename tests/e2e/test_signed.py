"""A setup signed after it was built still installs.

dist/Setup.exe is signed into a scratch folder with a throw-away self-signed certificate made
here (openssl, osslsigncode). The signature must verify, nvpack must still read the payload in
front of the certificate table, and the signed copy must install Norvista under Wine.
"""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import SETUP_KEY
from wizard import WizardTestCase

INSTALL_FOLDER = Path("Program Files") / "Norvista"
LINK_VALUES = ("DesktopLink", "QuicklaunchLink", "StartmenuLink", "SetupLink")


def certificate_table(image):
    """(file offset, size) of the certificate table named by a PE image's security directory."""
    (pe,) = struct.unpack_from("<I", image, 0x3C)
    optional = pe + 24
    (magic,) = struct.unpack_from("<H", image, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    return struct.unpack_from("<II", image, directories + 4 * 8)


def run(args, timeout=120):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=timeout)


@unittest.skipUnless(shutil.which("osslsigncode") and shutil.which("openssl"),
                     "needs osslsigncode and openssl")
class SignedSetup(WizardTestCase):
    def setUp(self):
        super().setUp()
        self.scratch = Path(tempfile.mkdtemp(prefix="nv-signed-"))
        self.addCleanup(shutil.rmtree, self.scratch, True)
        key, cert = self.scratch / "key.pem", self.scratch / "cert.pem"
        made = run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "2", "-subj", "/CN=Norvista test signing"])
        self.assertEqual(made.returncode, 0, made.stderr)
        self.cert = cert
        self.unsigned = self.wine.dist / "Setup.exe"
        self.signed = self.scratch / "Setup.exe"
        signed = run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-n", "Norvista Setup",
                      "-in", self.unsigned, "-out", self.signed])
        self.assertEqual(signed.returncode, 0, signed.stdout + signed.stderr)

    def test_the_signature_verifies_and_nvpack_reads_the_payload(self):
        verified = run(["osslsigncode", "verify", "-CAfile", self.cert, "-in", self.signed])
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        unsigned = self.unsigned.read_bytes()
        signed = self.signed.read_bytes()
        # nvpack built the setup a multiple of 8 long: the table follows it without padding.
        self.assertEqual(len(unsigned) % 8, 0)
        offset, size = certificate_table(signed)
        self.assertEqual((offset, offset + size), (len(unsigned), len(signed)))
        nvpack = self.wine.dist / "nvpack"
        checked = run([nvpack, "verify", self.signed])
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertIn("ok, 8 entries", checked.stdout)

        # A signed setup changed afterwards fails the signature check.
        tampered = bytearray(signed)
        tampered[len(unsigned) - 100] ^= 0x01
        (self.scratch / "tampered.exe").write_bytes(tampered)
        verified = run(["osslsigncode", "verify", "-CAfile", self.cert,
                        "-in", self.scratch / "tampered.exe"])
        self.assertNotEqual(verified.returncode, 0, verified.stdout)

    def test_the_signed_setup_installs(self):
        self.addCleanup(self.remove_installation)
        self.start_wizard(exe=self.signed, cwd=self.scratch)
        self.walk_to_folder_page("&English")
        self.click_when_enabled("&Next")
        self.wait_text("&Finish", timeout=120)
        self.assertTrue(self.has_text("was installed successfully."))

        installed = self.wine.drive_c / INSTALL_FOLDER
        product = self.wine.dist / "product"
        self.assertEqual((installed / "Norvis.exe").read_bytes(),
                         (product / "Norvis.exe").read_bytes())
        self.assertEqual((installed / "Updates" / "Sorvelin.exe").read_bytes(),
                         (product / "Sorvelin.exe").read_bytes())
        # The copy kept for removal is the signed setup, signature included.
        self.assertEqual((installed / "Setup.exe").read_bytes(), self.signed.read_bytes())
        # Nothing of the payload is left behind in the temporary folder.
        self.assertFalse((self.scratch / "tempnv").exists())

    # --- clean-up --------------------------------------------------------------------------
    def unix_path(self, windows_path):
        """The file under the prefix that a "C:\\..." path names, matching names without case."""
        if not windows_path or not windows_path[:2].upper() == "C:":
            return None
        path = self.wine.drive_c
        for part in windows_path[2:].replace("\\", "/").strip("/").split("/"):
            if not path.is_dir():
                return None
            matches = [p for p in path.iterdir() if p.name.lower() == part.lower()]
            if not matches:
                return None
            path = matches[0]
        return path

    def record_value(self, name):
        """A text value of the installation record, as `reg query` prints it, or None."""
        proc = self.wine.run(["reg", "query", SETUP_KEY, "/v", name], check=False)
        if proc.returncode != 0:
            return None
        for line in proc.stdout.decode("cp1252", errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[0].lower() == name.lower() and parts[1] == "REG_SZ":
                return parts[2]
        return None

    def remove_installation(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)
        self.wine.poll(lambda: not self.wine.has_window("Norvista Installer"), 20,
                       "the wizard to go")
        for value in LINK_VALUES:
            link = self.unix_path(self.record_value(value))
            if link is not None and link.is_file():
                link.unlink()
                folder = link.parent
                if folder.name.lower() == "norvista" and not any(folder.iterdir()):
                    folder.rmdir()
        self.wine.run(["reg", "delete", SETUP_KEY, "/f"], check=False)
        shutil.rmtree(self.wine.drive_c / INSTALL_FOLDER, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
