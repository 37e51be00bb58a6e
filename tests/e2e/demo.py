#!/usr/bin/env python3
"""The demo walk: the wizard on a private virtual display, a screenshot of every page reached.

    demo.py --dist DIR --work DIR --screens DIR
"""

import argparse
import os
import sys
from pathlib import Path

import winenv
from harness import WIZARD, Wine


def walk(wine, screens):
    shots = []
    proc = wine.start(wine.dist / "Setup.exe")
    try:
        wine.wait_window(WIZARD)
        shots.append(wine.screenshot("demo-01-window"))
        wine.close(WIZARD)
        wine.wait_exit(proc)
    finally:
        if proc.poll() is None:
            proc.kill()
    return shots


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screens", required=True)
    args = parser.parse_args()
    state = Path(args.work).resolve()
    os.environ.update(NV_DIST=str(Path(args.dist).resolve()),
                      NV_WIN_BUILD=str(Path(args.dist).resolve().parent / "build/windows"),
                      NV_SCREENS=str(Path(args.screens).resolve()))
    print("Starting a private Wine environment (first time: about 10 seconds)...")
    winenv.start(state)
    try:
        shots = walk(Wine(state), Path(args.screens))
    finally:
        winenv.stop(state)
    print(f"Screenshots of the {len(shots)} page(s) reached are in {Path(args.screens).resolve()}:")
    for shot in shots:
        print(f"  {shot.name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
