#!/usr/bin/env python3
"""The demo walk: the wizard on a private virtual display, a screenshot of every page reached.

Installs Norvista, starts it from the success page, removes it with the installed copy of the
setup, shows the message of a setup without payload, and installs again (after trying a folder
that cannot be made).

    demo.py --dist DIR --work DIR --screens DIR [--win-build DIR]
"""

import argparse
import os
import sys
from pathlib import Path

import winenv
from harness import WIZARD
from install_steps import ENGLISH, GERMAN, PRODUCT_WINDOW, QuietWine


class Walk:
    """A user at the wizard, photographing every page."""

    def __init__(self, wine, scratch):
        self.wine = wine
        self.scratch = scratch
        self.shots = []
        self.procs = []

    def shot(self, name):
        self.shots.append(self.wine.screenshot(f"demo-{len(self.shots) + 1:02d}-{name}"))

    def start(self, exe, cwd=None):
        proc = self.wine.start(exe, cwd=str(cwd or self.scratch))
        self.procs.append(proc)
        self.wine.wait_window(WIZARD)
        return proc

    def visible(self, text, title=WIZARD):
        return any(c["text"] == text and c["visible"] for c in self.wine.controls(title))

    def wait_text(self, text, timeout=120):
        self.wine.poll(lambda: self.visible(text), timeout, f"text {text!r}")

    def enabled(self, caption):
        return any(c["class"] == "Button" and c["text"] == caption and c["visible"]
                   and c["enabled"] for c in self.wine.controls(WIZARD))

    def click(self, caption):
        self.wine.poll(lambda: self.enabled(caption), 20, f"{caption!r} enabled")
        self.wine.click(WIZARD, caption)

    def set_folder(self, folder):
        self.wine.set_text(WIZARD, 0, folder)
        self.wine.poll(lambda: any(c["class"] == "Edit" and c["text"] == folder
                                   for c in self.wine.controls(WIZARD)), 20, "folder field")

    def finish(self, proc, lang):
        self.click(lang.finish)
        self.wine.wait_exit(proc, timeout=60)

    def product(self, name):
        self.wine.wait_window(PRODUCT_WINDOW)
        self.shot(name)
        self.wine.close(PRODUCT_WINDOW)
        self.wine.wait_gone(PRODUCT_WINDOW)

    def licence_and_folder(self, lang, prefix):
        self.click(lang.next)
        self.wait_text(lang.agree)
        self.shot(f"{prefix}-licence")
        self.wine.click(WIZARD, lang.agree)
        self.wine.poll(lambda: self.enabled(lang.next), 20, "agreement")
        self.shot(f"{prefix}-licence-agreed")
        self.click(lang.next)
        self.wait_text("...")
        self.shot(f"{prefix}-folder-and-shortcuts")

    def install(self):
        proc = self.start(self.wine.dist / "Setup.exe")
        self.shot("install-language")
        self.wine.click(WIZARD, ENGLISH.choice)
        self.wine.poll(lambda: self.enabled(ENGLISH.next), 20, "a language")
        self.shot("install-language-english")
        self.licence_and_folder(ENGLISH, "install")
        self.click(ENGLISH.next)
        self.wait_text(ENGLISH.success)
        self.shot("install-success")
        self.finish(proc, ENGLISH)  # the start box is checked: the product starts
        self.product("install-product-started")

    def remove(self):
        installed = self.wine.drive_c / "Program Files" / "Norvista"
        proc = self.start(installed / "Setup.exe", cwd=installed)
        self.wine.click(WIZARD, GERMAN.choice)
        self.wine.poll(lambda: self.enabled(GERMAN.next), 20, "a language")
        self.shot("remove-language-german")
        self.click(GERMAN.next)
        self.wait_text(GERMAN.removal_offer)
        self.shot("remove-offer")
        self.click(GERMAN.next)
        self.wait_text(GERMAN.removed)
        self.shot("remove-done")
        self.finish(proc, GERMAN)

    def reinstall(self):
        proc = self.start(self.wine.dist / "Setup.exe")
        self.wine.click(WIZARD, GERMAN.choice)
        self.wine.poll(lambda: self.enabled(GERMAN.next), 20, "a language")
        self.licence_and_folder(GERMAN, "reinstall")
        folder = [c["text"] for c in self.wine.controls(WIZARD) if c["class"] == "Edit"][0]
        self.set_folder(r"C:\windows\win.ini\Norvista")
        self.click(GERMAN.next)
        self.wait_text(GERMAN.folder_error)
        self.shot("reinstall-folder-error")
        self.click(GERMAN.previous)
        self.wait_text("...")
        self.set_folder(folder)
        self.click(GERMAN.next)
        self.wait_text(GERMAN.success)
        self.shot("reinstall-success")
        self.finish(proc, GERMAN)
        # norvis.ini kept the language of the first installation.
        self.product("reinstall-product-started-in-english")

    def setup_without_payload(self):
        proc = self.start(self.wine.dist / "Setup-stub.exe")
        self.wine.click(WIZARD, ENGLISH.choice)
        self.wine.poll(lambda: self.enabled(ENGLISH.next), 20, "a language")
        self.click(ENGLISH.next)
        self.wait_text(ENGLISH.agree)
        self.wine.click(WIZARD, ENGLISH.agree)
        self.click(ENGLISH.next)
        self.wait_text("...")
        self.click(ENGLISH.next)
        self.wait_text(ENGLISH.no_package)
        self.shot("stub-no-package")
        self.wine.click(WIZARD, ENGLISH.cancel)
        self.wine.wait_exit(proc, timeout=60)

    def end(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)
        if hasattr(self.wine, "end_driver"):
            self.wine.end_driver()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screens", required=True)
    parser.add_argument("--win-build", help="Windows build tree holding the UI driver "
                        "(default: build/windows beside the dist folder)")
    args = parser.parse_args()
    dist = Path(args.dist).resolve()
    win_build = Path(args.win_build).resolve() if args.win_build else dist.parent / "build/windows"
    screens = Path(args.screens).resolve()
    state = Path(args.work).resolve()
    os.environ.update(NV_DIST=str(dist), NV_WIN_BUILD=str(win_build), NV_SCREENS=str(screens))
    for old in screens.glob("demo-*.png"):
        old.unlink()
    print("Starting a private Wine environment (first time: about 10 seconds)...")
    winenv.start(state)
    walk = None
    try:
        scratch = state / "scratch"
        scratch.mkdir(exist_ok=True)
        walk = Walk(QuietWine(state), scratch)
        for step, what in ((walk.install, "installing"), (walk.remove, "removing"),
                           (walk.setup_without_payload, "a setup without payload"),
                           (walk.reinstall, "installing again")):
            print(f"Walking the wizard: {what}...")
            step()
    finally:
        if walk:
            walk.end()
        winenv.stop(state)
    print(f"Screenshots of the {len(walk.shots)} pages reached are in {screens}:")
    for shot in walk.shots:
        print(f"  {shot.name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
