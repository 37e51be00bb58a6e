#!/usr/bin/env python3
"""A private Wine environment for end-to-end tests: its own Xvfb display and WINEPREFIX.

    winenv.py start --state DIR   start Xvfb on a free display, make a fresh prefix, keep
                                  wineserver running; writes DIR/env.json
    winenv.py stop --state DIR    stop wineserver and Xvfb; safe to call more than once

Nothing is left running after `stop`, whatever the tests did in between.
"""

import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

STATE_FILE = "env.json"


def wine_environment(prefix, display):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(prefix),
        DISPLAY=display,
        WINEDEBUG="-all",
        # No Mono or Gecko download prompts in a fresh prefix.
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
    return env


def free_display():
    for number in range(91, 200):
        if not Path(f"/tmp/.X{number}-lock").exists() and not Path(
            f"/tmp/.X11-unix/X{number}"
        ).exists():
            return number
    raise RuntimeError("no free X display number between :91 and :199")


def start_xvfb():
    for _ in range(5):
        number = free_display()
        proc = subprocess.Popen(
            ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if Path(f"/tmp/.X11-unix/X{number}").exists():
                return number, proc.pid
            if proc.poll() is not None:
                break  # lost a race for this number; try the next one
            time.sleep(0.05)
        else:
            proc.kill()
    raise RuntimeError("Xvfb did not start")


def start(state_dir, fresh=True):
    state_dir = Path(state_dir).resolve()
    stop(state_dir)
    state_dir.mkdir(parents=True, exist_ok=True)
    prefix = state_dir / "prefix"
    if fresh and prefix.exists():
        shutil.rmtree(prefix)
    number, xvfb_pid = start_xvfb()
    display = f":{number}"
    state = {"display": display, "xvfb_pid": xvfb_pid, "prefix": str(prefix)}
    (state_dir / STATE_FILE).write_text(json.dumps(state))
    env = wine_environment(prefix, display)
    if not (prefix / "system.reg").exists():
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=False)
    # Keep one wineserver for the whole run: every later program then starts in a fraction
    # of a second.
    # Its output goes nowhere: a server holding the caller's pipes open would keep a test
    # runner waiting for them to close.
    subprocess.run(["wineserver", "-p"], env=env, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return state


def stop(state_dir):
    state_path = Path(state_dir) / STATE_FILE
    if not state_path.exists():
        return
    state = json.loads(state_path.read_text())
    env = wine_environment(state["prefix"], state["display"])
    subprocess.run(["wineserver", "-k"], env=env, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, check=False, timeout=30)
    try:
        os.killpg(state["xvfb_pid"], signal.SIGTERM)
    except ProcessLookupError:
        pass
    state_path.unlink()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("action", choices=["start", "stop"])
    parser.add_argument("--state", required=True)
    args = parser.parse_args()
    if args.action == "start":
        state = start(args.state)
        print(f"Wine environment ready: display {state['display']}, prefix {state['prefix']}")
    else:
        stop(args.state)
    return 0


if __name__ == "__main__":
    sys.exit(main())
