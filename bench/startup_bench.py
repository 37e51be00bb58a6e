#!/usr/bin/env python3
"""Time to window: the setup against a bare window and the NSIS peer, and the setup's start
inside the process.

    startup_bench.py --nvpack NVPACK --stub Setup-stub.exe --win-bench DIR --work DIR
                     [--runs 7] [--large-mb 256]

Under a private Wine environment, window_timer.exe (from DIR, the Windows tree's bench folder)
starts each program and polls every 2 ms for a visible top-level window of its process:
  - bare_window.exe, which registers one class and shows one window;
  - an NSIS installer (zlib) of the same eight files with its licence page first, so that it
    loads a rich-edit control before its window shows, as ours does;
  - our Setup.exe (nvpack build of the stub with the same files);
at the shipped sizes and at a set scaled to --large-mb. The programs take turns, one run each
per round; every figure is the median of --runs runs, and every ratio is taken within the run.

Then startup_bench.exe (the setup's start with each step timed in the process) prints where
our time goes, and the goals are checked against this run's figures.
"""

import argparse
import re
import shutil
import statistics
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import install_bench  # noqa: E402
from install_bench import SHIPPED, make_files, timed, wine_path, winenv  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent

NSI = r"""Unicode true
Target amd64-unicode
SetCompressor zlib
Name "Norvista"
OutFile "{out}"
RequestExecutionLevel admin
InstallDir "C:\nsisstart"
LicenseData "{licence}"
Page license
Page directory
Page instfiles
Section
  SetOutPath "$INSTDIR"
{files}
SectionEnd
"""

STEPS = [  # startup_bench.exe's fields and their labels
    ("launch", "process creation to main"),
    ("host", "host: own file held, DLL search set"),
    ("pictures", "pictures drawn and read back"),
    ("script", "language script inflated, split"),
    ("form", "window model from the layout"),
    ("windows", "window and shown controls made"),
    ("richedit", "  of which the rich-text box"),
    ("progress", "  of which the progress bar"),
    ("labels", "  of which the labels"),
    ("com", "COM, once the first window exists"),
    ("folder", "program-files folder (asked once)"),
    ("create", "FormCreate (English applied)"),
    ("licence", "  of which the licence text"),
    ("mirror", "  of which other changes mirrored"),
    ("parse", "  section parse alone (after)"),
    ("to_show", "main to the window shown"),
    ("show", "shown and painted"),
    ("total", "main to the first paint"),
    ("hidden", "then the hidden pages' windows"),
]


def licence_text(script):
    """The English licence of the language script, as the NSIS licence page shows it."""
    for line in script.read_text(encoding="utf-8").splitlines():
        if line.startswith("reLicense.Lines"):
            value = line.split("=", 1)[1].strip().strip("'")
            return value.replace("\\n", "\r\n")
    raise RuntimeError("no licence in the language script")


def window_times(env, cwd, timer, program, args=()):
    _, _, out = timed(["wine", timer, "1", wine_path(program), *args], env=env, cwd=cwd)
    return [float(value) for value in re.findall(r"ms=([0-9.]+)", out)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nvpack", required=True)
    parser.add_argument("--stub", required=True)
    parser.add_argument("--win-bench", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--large-mb", type=int, default=256)
    args = parser.parse_args()
    args.nvpack = str(Path(args.nvpack).resolve())
    bench = Path(args.win_bench).resolve()
    timer = str(bench / "window_timer.exe")
    work = Path(args.work).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    state = work / "wine"
    licence = work / "licence.txt"
    licence.write_text(licence_text(ROOT / "assets" / "lang" / "wizard_script.txt"),
                       encoding="cp1252", newline="")
    results = {}  # (program, set label) -> [ms]
    sets = []
    steps = []
    try:
        env_state = winenv.start(state)
        env = winenv.wine_environment(env_state["prefix"], env_state["display"])
        shipped_total = sum(size for _, size in SHIPPED)
        programs = [("bare window", bench / "bare_window.exe", None)]
        for label, scale in (("shipped sizes", 1.0),
                             (f"{args.large_mb} MB set", args.large_mb * (1 << 20) / shipped_total)):
            src = work / f"files-{int(scale)}"
            inputs = make_files(src, scale, seed=int(scale))
            ours = work / f"Setup-{int(scale)}.exe"
            timed([args.nvpack, "build", "--stub", str(Path(args.stub).resolve()), "--out",
                   str(ours), *map(str, inputs)], cwd=work)
            nsis = work / f"nsis-{int(scale)}.exe"
            nsi = work / f"start-{int(scale)}.nsi"
            files = "\n".join(f'  File "{src}/{name}"' for name, _ in SHIPPED)
            nsi.write_text(NSI.format(out=nsis, licence=licence, files=files))
            timed(["makensis", "-V1", str(nsi)], cwd=work)
            shutil.rmtree(src)
            programs += [(f"NSIS, licence page first, {label}", nsis, label),
                         (f"Setup.exe, {label}", ours, label)]
            sets.append(label)
        run_dir = work / "run"
        run_dir.mkdir()
        for _, program, _ in programs:  # the prefix finishes setting itself up on first use
            window_times(env, run_dir, timer, program)
        for _ in range(args.runs):
            for name, program, _ in programs:
                results.setdefault(name, []).extend(window_times(env, run_dir, timer, program))
        for _ in range(args.runs):
            _, _, out = timed(["wine", str(bench / "startup_bench.exe")], env=env, cwd=run_dir)
            steps.append({k: v for k, v in (item.split("=", 1) for item in out.split())})
    finally:
        winenv.stop(state)

    median = {name: statistics.median(values) for name, values in results.items()}
    bare = median["bare window"]
    print(f"{'time to window (ms, median of ' + str(args.runs) + ')':48} {'median':>8} "
          f"{'min':>8} {'max':>8} {'vs bare':>8}")
    for name, values in results.items():
        print(f"{name:48} {median[name]:8.1f} {min(values):8.1f} {max(values):8.1f} "
              f"{median[name] - bare:+8.1f}")

    print()
    print("The setup's start inside the process (startup_bench.exe, ms, medians)")
    for key, label in STEPS:
        value = statistics.median(float(step[key]) for step in steps)
        print(f"{label:48} {value:8.1f}")
    print(f"{'English texts applied (characters)':48} {steps[0]['texts']:>8}")

    print()
    print("Goals, this run")
    for label in sets:
        ours = median[f"Setup.exe, {label}"]
        peer = median[f"NSIS, licence page first, {label}"]
        for goal, value, met in (
                (f"time to window <= NSIS licence-first, {label}", f"{ours / peer:.2f}",
                 ours <= peer),
                (f"time to window within 40 ms of the bare window, {label}",
                 f"{ours - bare:+.1f} ms", ours - bare <= 40)):
            print(f"{goal:58} {value:>14}  {'met' if met else 'MISSED'}")


if __name__ == "__main__":
    main()
